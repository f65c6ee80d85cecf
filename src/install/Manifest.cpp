#include "install/Manifest.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <mutex>
#include <utility>

namespace Orvoinstaller {

using Type = FileSystem::Type;

namespace {

using Identity = std::pair<quint64, quint64>; // device and inode

Identity identity(const FileSystem::Facts& facts) {
    return {facts.device, facts.inode};
}

// The id names a folder: one that would lead out of the data folder is not used.
QString usableBundleId(const std::optional<QString>& id) {
    if (!id || id->isEmpty() || id->contains(u'/') || *id == u"." || *id == u"..")
        return QString::fromLatin1(fallbackBundleId);
    return *id;
}

// A path the installer can have written: relative, inside a kind folder, no "." or "..".
bool insideTemplates(const QString& relative) {
    if (relative.startsWith(u'/') || relative.contains(QChar(0)))
        return false;
    const QStringList parts = relative.split(u'/');
    return parts.size() >= 2 && std::none_of(parts.begin(), parts.end(), [](const QString& part) {
               return part.isEmpty() || part == u"." || part == u"..";
           });
}

QByteArray jsonString(const QString& text) {
    // Qt escapes strings only as parts of a document: the smallest one holding it.
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// One entry, kept serialised: a save joins these instead of building the whole document anew.
// Device and inode as text: a JSON number holds 53 bits exactly, an inode may need 64.
QByteArray entryJson(const QString& path, const FileSystem::Facts& facts) {
    return "{\"path\":" + jsonString(path) + ",\"type\":\"" +
           (facts.type == Type::link ? "link" : "file") +
           "\",\"size\":" + QByteArray::number(facts.size) + ",\"modified\":[" +
           QByteArray::number(facts.modifiedSeconds) + "," +
           QByteArray::number(facts.modifiedNanoseconds) + "],\"device\":\"" +
           QByteArray::number(facts.device) + "\",\"inode\":\"" + QByteArray::number(facts.inode) +
           "\"}";
}

// `makeFolder`: the folder may not exist yet. Asked once per run, so that a run's file
// operations are the same whenever its writes happen.
Failure writeManifest(FileSystem& fs, const ManifestLocation& location,
                      const QMap<QString, QByteArray>& entries, bool makeFolder = true) {
    if (location.path.isEmpty())
        return Error::saying(Text(
            QT_TRANSLATE_NOOP("Orvoinstaller", "无法写入安装记录: 系统没有给出存放它的文件夹")));
    if (makeFolder) {
        if (auto error = fs.createDirectories(parentPath(location.path)))
            return error;
    }
    QByteArray data =
        "{\n  \"format\": " + QByteArray::number(manifestFormatVersion) +
        ",\n  \"bundleId\": " + jsonString(location.bundleId) +
        ",\n  \"templatesFolder\": " + jsonString(QDir::cleanPath(location.templatesFolder)) +
        ",\n  \"entries\": [";
    qsizetype size = data.size() + 16;
    for (const QByteArray& entry : entries)
        size += entry.size() + 6;
    data.reserve(size); // one allocation: a pack's manifest may reach megabytes
    const char* separator = "\n    ";
    for (const QByteArray& entry : entries) {
        data.append(separator).append(entry);
        separator = ",\n    ";
    }
    data.append("\n  ]\n}\n");
    QSaveFile file(location.path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return Error::saying(Text(QT_TRANSLATE_NOOP("Orvoinstaller", "无法写入安装记录 “%1”: %2"),
                                  {location.path, file.errorString()}));
    return std::nullopt;
}

std::optional<qint64> integer(const QJsonValue& value) {
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::floor(number) || std::fabs(number) > 9007199254740992.0)
        return std::nullopt;
    return static_cast<qint64>(number);
}

std::optional<quint64> decimal(const QJsonValue& value) {
    const QString text = value.toString();
    if (!value.isString() || text.isEmpty() ||
        !std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    bool ok = false;
    const quint64 number = text.toULongLong(&ok);
    return ok ? std::optional<quint64>(number) : std::nullopt;
}

std::optional<FileSystem::Facts> entryFacts(const QJsonObject& entry) {
    FileSystem::Facts facts;
    const QString type = entry.value(u"type").toString();
    facts.type = type == u"file" ? Type::file : type == u"link" ? Type::link : Type::missing;
    const auto size = integer(entry.value(u"size"));
    const QJsonArray modified = entry.value(u"modified").toArray();
    const auto seconds = integer(modified.at(0));
    const auto nanoseconds = integer(modified.at(1));
    const auto device = decimal(entry.value(u"device"));
    const auto inode = decimal(entry.value(u"inode"));
    if (facts.type == Type::missing || !size || *size < 0 || modified.size() != 2 || !seconds ||
        !nanoseconds || !device || !inode)
        return std::nullopt;
    facts.size = *size;
    facts.modifiedSeconds = *seconds;
    facts.modifiedNanoseconds = *nanoseconds;
    facts.device = *device;
    facts.inode = *inode;
    return facts;
}

Error malformed(const QString& file, const QString& where) {
    return Error::saying(Text(
        QT_TRANSLATE_NOOP("Orvoinstaller", "安装记录 “%1” 的内容格式不正确: %2"), {file, where}));
}

Result<QList<ManifestEntry>> parseManifest(const QByteArray& bytes,
                                           const ManifestLocation& location) {
    const QString& file = location.path;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return Error::saying(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller", "安装记录 “%1” 不是有效的 JSON: %2"),
                 {file, parseError.errorString()}));
    const QJsonObject root = document.object();
    const auto format = integer(root.value(u"format"));
    if (!document.isObject() || !format || *format < 1)
        return malformed(file, QStringLiteral("format"));
    if (*format > manifestFormatVersion)
        return Error::saying(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller",
                                   "安装记录 “%1” 的格式版本 %2 比本程序能读的 %3 更新"),
                 {file, QString::number(*format), QString::number(manifestFormatVersion)}));
    const QJsonValue bundleId = root.value(u"bundleId");
    const QJsonValue templatesFolder = root.value(u"templatesFolder");
    if (!bundleId.isString())
        return malformed(file, QStringLiteral("bundleId"));
    if (!templatesFolder.isString())
        return malformed(file, QStringLiteral("templatesFolder"));
    if (bundleId.toString() != location.bundleId)
        return Error::saying(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller", "安装记录 “%1” 属于另一个程序（%2）"),
                 {file, bundleId.toString()}));
    if (QDir::cleanPath(templatesFolder.toString()) != QDir::cleanPath(location.templatesFolder))
        return Error::saying(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller", "安装记录 “%1” 记的是另一个模板文件夹（%2）"),
                 {file, templatesFolder.toString()}));
    const QJsonValue entries = root.value(u"entries");
    if (!entries.isArray())
        return malformed(file, QStringLiteral("entries"));
    QList<ManifestEntry> result;
    result.reserve(entries.toArray().size());
    for (const QJsonValue& value : entries.toArray()) {
        const QString where = QStringLiteral("entries[%1]").arg(result.size());
        const QJsonValue path = value.toObject().value(u"path");
        if (!value.isObject() || !path.isString())
            return malformed(file, where);
        if (!insideTemplates(path.toString()))
            return Error::saying(Text(
                QT_TRANSLATE_NOOP("Orvoinstaller", "安装记录 “%1” 中的路径 “%2” 不在模板文件夹内"),
                {file, path.toString()}));
        const auto facts = entryFacts(value.toObject());
        if (!facts)
            return malformed(file, where + QStringLiteral(" (") + path.toString() + u')');
        result.push_back({path.toString(), *facts});
    }
    return result;
}

// The entries by path, a later one in place of an earlier one.
QMap<QString, FileSystem::Facts> byPath(const QList<ManifestEntry>& entries) {
    QMap<QString, FileSystem::Facts> result;
    for (const ManifestEntry& entry : entries)
        result.insert(entry.path, entry.facts);
    return result;
}

} // namespace

ManifestLocation defaultManifestLocation(const QString& templatesFolder, const Bundle& bundle) {
    const QString id = usableBundleId(bundle.identifier());
    // Not AppDataLocation itself: it adds the application's name, which the window sets.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return ManifestLocation{
        data.isEmpty() ? QString() : joinPath(joinPath(data, id), QLatin1String(manifestFileName)),
        id, QDir::cleanPath(templatesFolder)};
}

ManifestLocation defaultManifestLocation(const QString& templatesFolder) {
    return defaultManifestLocation(templatesFolder,
                                   ExecutableBundle(QCoreApplication::applicationDirPath()));
}

Result<QList<ManifestEntry>> loadManifest(FileSystem& fs, const ManifestLocation& location) {
    if (location.path.isEmpty())
        return Error::saying(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller", "没有安装记录: 系统没有给出存放它的文件夹")),
            ENOENT);
    if (fs.type(location.path, true) == Type::missing)
        return Error::saying(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller", "没有安装记录 “%1”"), {location.path}), ENOENT);
    const auto bytes = fs.readFile(location.path);
    if (!bytes)
        return Error::saying(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller", "无法读取安装记录: %1"), {bytes.error().text}));
    return parseManifest(bytes.value(), location);
}

std::unique_ptr<QLockFile> templatesFolderLock(const QString& templatesFolder) {
    auto lock = std::make_unique<QLockFile>(
        joinPath(templatesFolder, QStringLiteral(".orvo-install.lock")));
    lock->setStaleLockTime(0);
    return lock;
}

struct ManifestRecorder::State {
    State(FileSystem& fs, ManifestLocation location)
        : fs(fs), location(std::move(location)),
          prefix(QDir::cleanPath(this->location.templatesFolder) + u'/') {}

    FileSystem& fs;
    const ManifestLocation location;
    const QString prefix; // the templates folder with its trailing "/"
    std::mutex mutex;
    QMap<QString, QByteArray> entries; // serialised, by path
    bool loaded = false;
    bool changed = false; // since the last write
    bool folderMade = false;
    Failure discarded;
    QElapsedTimer sinceWrite;
    qint64 writeCost = 0; // of the last write, in nanoseconds

    Failure write(bool now);
};

ManifestRecorder::ManifestRecorder(FileSystem& fs, ManifestLocation location)
    : m_state(std::make_unique<State>(fs, std::move(location))) {}

ManifestRecorder::~ManifestRecorder() {
    // What save() left for later; a failure here has nobody to hear it.
    m_state->write(true);
}

TemplateInstaller::Installed ManifestRecorder::observer() {
    return [state = m_state.get()](const QString& destination) {
        const QString path = QDir::cleanPath(destination);
        const QString relative = path.mid(state->prefix.size());
        if (!path.startsWith(state->prefix) || !insideTemplates(relative))
            return;
        const FileSystem::Facts facts = state->fs.facts(path);
        if (facts.type != Type::file && facts.type != Type::link)
            return;
        const std::lock_guard lock(state->mutex);
        state->entries.insert(relative, entryJson(relative, facts));
        state->changed = true;
    };
}

Failure ManifestRecorder::save() {
    return m_state->write(false);
}

Failure ManifestRecorder::finish() {
    return m_state->write(true);
}

// The earlier manifest is loaded late, under the lock the run holds by then, and only to be
// written again: later writes only add.
Failure ManifestRecorder::State::write(bool now) {
    const std::lock_guard lock(mutex);
    if (!changed)
        return std::nullopt;
    if (!loaded) {
        loaded = true;
        const auto earlier = loadManifest(fs, location);
        if (earlier) {
            for (const ManifestEntry& entry : earlier.value())
                if (!entries.contains(entry.path))
                    entries.insert(entry.path, entryJson(entry.path, entry.facts));
        } else if (earlier.error().code != ENOENT) {
            discarded = earlier.error();
        }
    }
    // Each write is the whole file, synced: with thousands of entries it costs milliseconds.
    // Writing at most once per ten times that keeps saving a small part of any run.
    if (!now && sinceWrite.isValid() && sinceWrite.nsecsElapsed() < 10 * writeCost)
        return std::nullopt;
    QElapsedTimer clock;
    clock.start();
    Failure error = writeManifest(fs, location, entries, !folderMade);
    folderMade = folderMade || !error;
    writeCost = clock.nsecsElapsed();
    sinceWrite.start();
    if (!error)
        changed = false;
    return error;
}

Failure ManifestRecorder::discarded() const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->discarded;
}

namespace {

// One uninstall: what it found, then what it did.
class Uninstall {
public:
    Uninstall(FileSystem& fs, const ManifestLocation& location, bool dryRun)
        : m_fs(fs), m_location(location), m_root(QDir::cleanPath(location.templatesFolder)),
          m_dryRun(dryRun) {}

    UninstallReport run();

private:
    struct Removal {
        QString path;
        QString absolute;
        FileSystem::Facts facts;
    };

    void check(const QString& path, const FileSystem::Facts& recorded);
    Type folderType(const QString& folder);
    bool reachable(const QString& folder);
    void walk(const QString& folder);
    bool leftEmpty(const QString& folder, const QStringList& names);
    void removeFolders();
    void keep(const char* reason, const QString& path) {
        Text line(reason, {path});
        m_report.kept << line.source();
        m_report.keptText << line;
    }

    FileSystem& m_fs;
    const ManifestLocation& m_location;
    const QString m_root;
    const bool m_dryRun;
    UninstallReport m_report;
    QMap<QString, FileSystem::Facts> m_entries; // what the manifest will go on recording
    bool m_entriesChanged = false;
    QList<Removal> m_removals;
    QSet<QString> m_recorded;        // absolute paths of the entries
    QSet<QString> m_ancestors;       // the folders below kind folders that hold entries
    QSet<QString> m_templateFolders; // those right inside a kind folder
    QHash<QString, Type> m_folderTypes;
    QSet<Identity> m_ancestorIdentities;
    QSet<Identity> m_present; // entries found, changed or not, whatever the path's spelling
    QSet<QString> m_gone;
    QSet<Identity> m_goneIdentities;
};

const char* const missingReason = QT_TRANSLATE_NOOP("Orvoinstaller", "“%1” 已不存在");
const char* const blockedReason =
    QT_TRANSLATE_NOOP("Orvoinstaller", "保留 “%1”: 通往它的文件夹已是链接或不再是文件夹，不会跟随");
const char* const replacedReason =
    QT_TRANSLATE_NOOP("Orvoinstaller", "保留 “%1”: 安装后已被替换为另一个项目");
const char* const changedReason =
    QT_TRANSLATE_NOOP("Orvoinstaller", "保留 “%1”: 安装后已被修改（大小或修改时间不同）");
const char* const addedReason = QT_TRANSLATE_NOOP("Orvoinstaller", "保留 “%1”: 不是安装程序放入的");

UninstallReport Uninstall::run() {
    // Another run writing meanwhile would add entries this one does not know of, and save a
    // manifest over the one written here.
    std::unique_ptr<QLockFile> lock;
    if (!m_dryRun && m_fs.type(m_root, true) == Type::folder) {
        lock = templatesFolderLock(m_root);
        if (!lock->tryLock(0)) {
            m_report.refused = Error::saying(Text(
                lock->error() == QLockFile::LockFailedError
                    ? QT_TRANSLATE_NOOP("Orvoinstaller",
                                        "另一个安装程序正在使用模板文件夹 “%1”，请等它完成后再试")
                    : QT_TRANSLATE_NOOP("Orvoinstaller", "无法锁定模板文件夹 “%1”"),
                {m_root}));
            return m_report;
        }
    }
    const auto loaded = loadManifest(m_fs, m_location);
    if (!loaded) {
        m_report.refused = loaded.error();
        return m_report;
    }
    m_entries = byPath(loaded.value());
    for (auto entry = m_entries.cbegin(); entry != m_entries.cend(); ++entry)
        m_recorded.insert(joinPath(m_root, entry.key()));
    const QMap<QString, FileSystem::Facts> recorded = m_entries;
    for (auto entry = recorded.cbegin(); entry != recorded.cend(); ++entry)
        check(entry.key(), entry.value());
    // Before anything is removed, so that a dry run sees what a real one does.
    for (const QString& folder : std::as_const(m_ancestors))
        if (const FileSystem::Facts facts = m_fs.facts(folder); facts.type == Type::folder)
            m_ancestorIdentities.insert(identity(facts));
    QStringList templateFolders = m_templateFolders.values();
    templateFolders.sort();
    for (const QString& folder : templateFolders)
        if (reachable(folder))
            walk(folder);

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
        QMap<QString, QByteArray> lines;
        for (auto entry = m_entries.cbegin(); entry != m_entries.cend(); ++entry)
            lines.insert(entry.key(), entryJson(entry.key(), entry.value()));
        if (Failure error = writeManifest(m_fs, m_location, lines))
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
void Uninstall::check(const QString& path, const FileSystem::Facts& recorded) {
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
    const FileSystem::Facts now =
        blocking == Type::folder ? m_fs.facts(absolute) : FileSystem::Facts{};
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
        const FileSystem::Facts facts = m_fs.facts(path);
        if (facts.type == Type::folder) {
            if (m_ancestors.contains(path) || m_ancestorIdentities.contains(identity(facts)))
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
        const FileSystem::Facts facts = m_fs.facts(path);
        return facts.type != Type::missing && m_goneIdentities.contains(identity(facts));
    });
}

// Deepest first, so that a folder whose sub-folders all go goes too. Kind folders and the
// templates folder are not among them.
void Uninstall::removeFolders() {
    QStringList folders = m_ancestors.values();
    std::sort(folders.begin(), folders.end(), [](const QString& a, const QString& b) {
        const auto depthA = a.count(u'/'), depthB = b.count(u'/');
        return depthA != depthB ? depthA > depthB : a < b;
    });
    for (const QString& folder : std::as_const(folders)) {
        // lstat follows links in the middle of a path: each folder on the way is looked at.
        if (!reachable(folder))
            continue;
        const FileSystem::Facts facts = m_fs.facts(folder);
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
    }
}

} // namespace

UninstallReport uninstallRecorded(FileSystem& fs, const ManifestLocation& location, bool dryRun) {
    return Uninstall(fs, location, dryRun).run();
}

} // namespace Orvoinstaller
