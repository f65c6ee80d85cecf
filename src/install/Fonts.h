#pragma once

#include "platform/FileSystem.h"
#include "platform/Platform.h"

#include <optional>

namespace Orvoinstaller {

// Where fonts go: the system-wide folder, and the user's own for when the system refuses.
struct FontFolders {
    QString system;
    QString user;
};

struct FontReport {
    Failure firstError;           // the first font that could not be installed
    std::optional<Error> refusal; // why the system folder was passed over, if it was
    QStringList kept;             // installed fonts of the same name with other bytes
};

// Installs every visible entry of `source`, a sub-folder's fonts one by one. A font whose
// bytes are already in either folder is left alone, and so is any other entry of its name:
// an installed font may be in use, or be the user's own version, and is never replaced. A
// new font is copied beside its place under a hidden name and renamed into it without
// replacing anything, so a copy cut short never passes for a font.
// Once the system folder refuses, the remaining fonts go to the user's folder. Only regular
// files are opened; a link is installed as a regular file with the bytes of its target when
// that is a regular file inside `pack`, and fails otherwise.
FontReport installFonts(FileSystem& fs, const QString& source, const FontFolders& folders,
                        const QString& pack);

// The fonts of the pack in `resources` into the platform's folders, as the font button puts
// them, with the trace line of a refusal of the system folder.
FontReport installPackFonts(const Platform& platform, const QString& resources);

} // namespace Orvoinstaller
