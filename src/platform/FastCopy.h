#pragma once

#include <filesystem>
#include <optional>
#include <system_error>

namespace Orvoinstaller {

struct CopyFailure {
    std::error_code code;
    std::filesystem::path path; // the entry at which the copy stopped
};

// Copies a file, a symbolic link (as a link) or a folder with its whole tree, hidden
// entries included, to a path where nothing exists yet. Permission bits are kept as
// `cp -R` keeps them (less the umask); what was copied before a failure stays.
std::optional<CopyFailure> copyTree(const std::filesystem::path& from,
                                    const std::filesystem::path& to);

// True only when both are regular files (links are not followed) with equal permission
// bits and equal bytes; false on any doubt or error.
bool sameRegularFile(const std::filesystem::path& first, const std::filesystem::path& second);

} // namespace Orvoinstaller
