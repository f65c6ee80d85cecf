#include "platform/FileOps.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/clonefile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Orvoinstaller {

// A clone costs less than reading both files, so nothing is ever taken as the same.
bool sameRegularFile(const fs::path&, const fs::path&) {
    return false;
}

// APFS clones; other volumes (HFS+, exFAT, SMB) get the bytes copied.
int makeFile(int in, dev_t fromDevice, int toDir, const char* toName, mode_t mode, dev_t toDevice,
             FileDescriptor& made) {
    int why = EXDEV;
    auto& refused = notCloning();
    if (fromDevice == toDevice &&
        std::find(refused.begin(), refused.end(), toDevice) != refused.end()) {
        why = ENOTSUP;
    } else if (fromDevice == toDevice) {
        if (::fclonefileat(in, toDir, toName, 0) == 0) {
            // Read-only is enough to set its mode and times, and a clone of a read-only file
            // opens no other way.
            made.reset(::openat(toDir, toName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
            return made.get() < 0 ? errno : 0;
        }
        why = errno;
        if (why != ENOTSUP && why != EOPNOTSUPP && why != EXDEV)
            return why;
        refused.push_back(toDevice);
    }
    made.reset(::openat(toDir, toName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    return made.get() < 0 ? errno : why;
}

// No such call: the copy loop reads and writes, piece by piece.
ssize_t copyRange(int, int, size_t) {
    errno = ENOSYS;
    return -1;
}

std::error_code moveWithoutReplacing(const fs::path& from, const fs::path& to) {
    if (::renamex_np(from.c_str(), to.c_str(), RENAME_EXCL) != 0)
        return std::error_code(errno, std::generic_category());
    return {};
}

std::error_code exchangeEntries(const fs::path& first, const fs::path& second) {
    if (::renamex_np(first.c_str(), second.c_str(), RENAME_SWAP) != 0)
        return std::error_code(errno, std::generic_category());
    return {};
}

struct timespec modifiedTime(const struct stat& st) {
    return st.st_mtimespec;
}

struct timespec accessedTime(const struct stat& st) {
    return st.st_atimespec;
}

bool hiddenByFlag(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && (st.st_flags & UF_HIDDEN);
}

} // namespace Orvoinstaller
