#pragma once

#include "platform/CopyProgress.h"

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

// The file operations of both systems. One POSIX copy loop (FileOps.cpp); what differs per
// system in FileOps_linux.cpp, FileOps_mac.cpp.
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

// What the copy loop asks of each system.

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void reset(int fd = -1) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

// Makes the regular file `toName` in `toDir`, where nothing is yet, with `mode`, as a clone of
// the open file `in` where the file systems share blocks (`fromDevice` holds `in`, `toDevice`
// the folder). 0 when `made` is a clone; otherwise why not, and `made` is empty, to be
// filled; `made` stays closed when nothing could be made, the result then saying why.
int makeFile(int in, dev_t fromDevice, int toDir, const char* toName, mode_t mode, dev_t toDevice,
             FileDescriptor& made);

// Up to `size` bytes from `in` to `out` without a trip through user space: the count, or -1
// with errno (ENOSYS where the system has no such call, so that the caller reads and writes).
ssize_t copyRange(int in, int out, size_t size);

// File systems seen refusing to clone, so that a copy on one does not ask again for every
// file. Per thread: the engine copies on one.
std::vector<dev_t>& notCloning();

// The access time as the system stores it, to the nanosecond.
struct timespec accessedTime(const struct stat& st);

} // namespace Orvoinstaller
