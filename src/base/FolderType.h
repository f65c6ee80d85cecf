#pragma once

#include <QString>

#include <cstdint>

namespace Orvoinstaller {

enum class FolderType : std::uint8_t { titles, effects, generators, transitions };

// The per-kind table: every value that depends on the kind comes from here.
QString resourceFolderName(FolderType type); // "Titles"
QString kindFolderName(FolderType type);     // "Titles.localized"
QString kindLabel(FolderType type);          // "字幕Titles", or in the user's language
QString pickerStartFolder(FolderType type);  // "~/Movies/Motion Templates.localized/..."

// The installed-templates folder under the home folder.
inline constexpr const char* motionTemplatesRelativePath = "Movies/Motion Templates.localized";

} // namespace Orvoinstaller
