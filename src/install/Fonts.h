#pragma once

#include "platform/FileSystem.h"

#include <optional>

namespace Orvoinstaller {

struct FontFolders {
    QString system;
    QString user;
};

struct FontReport {
    Status firstError; // the first font that could not be installed
};

// Installs every visible entry of `source`, a sub-folder's fonts one by one. A font whose
// bytes are already in place is left alone; any other is copied beside its place under a
// hidden name and renamed into it, so a copy cut short never passes for a font.
FontReport installFonts(FileSystem& fs, const QString& source, const FontFolders& folders);

} // namespace Orvoinstaller
