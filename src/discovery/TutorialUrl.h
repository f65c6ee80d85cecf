#pragma once

#include "platform/FileSystem.h"
#include "platform/Output.h"

#include <QByteArray>
#include <QUrl>

#include <optional>

namespace Orvoinstaller {

// The address a tutorial_url.txt holds: the text trimmed of white space at both ends, parsed
// strictly. Empty when the text is not valid UTF-8 is the caller's business; this takes text.
std::optional<QUrl> parseTutorialAddress(const QString& text);

// The address of the pack in `resources`: its tutorial_url.txt, or `fallback` (the maker's
// tutorial address) when the file cannot be read; none when what it holds is not an address.
std::optional<QUrl> readTutorialAddress(const FileReader& fs, const QString& resources,
                                        DiagnosticOutput& output, const QUrl& fallback);

} // namespace Orvoinstaller
