#pragma once

#include <QByteArray>
#include <QUrl>

#include <optional>

namespace Orvoinstaller {

// The address a tutorial_url.txt holds: the text trimmed of white space at both ends, parsed
// strictly. Empty when the text is not valid UTF-8 is the caller's business; this takes text.
std::optional<QUrl> parseTutorialAddress(const QString& text);

} // namespace Orvoinstaller
