#pragma once

#include "base/Result.h"
#include "platform/FileSystem.h"

#include <QList>

namespace Orvoinstaller {

// One thing the installer would refuse (an error: no installer is made of the pack) or lack
// (a warning: the window does without it).
struct PackFinding {
    enum class Severity { error, warning };
    Severity severity;
    QString entry; // the pack entry at fault, relative to the pack; empty for the whole pack
    Text text;
};

// Checks the pack folder `pack` before it goes into a bundle, as the installer will read it:
// a template folder at least, each template's name usable as a folder's, the location
// picture, the tutorial address, the fonts. The build and --make-installer both ask this.
QList<PackFinding> checkPack(const FileReader& fs, const QString& pack);
// One line for a person: "错误" or "警告", the entry, what is wrong.
Text describe(const PackFinding& finding);

} // namespace Orvoinstaller
