#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace Orvoinstaller {

// The running application's bundle: where it lives and where its resources are.
class Bundle {
public:
    virtual ~Bundle() = default;
    virtual std::optional<QString> identifier() const = 0;
    virtual QString bundlePath() const = 0;
    virtual std::optional<QString> resourcePath() const = 0;
    // The strings of its Info.plist: empty when it has none or it cannot be read.
    virtual QHash<QString, QString> info() const { return {}; }
};

// An app bundle is X.app/Contents/MacOS/X with Contents/Resources beside it; elsewhere the
// executable's folder stands for the bundle and its "Resources" sub-folder for the resources.
class ExecutableBundle : public Bundle {
public:
    explicit ExecutableBundle(QString executableDir);
    std::optional<QString> identifier() const override;
    QString bundlePath() const override;
    std::optional<QString> resourcePath() const override;
    QHash<QString, QString> info() const override { return m_info; }

private:
    QString m_bundlePath;
    QString m_resourcePath;
    QHash<QString, QString> m_info;
};

} // namespace Orvoinstaller
