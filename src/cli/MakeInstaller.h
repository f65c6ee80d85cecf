#pragma once

#include <QStringList>

namespace Orvoinstaller {

// Whether the command line asks for --make-installer, which has options of its own.
bool asksToMakeInstaller(const QStringList& arguments);

// --make-installer PACK --out FOLDER [options]: a copy of the running installer's bundle
// around the maker's pack, under the maker's names, version and icon, made without a
// compiler. Returns the exit status: 0 made, 1 failed (nothing left under the final name),
// 2 the arguments are wrong (nothing written).
int makeInstallerCommand(const QStringList& arguments);

} // namespace Orvoinstaller
