#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Orvoinstaller {

// The text the bytes hold, or nothing when they are not valid UTF-8.
std::optional<QString> decodeUtf8(const QByteArray& bytes);

} // namespace Orvoinstaller
