#include "platform/FileOps.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// One copy loop for both systems, so that progress, cancelling between pieces and exact
// modes and times are tested once: only how a file is cloned and how bytes move inside the
// kernel differ.
namespace fs = std::filesystem;

namespace Orvoinstaller {

namespace {

// A copy keeps the pack's permission bits exactly (as cp -p does), or under a strict umask
// the next run would find every file changed. The umask is not asked for: setting it to
// learn it would race with other threads creating files; what the file got is looked at.
// FAT and exFAT refuse a mode they cannot store (EPERM, on a file this process just made):
// such a file system keeps no modes, and the copy is no worse for it.
bool keepMode(int fd, mode_t mode) {
    struct stat made;
    if (::fstat(fd, &made) != 0)
        return false;
    return (made.st_mode & 0777) == mode || ::fchmod(fd, mode) == 0 || errno == EPERM;
}

// Works through descriptors of the open folders, so each entry costs one name lookup.
class TreeCopier {
public:
    // `toDevice`: the file system the copy is made on, the same for the whole new tree.
    TreeCopier(const CopyProgress& progress, dev_t toDevice, bool cloneOnly = false)
        : m_progress(progress), m_toDevice(toDevice), m_cloneOnly(cloneOnly) {}
    std::optional<CopyFailure> failed;

    bool copyEntry(int fromDir, const char* name, int toDir, const char* toName,
                   const fs::path& fromPath, const struct stat& st) {
        if (S_ISREG(st.st_mode))
            return copyFile(fromDir, name, toDir, toName, fromPath, st);
        if (S_ISDIR(st.st_mode))
            return copyFolder(fromDir, name, toDir, toName, fromPath, st);
        if (S_ISLNK(st.st_mode))
            return copyLink(fromDir, name, toDir, toName, fromPath, st);
        failed = CopyFailure::unsupported(fromPath);
        return false;
    }

private:
    const CopyProgress& m_progress;
    const dev_t m_toDevice;
    const bool m_cloneOnly; // fail rather than copy bytes

    bool fail(int error, const fs::path& path) {
        failed = CopyFailure::of(error, path);
        return false;
    }

    // False, with the copy failed, when whoever watches wants it stopped.
    bool report(std::int64_t files, std::int64_t bytes, const fs::path& path) {
        if (!m_progress || m_progress(files, bytes))
            return true;
        return fail(ECANCELED, path);
    }

    bool copyFile(int fromDir, const char* name, int toDir, const char* toName,
                  const fs::path& fromPath, const struct stat& st) {
        // Non-blocking and checked again once open: what was a file a moment ago may be a
        // FIFO by now, and opening that must not wait for a writer.
        FileDescriptor in(::openat(fromDir, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
        if (in.get() < 0)
            return fail(errno, fromPath);
        struct stat opened;
        if (::fstat(in.get(), &opened) != 0)
            return fail(errno, fromPath);
        if (!S_ISREG(opened.st_mode)) {
            failed = CopyFailure::unsupported(fromPath);
            return false;
        }
        const mode_t mode = st.st_mode & 0777;
        // A clone where the file system makes one: whole, at once, sharing the blocks.
        FileDescriptor out;
        const int cloneError =
            makeFile(in.get(), opened.st_dev, toDir, toName, mode, m_toDevice, out);
        if (out.get() < 0)
            return fail(cloneError, fromPath);
        if (!keepMode(out.get(), mode))
            return fail(errno, fromPath);
        if (cloneError != 0 && m_cloneOnly)
            return fail(cloneError, fromPath);
        // Otherwise the kernel copies (or shares) the data without a trip through user space;
        // in pieces, so that a large file can be watched and stopped.
        constexpr off_t piece = 16 << 20;
        off_t remaining = cloneError == 0 ? 0 : st.st_size;
        if (cloneError == 0 && !report(0, st.st_size, fromPath))
            return false;
        bool kernelCopy = true;
        while (remaining > 0) {
            const ssize_t n =
                copyRange(in.get(), out.get(), static_cast<size_t>(std::min(remaining, piece)));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                if (remaining == st.st_size &&
                    (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
                    kernelCopy = false;
                    break;
                }
                return fail(errno, fromPath);
            }
            if (n == 0)
                break;
            remaining -= n;
            if (!report(0, n, fromPath))
                return false;
        }
        // Also what files that report no size (or grew meanwhile) still hold.
        if (cloneError != 0 && (!kernelCopy || remaining <= 0)) {
            if (!copyRest(in.get(), out.get(), fromPath))
                return false;
        }
        // Times kept as cp -p and rsync -a keep them.
        const struct timespec times[2] = {accessedTime(st), modifiedTime(st)};
        if (::futimens(out.get(), times) != 0)
            return fail(errno, fromPath);
        if (::close(out.release()) != 0)
            return fail(errno, fromPath);
        return report(1, 0, fromPath);
    }

    bool copyRest(int in, int out, const fs::path& fromPath) {
        std::vector<char> buffer(1 << 17);
        for (;;) {
            ssize_t n = ::read(in, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return fail(errno, fromPath);
            if (n == 0)
                return true;
            const char* p = buffer.data();
            const ssize_t read = n;
            while (n > 0) {
                const ssize_t written = ::write(out, p, static_cast<size_t>(n));
                if (written < 0 && errno == EINTR)
                    continue;
                if (written < 0)
                    return fail(errno, fromPath);
                p += written;
                n -= written;
            }
            if (!report(0, read, fromPath))
                return false;
        }
    }

    bool copyLink(int fromDir, const char* name, int toDir, const char* toName,
                  const fs::path& fromPath, const struct stat& st) {
        std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        for (;;) {
            const ssize_t n = ::readlinkat(fromDir, name, target.data(), target.size());
            if (n < 0)
                return fail(errno, fromPath);
            if (static_cast<size_t>(n) < target.size()) {
                target.resize(static_cast<size_t>(n));
                break;
            }
            target.resize(target.size() * 2);
        }
        if (::symlinkat(target.c_str(), toDir, toName) != 0)
            return fail(errno, fromPath);
        const struct timespec times[2] = {accessedTime(st), modifiedTime(st)};
        if (::utimensat(toDir, toName, times, AT_SYMLINK_NOFOLLOW) != 0)
            return fail(errno, fromPath);
        return report(1, 0, fromPath);
    }

    bool copyFolder(int fromDir, const char* name, int toDir, const char* toName,
                    const fs::path& fromPath, const struct stat& st) {
        const mode_t mode = st.st_mode & 0777;
        // The owner needs to write into the new folder while it is filled.
        if (::mkdirat(toDir, toName, mode | S_IRWXU) != 0)
            return fail(errno, fromPath);
        FileDescriptor out(::openat(toDir, toName, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (out.get() < 0)
            return fail(errno, fromPath);
        const int inFd = ::openat(fromDir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (inFd < 0)
            return fail(errno, fromPath);
        DIR* dir = ::fdopendir(inFd);
        if (!dir) {
            ::close(inFd);
            return fail(errno, fromPath);
        }
        const bool ok = copyChildren(dir, out.get(), fromPath);
        ::closedir(dir);
        // A pack folder of mode 0555 would make the next update and the uninstall fail:
        // what the installer makes, its owner can always change.
        if (ok && !keepMode(out.get(), mode | S_IRWXU))
            return fail(errno, fromPath);
        // Last: every entry made inside changed the folder's time.
        const struct timespec times[2] = {accessedTime(st), modifiedTime(st)};
        if (ok && ::futimens(out.get(), times) != 0)
            return fail(errno, fromPath);
        return ok;
    }

    bool copyChildren(DIR* dir, int toDir, const fs::path& fromPath) {
        const int fromDir = ::dirfd(dir);
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(dir);
            if (!entry) {
                if (errno != 0)
                    return fail(errno, fromPath);
                return true;
            }
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            const fs::path childPath = fromPath / name;
            struct stat st;
            if (::fstatat(fromDir, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                return fail(errno, childPath);
            if (!copyEntry(fromDir, name, toDir, name, childPath, st))
                return false;
        }
    }
};

} // namespace

std::vector<dev_t>& notCloning() {
    thread_local std::vector<dev_t> devices;
    return devices;
}

std::optional<CopyFailure> copyTree(const fs::path& fromGiven, const fs::path& toGiven,
                                    const CopyProgress& progress) {
    const fs::path from = fromGiven.has_filename() ? fromGiven : fromGiven.parent_path();
    const fs::path to = toGiven.has_filename() ? toGiven : toGiven.parent_path();
    struct stat st;
    if (::lstat(from.c_str(), &st) != 0)
        return CopyFailure::of(errno, from);
    // The two top entries are named by path; everything below goes through descriptors.
    const fs::path fromParent = from.has_parent_path() ? from.parent_path() : fs::path(".");
    const fs::path toParent = to.has_parent_path() ? to.parent_path() : fs::path(".");
    FileDescriptor fromDir(::open(fromParent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fromDir.get() < 0)
        return CopyFailure::of(errno, fromParent);
    FileDescriptor toDir(::open(toParent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (toDir.get() < 0)
        return CopyFailure::of(errno, toParent);
    const std::string fromName = from.filename().native();
    const std::string toName = to.filename().native();
    if (fromName.empty() || toName.empty())
        return CopyFailure::of(EINVAL, fromName.empty() ? from : to);

    struct stat folder;
    if (::fstat(toDir.get(), &folder) != 0)
        return CopyFailure::of(errno, toParent);
    TreeCopier copier(progress, folder.st_dev);
    copier.copyEntry(fromDir.get(), fromName.c_str(), toDir.get(), toName.c_str(), from, st);
    return copier.failed;
}

std::optional<CopyFailure> cloneFile(const fs::path& from, const fs::path& to) {
    struct stat st;
    if (::lstat(from.c_str(), &st) != 0)
        return CopyFailure::of(errno, from);
    if (!S_ISREG(st.st_mode))
        return CopyFailure::unsupported(from);
    FileDescriptor fromDir(::open(from.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fromDir.get() < 0)
        return CopyFailure::of(errno, from.parent_path());
    FileDescriptor toDir(::open(to.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat folder;
    if (toDir.get() < 0 || ::fstat(toDir.get(), &folder) != 0)
        return CopyFailure::of(errno, to.parent_path());
    // Asked before anything is made: where nothing clones, this costs two opens per file.
    const auto& refused = notCloning();
    if (folder.st_dev != st.st_dev)
        return CopyFailure::of(EXDEV, from);
    if (std::find(refused.begin(), refused.end(), folder.st_dev) != refused.end())
        return CopyFailure::of(EOPNOTSUPP, from);
    const CopyProgress none;
    TreeCopier cloner(none, folder.st_dev, true);
    cloner.copyEntry(fromDir.get(), from.filename().c_str(), toDir.get(), to.filename().c_str(),
                     from, st);
    return cloner.failed;
}

} // namespace Orvoinstaller
