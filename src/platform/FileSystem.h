#pragma once

#include "base/Result.h"
#include "platform/CopyProgress.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace Orvoinstaller {

// What discovery, previews and checks need of the file system: they only look. Paths are
// absolute, joined with "/"; all calls are synchronous on the calling thread.
class FileReader {
public:
    // What an entry is, links not followed unless asked. `other` is a FIFO, socket or device:
    // never opened, since opening one can block or act on hardware.
    enum class Type { missing, file, folder, link, other };

    struct Entry {
        QString path; // absolute; last component is the name as stored
        // What the entry itself is (a link as a link); empty when the system does not say.
        std::optional<Type> type;
        // False when the name's bytes are not UTF-8 (Linux allows any): the text in `path`
        // then names another entry, or none.
        bool nameIsText = true;

        QString name() const;
    };

    // What stat says of an entry: enough to tell an unchanged file without reading it,
    // and to know it again later as the same file.
    struct Facts {
        Type type = Type::missing;
        qint64 size = 0;
        qint64 modifiedSeconds = 0; // since the epoch
        qint64 modifiedNanoseconds = 0;
        quint32 permissions = 0; // the mode's 07777 bits
        quint64 device = 0;
        quint64 inode = 0;
    };

    virtual ~FileReader() = default;

    // Empty when the system does not say (HOME unset or empty).
    virtual QString homeDirectory() const = 0;
    // The per-user application-data folder of the home above, where programs keep what they
    // know between runs; empty when the system names none.
    virtual QString dataFolder() const = 0;

    // The direct entries in the file system's order; hidden ones (a leading dot, or the
    // system's hidden flag) only with `withHidden`.
    virtual Result<std::vector<Entry>> entries(const QString& dir, bool withHidden) const = 0;
    // The names of all of them.
    Result<QStringList> entryNames(const QString& dir) const;

    // Never fails: an entry that cannot be read has type `missing`.
    virtual Facts facts(const QString& path, bool followLinks = false) const = 0;
    Type type(const QString& path, bool followLinks = false) const {
        return facts(path, followLinks).type;
    }

    // The path with every link on the way resolved; empty when it leads nowhere.
    virtual QString resolvedPath(const QString& path) const = 0;

    // A one-line rendering of all attributes of the item.
    virtual Result<QString> attributes(const QString& path) const = 0;

    // The whole of a regular file (links followed); fails when missing, unreadable or of
    // another kind.
    virtual Result<QByteArray> readFile(const QString& path) const = 0;

    // True only when both are regular files (not links) with the same bytes and permission
    // bits, so that putting a copy of the first in place of the second would change nothing.
    // False whenever unsure.
    virtual bool sameRegularFile(const QString& first, const QString& second) const = 0;

    // True only when both are regular files (links followed) of the same size and bytes,
    // whatever their permission bits. False whenever unsure; nothing else is opened.
    virtual bool sameContent(const QString& first, const QString& second) const = 0;

    // The bytes an unprivileged writer may still put on the volume holding `path` (or its
    // nearest existing ancestor); nothing when the system does not say.
    virtual std::optional<qint64> freeBytes(const QString& path) const = 0;
};

// What installing, recording and uninstalling change on the file system.
class FileWriter {
public:
    // Held until destroyed. The system lets go of it when its holder ends, however it ends,
    // so it never goes stale.
    class Lock {
    public:
        virtual ~Lock() = default;
    };

    virtual ~FileWriter() = default;

    // An exclusive lock on the regular file `path`, made when missing and removed when let go:
    // null while another holder has it (in this process or another); an error when the file
    // cannot be had.
    virtual Result<std::unique_ptr<Lock>> tryLock(const QString& path) = 0;

    // The folder and every missing parent; an existing folder is no error.
    virtual Failure createDirectories(const QString& path) = 0;

    // A file, or a folder with its whole tree (hidden entries included), to a path where
    // nothing exists yet. `progress` may hear of the work as it goes, and stop it.
    virtual Failure copyItem(const QString& from, const QString& to,
                             const CopyProgress& progress = {}) = 0;

    // A clone of the regular file `from` at `to`, where nothing exists yet: it shares the
    // blocks of `from` (no bytes move), with permission bits and times kept. Fails where the
    // file systems cannot clone; the caller then compares or copies.
    virtual Failure cloneItem(const QString& from, const QString& to) = 0;

    // Atomically puts `from` in place of a file or link at `to` (same folder). Never replaces
    // a folder.
    virtual Failure replaceItem(const QString& from, const QString& to) = 0;
    // Atomically moves `from` to `to` (same folder) where nothing exists; fails otherwise,
    // also on file systems that cannot rename without replacing.
    virtual Failure moveNew(const QString& from, const QString& to) = 0;
    // Swaps `first` and `second` (both existing, files or folders, on one volume) in one
    // atomic step, so that a folder is replaced without a moment where its name is free.
    virtual Failure exchangeItems(const QString& first, const QString& second) = 0;
    // `bytes` as the whole content of the regular file `path`, on the disk before it takes
    // the old one's place in one atomic step. A link there is replaced, never followed.
    virtual Failure writeFileAtomically(const QString& path, const QByteArray& bytes) = 0;
    // `bytes` added at the end of the regular file `path` (made when missing), on the disk
    // before this returns: what it says survives the process being killed right after.
    virtual Failure appendDurably(const QString& path, const QByteArray& bytes) = 0;

    // A file, or a folder with its whole tree.
    virtual Failure removeItem(const QString& path) = 0;
    // One file, link or other entry that is not a folder; a link itself, never its target.
    virtual Failure removeFile(const QString& path) = 0;
    // A folder only while it is empty: what it holds is never touched.
    virtual Failure removeEmptyFolder(const QString& path) = 0;

    // Whether the file system holding the folder of `scratch` keeps permission bits (exFAT,
    // FAT and SMB do not): a file made at `scratch`, where nothing is, tells, and is removed.
    // True when unsure.
    virtual bool keepsModes(const QString& scratch) = 0;
};

// Both, as one object: the platform hands out one file system.
class FileSystem : public FileReader, public FileWriter {};

// Joins a name (or a relative path) to a folder path.
QString joinPath(const QString& dir, const QString& name);
// The last path component.
QString lastComponent(const QString& path);
// The path one level up.
QString parentPath(const QString& path);

} // namespace Orvoinstaller
