#include "install/Uninstall.h"

#include "base/FolderType.h"
#include "install/ManifestFormat.h"
#include "install/SafeWrite.h"
#include "install/TemplatesFolderLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <utility>

namespace Orvoinstaller {

using Type = FileReader::Type;

namespace {

using Identity = std::pair<quint64, quint64>; // device and inode

Identity identity(const FileReader::Facts& facts) {
    return {facts.device, facts.inode};
}

// One uninstall: what it found, then what it did.
class Uninstall {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::Uninstall)

public:
    Uninstall(FileSystem& fs, const ManifestLocation& location, bool dryRun)
        : m_fs(fs), m_location(location), m_root(QDir::cleanPath(location.templatesFolder)),
          m_dryRun(dryRun) {}

    UninstallReport run();

private:
    struct Removal {
        QString path;
        QString absolute;
        FileReader::Facts facts;
    };

    static constexpr const char* missingReason = QT_TR_NOOP("“%1” 已不存在");
    static constexpr const char* blockedReason =
        QT_TR_NOOP("保留 “%1”: 通往它的文件夹已是链接或不再是文件夹，不会跟随");
    static constexpr const char* replacedReason =
        QT_TR_NOOP("保留 “%1”: 安装后已被替换为另一个项目");
    static constexpr const char* changedReason =
        QT_TR_NOOP("保留 “%1”: 安装后已被修改（大小或修改时间不同）");
    static constexpr const char* addedReason = QT_TR_NOOP("保留 “%1”: 不是安装程序放入的");

    void check(const QString& path, const FileSystem::Facts& recorded);
    Type folderType(const QString& folder);
    bool reachable(const QString& folder);
    void walk(const QString& folder);
    bool leftEmpty(const QString& folder, const QStringList& names);
    void removeFolders();
    void removeTemporaries();
    void keep(const char* reason, const QString& path) {
        Text line(tr, reason, {path});
        m_report.kept << line.source();
        m_report.keptText << line;
    }

    FileSystem& m_fs;
    const ManifestLocation& m_location;
    const QString m_root;
    const bool m_dryRun;
    UninstallReport m_report;
    QMap<QString, FileReader::Facts> m_entries; // what the manifest will go on recording
    bool m_entriesChanged = false;
    QList<Removal> m_removals;
    QSet<QString> m_recorded;            // absolute paths of the entries
    QSet<QString> m_ancestors;           // the folders below kind folders that hold entries
    QSet<QString> m_templateFolders;     // those right inside a kind folder
    QMap<QString, QString> m_ownFolders; // recorded folders still as made, to their entries
    QHash<QString, Type> m_folderTypes;
    QSet<Identity> m_ancestorIdentities;
    QSet<Identity> m_present; // entries found, changed or not, whatever the path's spelling
    QSet<QString> m_gone;
    QSet<Identity> m_goneIdentities;
    QStringList m_temporaries; // what runs cut short left in the folders walked
};

UninstallReport Uninstall::run() {
    // Another run writing meanwhile would add entries this one does not know of, and save a
    // manifest over the one written here.
    std::unique_ptr<FileWriter::Lock> lock;
    if (!m_dryRun && m_fs.type(m_root, true) == Type::folder) {
        auto taken = lockTemplatesFolder(m_fs, m_root);
        if (!taken || !taken.value()) {
            m_report.refused =
                taken
                    ? Error::saying(Text(
                          tr, QT_TR_NOOP("另一个安装程序正在使用模板文件夹 “%1”，请等它完成后再试"),
                          {m_root}))
                    : taken.error();
            return m_report;
        }
        lock = std::move(taken).value();
    }
    const auto loaded = loadManifest(m_fs, m_location);
    if (!loaded) {
        m_report.refused = loaded.error();
        return m_report;
    }
    m_entries = byPath(loaded.value());
    for (auto entry = m_entries.cbegin(); entry != m_entries.cend(); ++entry)
        if (entry.value().type != Type::folder)
            m_recorded.insert(joinPath(m_root, entry.key()));
    const QMap<QString, FileReader::Facts> recorded = m_entries;
    for (auto entry = recorded.cbegin(); entry != recorded.cend(); ++entry)
        check(entry.key(), entry.value());
    // Before anything is removed, so that a dry run sees what a real one does.
    for (const QString& folder : std::as_const(m_ancestors))
        if (const FileReader::Facts facts = m_fs.facts(folder); facts.type == Type::folder)
            m_ancestorIdentities.insert(identity(facts));
    QStringList templateFolders = m_templateFolders.values();
    templateFolders.sort();
    for (const QString& folder : templateFolders)
        if (reachable(folder))
            walk(folder);

    removeTemporaries();
    for (const Removal& removal : std::as_const(m_removals)) {
        if (!m_dryRun) {
            if (Failure error = m_fs.removeFile(removal.absolute)) {
                m_report.failed << *error;
                continue;
            }
        }
        m_report.removed << removal.absolute;
        m_gone.insert(removal.absolute);
        m_goneIdentities.insert(identity(removal.facts));
        m_entries.remove(removal.path);
        m_entriesChanged = true;
    }
    removeFolders();

    // Kept even when empty: an uninstall after a complete one finds nothing to do, which is
    // not the same as never having installed.
    if (!m_dryRun && m_entriesChanged) {
        if (Failure error = writeManifest(m_fs, m_location, m_entries))
            m_report.failed << *error;
    }
    return m_report;
}

Type Uninstall::folderType(const QString& folder) {
    const auto known = m_folderTypes.constFind(folder);
    if (known != m_folderTypes.cend())
        return *known;
    const Type type = m_fs.type(folder);
    m_folderTypes.insert(folder, type);
    return type;
}

// True when every folder from the kind folder down to `folder` is a folder, not a link.
bool Uninstall::reachable(const QString& folder) {
    const QStringList parts = folder.mid(m_root.size() + 1).split(u'/');
    QString path = m_root;
    for (const QString& part : parts) {
        path = joinPath(path, part);
        if (folderType(path) != Type::folder)
            return false;
    }
    return true;
}

// Decides one entry. A link on the way there is never followed: it may lead anywhere.
void Uninstall::check(const QString& path, const FileReader::Facts& recorded) {
    const QString absolute = joinPath(m_root, path);
    const QStringList parts = path.split(u'/');
    QString folder = m_root;
    Type blocking = Type::folder;
    qsizetype missingAt = -1; // the depth of the first folder on the way that is missing
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        folder = joinPath(folder, parts[i]);
        if (i == 1)
            m_templateFolders.insert(folder);
        if (i >= 1)
            m_ancestors.insert(folder);
        if (blocking == Type::folder) {
            blocking = folderType(folder);
            if (blocking == Type::missing)
                missingAt = i;
        }
    }
    const FileReader::Facts now =
        blocking == Type::folder ? m_fs.facts(absolute) : FileReader::Facts{};
    // A folder is the installer's only while it is the one it made; emptied, it may go.
    if (recorded.type == Type::folder) {
        if (blocking == Type::folder && now.type == Type::folder &&
            identity(now) == identity(recorded)) {
            m_ownFolders.insert(absolute, path);
        } else if (blocking == Type::folder || (blocking == Type::missing && missingAt >= 1)) {
            m_entries.remove(path);
            m_entriesChanged = true;
        }
        return;
    }
    // A missing kind folder may be a volume not mounted now: its record stays. A template
    // folder, or anything in one, gone from a kind folder that is there, was deleted.
    if ((blocking == Type::missing && missingAt >= 1) ||
        (blocking == Type::folder && now.type == Type::missing)) {
        // Nothing there to protect: the record goes.
        keep(missingReason, absolute);
        m_entries.remove(path);
        m_entriesChanged = true;
    } else if (blocking != Type::folder) {
        keep(blockedReason, absolute);
    } else {
        m_present.insert(identity(now));
        if (now.type != recorded.type || identity(now) != identity(recorded))
            keep(replacedReason, absolute);
        else if (now.size != recorded.size || now.modifiedSeconds != recorded.modifiedSeconds ||
                 now.modifiedNanoseconds != recorded.modifiedNanoseconds)
            keep(changedReason, absolute);
        else
            m_removals.push_back({path, absolute, now});
    }
}

// Names what a template folder holds that no installation put there. A name may differ from
// the recorded one in case only (file systems that ignore case): identity tells.
void Uninstall::walk(const QString& folder) {
    auto names = m_fs.entryNames(folder);
    if (!names)
        return;
    QStringList sorted = std::move(names).value();
    sorted.sort();
    for (const QString& name : sorted) {
        const QString path = joinPath(folder, name);
        if (m_recorded.contains(path))
            continue;
        if (isTemporaryName(name)) {
            m_temporaries << path;
            continue;
        }
        const FileReader::Facts facts = m_fs.facts(path);
        if (facts.type == Type::folder) {
            if (m_ancestors.contains(path) || m_ownFolders.contains(path) ||
                m_ancestorIdentities.contains(identity(facts)))
                walk(path);
            else
                keep(addedReason, path);
        } else if (facts.type == Type::missing || !m_present.contains(identity(facts))) {
            keep(addedReason, path);
        }
    }
}

bool Uninstall::leftEmpty(const QString& folder, const QStringList& names) {
    return std::all_of(names.begin(), names.end(), [&](const QString& name) {
        const QString path = joinPath(folder, name);
        if (m_gone.contains(path))
            return true;
        const FileReader::Facts facts = m_fs.facts(path);
        return facts.type != Type::missing && m_goneIdentities.contains(identity(facts));
    });
}

// A killed run's temporaries are the installer's own, not the user's: they go with it, from
// the kind folders (whole templates being copied) and the template folders (merged files).
void Uninstall::removeTemporaries() {
    for (const FolderType kind : {FolderType::titles, FolderType::effects, FolderType::generators,
                                  FolderType::transitions}) {
        const QString folder = joinPath(m_root, kindFolderName(kind));
        if (folderType(folder) != Type::folder)
            continue;
        if (const auto names = m_fs.entryNames(folder))
            for (const QString& name : names.value())
                if (isTemporaryName(name))
                    m_temporaries << joinPath(folder, name);
    }
    for (const QString& path : std::as_const(m_temporaries)) {
        if (!m_dryRun && m_fs.removeItem(path))
            continue;
        m_gone.insert(path);
    }
}

// Deepest first, so that a folder whose sub-folders all go goes too. Only folders the
// installer made: one the user made, or merged into, stays even when emptied.
void Uninstall::removeFolders() {
    QStringList folders = m_ownFolders.keys();
    std::sort(folders.begin(), folders.end(), [](const QString& a, const QString& b) {
        const auto depthA = a.count(u'/'), depthB = b.count(u'/');
        return depthA != depthB ? depthA > depthB : a < b;
    });
    for (const QString& folder : std::as_const(folders)) {
        // lstat follows links in the middle of a path: each folder on the way is looked at.
        if (!reachable(folder))
            continue;
        const FileReader::Facts facts = m_fs.facts(folder);
        if (facts.type != Type::folder || m_goneIdentities.contains(identity(facts)))
            continue;
        const auto names = m_fs.entryNames(folder);
        if (!names || !leftEmpty(folder, names.value()))
            continue;
        if (!m_dryRun) {
            if (Failure error = m_fs.removeEmptyFolder(folder)) {
                m_report.failed << *error;
                continue;
            }
        }
        m_report.removedFolders << folder;
        m_gone.insert(folder);
        m_goneIdentities.insert(identity(facts));
        m_entries.remove(m_ownFolders.value(folder));
        m_entriesChanged = true;
    }
}

} // namespace

UninstallReport uninstallRecorded(FileSystem& fs, const ManifestLocation& location, bool dryRun) {
    return Uninstall(fs, location, dryRun).run();
}

} // namespace Orvoinstaller
