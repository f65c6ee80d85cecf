#pragma once

#include <QString>

// Where a user's programs keep what they know between runs. One implementation per OS,
// chosen by the build: DataFolder_linux.cpp, DataFolder_mac.cpp.
namespace Orvoinstaller {

// The per-user application-data folder, relative to that user's home folder.
QString dataFolderInHome();

} // namespace Orvoinstaller
