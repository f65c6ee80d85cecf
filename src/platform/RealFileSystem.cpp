#include "platform/RealFileSystem.h"

#include "platform/DataFolder.h"
#include "platform/FileOps.h"
#include "platform/NativePath.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QStringBuilder>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Orvoinstaller {

namespace {

fs::path native(const QString& path) {
    return fs::path(nativePath(path).toStdString());
}
QString fromNative(const fs::path& path) {
    return pathFromNative(QByteArrayView(path.native().data(), qsizetype(path.native().size())));
}

// `pattern`, marked in a member, names the operation, "%1" the path and "%2" the system's reason.
Error failure(const char* pattern, const QString& path, const std::error_code& ec) {
    return Error::saying(
        Text(RealFileSystem::tr, pattern,
             {path, systemReason(ec.value(), QString::fromStdString(ec.message()))}),
        ec.value());
}

Error failure(const char* pattern, const QString& path, int code) {
    return failure(pattern, path, std::error_code(code, std::generic_category()));
}

bool isHidden(const std::string& dir, std::string_view name) {
    return name.starts_with('.') || hiddenByFlag(dir + '/' + std::string(name));
}

FileReader::Type typeOf(mode_t mode) {
    if (S_ISREG(mode))
        return FileReader::Type::file;
    if (S_ISDIR(mode))
        return FileReader::Type::folder;
    if (S_ISLNK(mode))
        return FileReader::Type::link;
    return FileReader::Type::other;
}

std::optional<FileReader::Type> typeOf(unsigned char direntType) {
    switch (direntType) {
    case DT_UNKNOWN:
        return std::nullopt;
    case DT_REG:
        return FileReader::Type::file;
    case DT_DIR:
        return FileReader::Type::folder;
    case DT_LNK:
        return FileReader::Type::link;
    default:
        return FileReader::Type::other;
    }
}

// Lists a folder with readdir: the listing already carries each entry's type, and no path
// object is built per entry. `visit(name, type)` gets a d_type value.
template <typename Visit> std::error_code listFolder(const std::string& dir, Visit visit) {
    DIR* handle = ::opendir(dir.c_str());
    if (!handle)
        return std::error_code(errno, std::generic_category());
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(handle);
        if (!entry) {
            error = errno;
            break;
        }
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..")
            visit(name, entry->d_type);
    }
    ::closedir(handle);
    return std::error_code(error, std::generic_category());
}

QString nameText(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QString permissionText(fs::perms p) {
    return QStringLiteral("%1").arg(static_cast<unsigned>(p) & 07777, 4, 8, QLatin1Char('0'));
}

} // namespace

RealFileSystem::RealFileSystem(QString home, QString dataFolder)
    : m_home(std::move(home)), m_dataFolder(std::move(dataFolder)) {}

QString RealFileSystem::homeDirectory() const {
    if (!m_home.isEmpty())
        return m_home;
    // QDir::homePath() falls back to "/" and would send the templates to /Movies; it also
    // decodes a name that is not UTF-8 into another name.
    const QString home = environmentPath("HOME");
    return home.isEmpty() ? QString() : QDir::cleanPath(home);
}

Result<std::vector<FileReader::Entry>> RealFileSystem::entries(const QString& dir,
                                                               bool withHidden) const {
    std::vector<Entry> entries;
    const std::string nativeDir = native(dir).native();
    const std::error_code ec =
        listFolder(nativeDir, [&](std::string_view name, unsigned char type) {
            if (!withHidden && isHidden(nativeDir, name))
                return;
            const QString text = nameText(name);
            // A link is reported as what it is, not as what it points to.
            Entry entry{joinPath(dir, text), typeOf(type),
                        text.toUtf8() == QByteArrayView(name.data(), qsizetype(name.size()))};
            if (!entry.type) {
                struct stat st;
                const std::string path = nativeDir + '/' + std::string(name);
                if (::lstat(path.c_str(), &st) == 0)
                    entry.type = typeOf(st.st_mode);
            }
            entries.push_back(std::move(entry));
        });
    if (ec)
        return failure(QT_TR_NOOP("无法读取文件夹 “%1”: %2"), dir, ec);
    return entries;
}

FileReader::Facts RealFileSystem::facts(const QString& path, bool followLinks) const {
    struct stat st;
    Facts facts;
    const QByteArray name = nativePath(path);
    if ((followLinks ? ::stat(name.constData(), &st) : ::lstat(name.constData(), &st)) != 0)
        return facts;
    facts.type = typeOf(st.st_mode);
    facts.size = static_cast<qint64>(st.st_size);
    facts.modifiedSeconds = static_cast<qint64>(modifiedTime(st).tv_sec);
    facts.modifiedNanoseconds = static_cast<qint64>(modifiedTime(st).tv_nsec);
    facts.permissions = static_cast<quint32>(st.st_mode & 07777);
    facts.device = static_cast<quint64>(st.st_dev);
    facts.inode = static_cast<quint64>(st.st_ino);
    return facts;
}

Result<QString> RealFileSystem::attributes(const QString& path) const {
    struct stat st;
    if (::stat(native(path).c_str(), &st) != 0)
        return failure(QT_TR_NOOP("无法读取属性 “%1”: %2"), path,
                       std::error_code(errno, std::generic_category()));
    const char* type = S_ISDIR(st.st_mode)   ? "directory"
                       : S_ISREG(st.st_mode) ? "regular"
                       : S_ISLNK(st.st_mode) ? "symbolic link"
                                             : "other";
    const auto modified = QDateTime::fromSecsSinceEpoch(st.st_mtime).toUTC();
    return QStringLiteral("{type: %1, size: %2, permissions: %3, owner: %4, group: %5, "
                          "modified: %6}")
        .arg(QLatin1String(type))
        .arg(static_cast<qint64>(st.st_size))
        .arg(permissionText(static_cast<fs::perms>(st.st_mode)))
        .arg(st.st_uid)
        .arg(st.st_gid)
        .arg(modified.toString(Qt::ISODate));
}

Failure RealFileSystem::createDirectories(const QString& path) {
    std::error_code ec;
    fs::create_directories(native(path), ec);
    if (ec)
        return failure(QT_TR_NOOP("无法创建文件夹 “%1”: %2"), path, ec);
    return std::nullopt;
}

Failure RealFileSystem::copyItem(const QString& from, const QString& to,
                                 const CopyProgress& progress) {
    const auto failed = copyTree(native(from), native(to), progress);
    if (!failed)
        return std::nullopt;
    Text reason =
        systemReason(failed->code.value(), QString::fromStdString(failed->code.message()));
    if (failed->unsupportedType)
        reason = Text(tr, QT_TR_NOOP("不是普通文件、文件夹或链接，不会打开它"));
    // A name that is not UTF-8 cannot be carried through a QString; say so, not "missing".
    if (failed->code == std::errc::no_such_file_or_directory &&
        from.contains(QChar::ReplacementCharacter))
        reason = Text(tr, QT_TR_NOOP("名称不是有效的 UTF-8 文本，无法按原名读取"));
    const QString where = fromNative(failed->path);
    const int code = failed->code.value();
    // A FIFO or device is refused for what it is, not for a failure of the system.
    const ErrorKind kind = failed->unsupportedType ? ErrorKind::unsafe : errorKindOf(code);
    if (where == from)
        return Error{kind, Text(tr, QT_TR_NOOP("无法复制 “%1” 到 “%2”: %3"), {from, to, reason}),
                     code};
    // Name the entry inside the tree that stopped the copy.
    return Error{kind,
                 Text(tr, QT_TR_NOOP("无法复制 “%1” 到 “%2”: “%3”: %4"), {from, to, where, reason}),
                 code};
}

Failure RealFileSystem::cloneItem(const QString& from, const QString& to) {
    if (const auto failed = cloneFile(native(from), native(to)))
        return failure(QT_TR_NOOP("无法克隆 “%1”: %2"), from, failed->code);
    return std::nullopt;
}

Failure RealFileSystem::removeItem(const QString& path) {
    std::error_code ec;
    fs::remove_all(native(path), ec);
    if (ec)
        return failure(QT_TR_NOOP("无法删除 “%1”: %2"), path, ec);
    return std::nullopt;
}

Failure RealFileSystem::removeFile(const QString& path) {
    // unlink() removes a link itself; on a folder it fails (EISDIR on Linux, EPERM on macOS).
    if (type(path) == Type::folder)
        return Error::saying(Text(tr, QT_TR_NOOP("无法删除 “%1”: 那里是一个文件夹"), {path}),
                             EISDIR);
    if (::unlink(nativePath(path).constData()) != 0)
        return failure(QT_TR_NOOP("无法删除 “%1”: %2"), path,
                       std::error_code(errno, std::generic_category()));
    return std::nullopt;
}

Failure RealFileSystem::removeEmptyFolder(const QString& path) {
    if (::rmdir(nativePath(path).constData()) != 0)
        return failure(QT_TR_NOOP("无法删除文件夹 “%1”: %2"), path,
                       std::error_code(errno, std::generic_category()));
    return std::nullopt;
}

// `from` is a temporary beside `to`: the message names where the entry was to go.
Failure RealFileSystem::replaceItem(const QString& from, const QString& to) {
    if (type(to) == Type::folder)
        return Error::saying(Text(tr, QT_TR_NOOP("无法写入 “%1”: 那里是一个文件夹"), {to}), EISDIR);
    if (::rename(native(from).c_str(), native(to).c_str()) != 0)
        return failure(QT_TR_NOOP("无法写入 “%1”: %2"), to,
                       std::error_code(errno, std::generic_category()));
    return std::nullopt;
}

namespace {

// exFAT, FAT and SMB know no rename that refuses to replace (Linux says EINVAL, macOS
// ENOTSUP). There the name is claimed first, by creating it exclusively: an empty folder
// for a folder, an empty file for anything else. The rename that follows can then only
// replace that placeholder, made by this call a moment before; whatever stood at `to`
// already makes the claim fail with EEXIST, and is left as it was. Another installer
// cannot come between the two steps: runs hold the templates folder's lock.
std::error_code moveOntoPlaceholder(const fs::path& from, const fs::path& to) {
    const auto error = [] { return std::error_code(errno, std::generic_category()); };
    struct stat st;
    if (::lstat(from.c_str(), &st) != 0)
        return error();
    const bool folder = S_ISDIR(st.st_mode);
    if (folder) {
        if (::mkdir(to.c_str(), 0700) != 0)
            return error();
    } else {
        const int fd =
            ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            return error();
        ::close(fd);
    }
    if (::rename(from.c_str(), to.c_str()) != 0) {
        const std::error_code failed = error();
        folder ? ::rmdir(to.c_str()) : ::unlink(to.c_str());
        return failed;
    }
    return {};
}

} // namespace

Failure RealFileSystem::moveNew(const QString& from, const QString& to) {
    std::error_code ec = moveWithoutReplacing(native(from), native(to));
    if (ec == std::errc::invalid_argument || ec == std::errc::not_supported ||
        ec == std::errc::operation_not_supported || ec == std::errc::function_not_supported)
        ec = moveOntoPlaceholder(native(from), native(to));
    if (ec)
        return failure(QT_TR_NOOP("无法写入 “%1”: %2"), to, ec);
    return std::nullopt;
}

bool RealFileSystem::keepsModes(const QString& scratch) {
    // Where modes are kept, a file made 0600 and set 0600 (whatever the umask) shows 0600.
    // exFAT, FAT and SMB show the mount's fixed mode, or refuse the change (EPERM).
    const QByteArray path = nativePath(scratch);
    const int fd =
        ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return true;
    struct stat st;
    const bool kept =
        ::fchmod(fd, 0600) == 0 && ::fstat(fd, &st) == 0 && (st.st_mode & 07777) == 0600;
    ::close(fd);
    ::unlink(path.constData());
    return kept;
}

Failure RealFileSystem::exchangeItems(const QString& first, const QString& second) {
    if (const std::error_code ec = exchangeEntries(native(first), native(second)))
        return failure(QT_TR_NOOP("无法写入 “%1”: %2"), second, ec);
    return std::nullopt;
}

Result<QByteArray> RealFileSystem::readFile(const QString& path) const {
    // Opening a FIFO would wait for a writer; a device might act on being opened.
    const Type found = type(path, true);
    if (found != Type::file && found != Type::missing)
        return Error::of(ErrorKind::unsafe,
                         Text(tr, QT_TR_NOOP("无法读取文件 “%1”: 它不是普通文件"), {path}));
    QFile file(path);
    // QFile keeps the system's code in errno; its own message is English whatever the user reads.
    const auto failed = [&](int code) {
        return Error{found == Type::missing ? ErrorKind::missing : errorKindOf(code),
                     Text(tr, QT_TR_NOOP("无法读取文件 “%1”: %2"),
                          {path, systemReason(code, file.errorString())}),
                     code};
    };
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return failed(errno);
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failed(errno);
    return data;
}

namespace {

// flock(), not a file that names its holder: the kernel drops it with the holder's last
// descriptor, whether the holder ends well, crashes or is killed.
class FileLock : public FileWriter::Lock {
public:
    FileLock(int fd, std::string path, dev_t device, ino_t inode)
        : m_fd(fd), m_path(std::move(path)), m_device(device), m_inode(inode) {}
    ~FileLock() override {
        // Removed while still held, so that no one locks a file about to vanish; one who
        // opened it before finds it gone once locked, and tries again.
        struct stat st;
        if (::lstat(m_path.c_str(), &st) == 0 && st.st_dev == m_device && st.st_ino == m_inode)
            ::unlink(m_path.c_str());
        ::close(m_fd);
    }

private:
    int m_fd;
    std::string m_path;
    dev_t m_device;
    ino_t m_inode;
};

} // namespace

Result<std::unique_ptr<FileWriter::Lock>> RealFileSystem::tryLock(const QString& path) {
    const std::string name = native(path).native();
    for (;;) {
        // Not through a link, and without waiting on a FIFO put in its place.
        const int fd =
            ::open(name.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
        if (fd < 0)
            return failure(QT_TR_NOOP("无法锁定 “%1”: %2"), path, errno);
        struct stat held;
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            return Error::saying(Text(tr, QT_TR_NOOP("无法锁定 “%1”: 它不是普通文件"), {path}),
                                 EINVAL);
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                return std::unique_ptr<Lock>();
            return failure(QT_TR_NOOP("无法锁定 “%1”: %2"), path, error);
        }
        struct stat now;
        if (::lstat(name.c_str(), &now) == 0 && now.st_dev == held.st_dev &&
            now.st_ino == held.st_ino)
            return std::unique_ptr<Lock>(
                std::make_unique<FileLock>(fd, name, held.st_dev, held.st_ino));
        ::close(fd); // its holder removed it meanwhile: lock the one there now
    }
}

bool RealFileSystem::sameRegularFile(const QString& first, const QString& second) const {
    return Orvoinstaller::sameRegularFile(native(first), native(second));
}

namespace {

// A regular file for reading, links followed; never waits on a FIFO or opens a device.
struct RegularFile {
    explicit RegularFile(const QString& path) {
        fd = ::open(native(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(fd);
            fd = -1;
        }
    }
    ~RegularFile() {
        if (fd >= 0)
            ::close(fd);
    }
    // Up to `size` bytes, fewer only at the end; -1 on failure.
    ssize_t read(char* data, size_t size) const {
        size_t done = 0;
        while (done < size) {
            const ssize_t got = ::read(fd, data + done, size - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return got < 0 ? -1 : static_cast<ssize_t>(done);
            done += static_cast<size_t>(got);
        }
        return static_cast<ssize_t>(done);
    }
    int fd = -1;
    struct stat st {};
};

} // namespace

bool RealFileSystem::sameContent(const QString& first, const QString& second) const {
    const RegularFile a(first), b(second);
    if (a.fd < 0 || b.fd < 0 || a.st.st_size != b.st.st_size)
        return false;
    constexpr size_t chunk = 1 << 18;
    std::vector<char> left(chunk), right(chunk);
    for (;;) {
        const ssize_t got = a.read(left.data(), chunk);
        if (got < 0 || b.read(right.data(), chunk) != got ||
            !std::equal(left.begin(), left.begin() + got, right.begin()))
            return false;
        if (got < static_cast<ssize_t>(chunk))
            return true;
    }
}

// Not QFileInfo::canonicalFilePath: it cannot name a path whose bytes are not UTF-8.
QString RealFileSystem::resolvedPath(const QString& path) const {
    char* resolved = ::realpath(native(path).c_str(), nullptr);
    if (!resolved)
        return {};
    const QString text = pathFromNative(resolved);
    ::free(resolved);
    return text;
}

QString FileReader::Entry::name() const {
    return lastComponent(path);
}

Result<QStringList> FileReader::entryNames(const QString& dir) const {
    const auto listed = entries(dir, true);
    if (!listed)
        return listed.error();
    QStringList names;
    names.reserve(qsizetype(listed.value().size()));
    for (const Entry& entry : listed.value())
        names << entry.name();
    return names;
}

QString joinPath(const QString& dir, const QString& name) {
    if (dir.endsWith(QLatin1Char('/')))
        return dir + name;
    return dir % QLatin1Char('/') % name;
}

QString lastComponent(const QString& path) {
    QStringView trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    return trimmed.mid(trimmed.lastIndexOf(QLatin1Char('/')) + 1).toString();
}

QString parentPath(const QString& path) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    const auto slash = trimmed.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0)
        return QStringLiteral("/");
    return trimmed.left(slash);
}

std::optional<qint64> RealFileSystem::freeBytes(const QString& path) const {
    // The templates folder may not exist yet; the volume it will be made on counts.
    QString probe = path;
    while (type(probe, true) == Type::missing && probe != QLatin1String("/"))
        probe = parentPath(probe);
    const QStorageInfo volume(probe);
    if (!volume.isValid())
        return std::nullopt;
    return volume.bytesAvailable();
}

// The user's own home keeps the system's choice (XDG_DATA_HOME, say); another home, as a
// renderer's or a test's scratch one, has its own folder inside it, never the user's.
QString RealFileSystem::dataFolder() const {
    if (!m_dataFolder.isEmpty())
        return m_dataFolder;
    if (m_home.isEmpty())
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return joinPath(m_home, dataFolderInHome());
}

namespace {

// All of `bytes`, then the disk: a short write or a lost flush is a failure, not a hole.
int writeAllAndSync(int fd, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

} // namespace

Failure RealFileSystem::writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QByteArray temporary =
        nativePath(parentPath(path)) + "/." + nativePath(lastComponent(path)) + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return failure(QT_TR_NOOP("无法写入 “%1”: %2"), path, errno);
    int error = ::fchmod(fd, 0644) == 0 ? writeAllAndSync(fd, bytes) : errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temporary.constData(), nativePath(path).constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temporary.constData());
        return failure(QT_TR_NOOP("无法写入 “%1”: %2"), path, error);
    }
    return std::nullopt;
}

Failure RealFileSystem::appendDurably(const QString& path, const QByteArray& bytes) {
    const QByteArray name = nativePath(path);
    const bool made = type(path) == Type::missing;
    const int fd =
        ::open(name.constData(),
               O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0)
        return failure(QT_TR_NOOP("无法写入 “%1”: %2"), path, errno);
    struct stat st;
    int error = ::fstat(fd, &st) != 0 ? errno : !S_ISREG(st.st_mode) ? EINVAL : 0;
    if (!error)
        error = writeAllAndSync(fd, bytes);
    if (::close(fd) != 0 && !error)
        error = errno;
    // A new file's name is on the disk only once its folder is.
    if (!error && made) {
        const int folder =
            ::open(nativePath(parentPath(path)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
    }
    return error ? std::optional(failure(QT_TR_NOOP("无法写入 “%1”: %2"), path, error))
                 : std::nullopt;
}

} // namespace Orvoinstaller
