#pragma once

#include "platform/Bundle.h"

#include <optional>

namespace Orvoinstaller {

// A bundle whose values are given; for tests, the renderer and the benches.
class FixedBundle : public Bundle {
public:
    FixedBundle(std::optional<QString> identifier, QString bundlePath,
                std::optional<QString> resourcePath)
        : m_identifier(std::move(identifier)), m_bundlePath(std::move(bundlePath)),
          m_resourcePath(std::move(resourcePath)) {}
    std::optional<QString> identifier() const override { return m_identifier; }
    QString bundlePath() const override { return m_bundlePath; }
    std::optional<QString> resourcePath() const override { return m_resourcePath; }

private:
    std::optional<QString> m_identifier;
    QString m_bundlePath;
    std::optional<QString> m_resourcePath;
};

} // namespace Orvoinstaller
