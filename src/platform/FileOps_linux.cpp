#include "platform/FileOps.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Orvoinstaller {

namespace {

bool readFully(int fd, char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::read(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Shares the data blocks of `in` with the empty file `out` (XFS, Btrfs): no bytes move.
// 0, or the error; errors that mean "these file systems do not clone" are remembered.
int cloneInto(int in, int out, dev_t fromDevice, dev_t toDevice) {
    if (fromDevice != toDevice)
        return EXDEV;
    auto& refused = notCloning();
    if (std::find(refused.begin(), refused.end(), toDevice) != refused.end())
        return EOPNOTSUPP;
    if (::ioctl(out, FICLONE, in) == 0)
        return 0;
    const int error = errno;
    if (error == EOPNOTSUPP || error == ENOTTY || error == EINVAL || error == EXDEV ||
        error == ENOSYS)
        refused.push_back(toDevice);
    return error;
}

} // namespace

int makeFile(int in, dev_t fromDevice, int toDir, const char* toName, mode_t mode, dev_t toDevice,
             FileDescriptor& made) {
    made.reset(::openat(toDir, toName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (made.get() < 0)
        return errno;
    return cloneInto(in, made.get(), fromDevice, toDevice);
}

ssize_t copyRange(int in, int out, size_t size) {
    return ::copy_file_range(in, nullptr, out, nullptr, size, 0);
}

namespace {

// Opens a regular file for reading, and nothing else.
int openRegular(const fs::path& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

bool sameRegularFile(const fs::path& first, const fs::path& second) {
    FileDescriptor a(openRegular(first));
    if (a.get() < 0)
        return false;
    FileDescriptor b(openRegular(second));
    struct stat sa, sb;
    if (b.get() < 0 || ::fstat(a.get(), &sa) != 0 || ::fstat(b.get(), &sb) != 0)
        return false;
    if (sa.st_size != sb.st_size || (sa.st_mode & 07777) != (sb.st_mode & 07777))
        return false;
    if (sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino)
        return true;
    ::posix_fadvise(a.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    ::posix_fadvise(b.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    constexpr size_t chunk = 1 << 18;
    // Kept for the thread's life: a fresh pair per file costs more in page faults than
    // the comparison itself.
    thread_local std::vector<char> bufferA(chunk), bufferB(chunk);
    off_t left = sa.st_size;
    while (left > 0) {
        const size_t want = static_cast<size_t>(std::min<off_t>(left, chunk));
        if (!readFully(a.get(), bufferA.data(), want) || !readFully(b.get(), bufferB.data(), want))
            return false;
        if (std::memcmp(bufferA.data(), bufferB.data(), want) != 0)
            return false;
        left -= static_cast<off_t>(want);
    }
    // Whatever either file holds beyond the size it reported makes them differ.
    char extra;
    return ::read(a.get(), &extra, 1) == 0 && ::read(b.get(), &extra, 1) == 0;
}

std::error_code moveWithoutReplacing(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
        return std::error_code(errno, std::generic_category());
    return {};
}

std::error_code exchangeEntries(const fs::path& first, const fs::path& second) {
    if (::renameat2(AT_FDCWD, first.c_str(), AT_FDCWD, second.c_str(), RENAME_EXCHANGE) != 0)
        return std::error_code(errno, std::generic_category());
    return {};
}

struct timespec modifiedTime(const struct stat& st) {
    return st.st_mtim;
}

struct timespec accessedTime(const struct stat& st) {
    return st.st_atim;
}

bool hiddenByFlag(const std::string&) {
    return false;
}

} // namespace Orvoinstaller
