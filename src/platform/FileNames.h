#pragma once

#include <QString>

// How the system's file system compares names. One implementation per OS, chosen by the
// build: FileNames_linux.cpp, FileNames_mac.cpp.
namespace Orvoinstaller {

// Two names with the same key name the same entry of a folder: exact on Linux; on macOS
// without regard to case or Unicode normal form, as APFS compares them by default.
QString fileNameKey(const QString& name);

} // namespace Orvoinstaller
