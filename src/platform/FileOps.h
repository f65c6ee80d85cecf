#pragma once

#include "platform/CopyProgress.h"

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include <sys/stat.h>
#include <time.h>

// The file operations whose best form differs per system. One implementation per OS,
// chosen by the build: FileOps_linux.cpp, FileOps_mac.cpp.
namespace Orvoinstaller {

struct CopyFailure {
    std::error_code code;
    std::filesystem::path path;   // the entry at which the copy stopped
    bool unsupportedType = false; // the entry is neither a file, a folder nor a link

    static CopyFailure of(int error, const std::filesystem::path& at) {
        return CopyFailure{std::error_code(error, std::generic_category()), at};
    }
    static CopyFailure unsupported(const std::filesystem::path& at) {
        CopyFailure refused = of(ENOTSUP, at);
        refused.unsupportedType = true;
        return refused;
    }
};

// Copies a file, a symbolic link (as a link) or a folder with its whole tree, hidden
// entries included, to a path where nothing exists yet. Permission bits (0777) and access
// and modification times are kept as `cp -p` keeps them, whatever the umask, except that a
// folder is always open to its owner (u+rwx), and where the file system keeps no modes
// (FAT, exFAT); what was
// copied before a failure stays. Only regular
// files are ever opened: a FIFO, socket or device anywhere in the tree fails the copy.
// `progress`, if given, hears of each file and of large files piece by piece.
std::optional<CopyFailure> copyTree(const std::filesystem::path& from,
                                    const std::filesystem::path& to,
                                    const CopyProgress& progress = {});

// A clone of the regular file `from` at `to`, where nothing exists yet: it shares the
// source's blocks (XFS and Btrfs on Linux, APFS on macOS), with permission bits and times
// kept. Fails where the file systems cannot clone (ENOTSUP, EOPNOTSUPP, EXDEV and the
// like), so that the caller compares or copies instead; what was made at `to` stays.
std::optional<CopyFailure> cloneFile(const std::filesystem::path& from,
                                     const std::filesystem::path& to);

// True only when both are regular files (links are not followed) with equal permission
// bits and equal bytes; false on any doubt or error. Opens nothing but regular files.
bool sameRegularFile(const std::filesystem::path& first, const std::filesystem::path& second);

// Renames in one atomic step, failing with "File exists" when anything is at `to`, so that
// nothing of the user's is ever replaced by accident.
std::error_code moveWithoutReplacing(const std::filesystem::path& from,
                                     const std::filesystem::path& to);

// Swaps two entries in one atomic step: each name holds the old entry or the new one at every
// instant, never nothing. Both must exist, on one volume.
std::error_code exchangeEntries(const std::filesystem::path& first,
                                const std::filesystem::path& second);

// The modification time as the system stores it, to the nanosecond.
struct timespec modifiedTime(const struct stat& st);

// Whether the system marks the entry hidden beyond a leading dot (a Finder flag).
bool hiddenByFlag(const std::string& path);

} // namespace Orvoinstaller
