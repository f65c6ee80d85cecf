#pragma once

#include <filesystem>
#include <system_error>

namespace Orvoinstaller {

// Copies a file, a symbolic link (as a link) or a folder with its whole tree, hidden
// entries included, to a path where nothing exists yet.
std::error_code copyTree(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace Orvoinstaller
