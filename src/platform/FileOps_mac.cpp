#include "platform/FileOps.h"

#include <cerrno>
#include <cstdio>

#include <copyfile.h>
#include <fts.h>
#include <sys/clonefile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Orvoinstaller {

namespace {

bool plainType(mode_t mode) {
    return S_ISREG(mode) || S_ISDIR(mode) || S_ISLNK(mode);
}

// copyfile reads what it meets; a FIFO in the tree would block it, so look first.
std::optional<CopyFailure> refuseOtherTypes(const fs::path& root) {
    char* paths[] = {const_cast<char*>(root.c_str()), nullptr};
    FTS* walk = ::fts_open(paths, FTS_PHYSICAL | FTS_NOCHDIR, nullptr);
    if (!walk)
        return CopyFailure::of(errno, root);
    std::optional<CopyFailure> refused;
    while (const FTSENT* entry = ::fts_read(walk)) {
        if (entry->fts_info == FTS_DP || !entry->fts_statp)
            continue;
        if (!plainType(entry->fts_statp->st_mode)) {
            refused = CopyFailure::unsupported(entry->fts_path);
            break;
        }
    }
    ::fts_close(walk);
    return refused;
}

// A pack folder of mode 0555 would make the next update and the uninstall fail: what the
// installer makes, its owner can always change. Pre-order, so that a folder is opened to
// its owner before its entries are read.
std::optional<CopyFailure> openFoldersToOwner(const fs::path& root) {
    char* paths[] = {const_cast<char*>(root.c_str()), nullptr};
    FTS* walk = ::fts_open(paths, FTS_PHYSICAL | FTS_NOCHDIR, nullptr);
    if (!walk)
        return CopyFailure::of(errno, root);
    std::optional<CopyFailure> failed;
    while (const FTSENT* entry = ::fts_read(walk)) {
        if (entry->fts_info != FTS_D || !entry->fts_statp)
            continue;
        const mode_t mode = entry->fts_statp->st_mode & 07777;
        if ((mode & S_IRWXU) != S_IRWXU && ::chmod(entry->fts_path, mode | S_IRWXU) != 0) {
            failed = CopyFailure::of(errno, entry->fts_path);
            break;
        }
    }
    ::fts_close(walk);
    return failed;
}

} // namespace

// A clone costs less than reading both files, so nothing is ever taken as the same.
bool sameRegularFile(const fs::path&, const fs::path&) {
    return false;
}

// APFS clones a whole tree in one call and shares the blocks; other volumes get copyfile.
// A clone or copyfile does the whole tree in one call: the caller accounts for it after.
std::optional<CopyFailure> copyTree(const fs::path& from, const fs::path& to, const CopyProgress&) {
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0)
        return CopyFailure::of(EEXIST, to);
    if (::lstat(from.c_str(), &st) != 0)
        return CopyFailure::of(errno, from);
    if (!plainType(st.st_mode))
        return CopyFailure::unsupported(from);
    if (::clonefile(from.c_str(), to.c_str(), CLONE_NOFOLLOW) == 0)
        return S_ISDIR(st.st_mode) ? openFoldersToOwner(to) : std::nullopt;
    if (errno != ENOTSUP && errno != EXDEV)
        return CopyFailure::of(errno, from);
    if (S_ISDIR(st.st_mode)) {
        if (auto refused = refuseOtherTypes(from))
            return refused;
    }
    const copyfile_flags_t flags =
        COPYFILE_ALL | COPYFILE_RECURSIVE | COPYFILE_NOFOLLOW | COPYFILE_EXCL;
    if (::copyfile(from.c_str(), to.c_str(), nullptr, flags) != 0)
        return CopyFailure::of(errno, from);
    return S_ISDIR(st.st_mode) ? openFoldersToOwner(to) : std::nullopt;
}

std::optional<CopyFailure> cloneFile(const fs::path& from, const fs::path& to) {
    struct stat st;
    if (::lstat(from.c_str(), &st) != 0)
        return CopyFailure::of(errno, from);
    if (!S_ISREG(st.st_mode))
        return CopyFailure::unsupported(from);
    if (::clonefile(from.c_str(), to.c_str(), CLONE_NOFOLLOW) != 0)
        return CopyFailure::of(errno, from);
    return std::nullopt;
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

bool hiddenByFlag(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && (st.st_flags & UF_HIDDEN);
}

} // namespace Orvoinstaller
