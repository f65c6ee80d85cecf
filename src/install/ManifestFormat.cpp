#include "install/ManifestFormat.h"

#include "base/FolderType.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace Orvoinstaller {

using Type = FileReader::Type;

namespace {

QByteArray jsonString(const QString& text) {
    // Qt escapes strings only as parts of a document: the smallest one holding it.
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
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

std::optional<FileReader::Facts> entryFacts(const QJsonObject& entry) {
    FileReader::Facts facts;
    const QString type = entry.value(u"type").toString();
    facts.type = type == u"file"     ? Type::file
                 : type == u"link"   ? Type::link
                 : type == u"folder" ? Type::folder
                                     : Type::missing;
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

// The record's words, reading it and writing it.
struct ManifestFormat {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::ManifestFormat)

public:
    static Error malformed(const QString& file, const QString& where);
    static Result<ManifestEntry> parseEntry(const QJsonValue& value, const QString& file,
                                            const QString& where);
    static Result<QList<ManifestEntry>> parseManifest(const QByteArray& bytes,
                                                      const ManifestLocation& location);
    static Failure write(FileSystem& fs, const ManifestLocation& location,
                         const QMap<QString, FileSystem::Facts>& entries);
    static Failure append(FileSystem& fs, const ManifestLocation& location,
                          const QByteArray& lines);
    static Result<QList<ManifestEntry>> load(const FileReader& fs, const ManifestLocation& location);
};

Error ManifestFormat::malformed(const QString& file, const QString& where) {
    return Error::saying(Text(tr, QT_TR_NOOP("安装记录 “%1” 的内容格式不正确: %2"), {file, where}));
}

Result<ManifestEntry> ManifestFormat::parseEntry(const QJsonValue& value, const QString& file,
                                                 const QString& where) {
    const QJsonValue path = value.toObject().value(u"path");
    if (!value.isObject() || !path.isString())
        return malformed(file, where);
    const auto facts = entryFacts(value.toObject());
    if (!insideTemplates(path.toString(), facts && facts->type == Type::folder))
        return Error::saying(Text(tr, QT_TR_NOOP("安装记录 “%1” 中的路径 “%2” 不在模板文件夹内"),
                                  {file, path.toString()}));
    if (!facts)
        return malformed(file, where + QStringLiteral(" (") + path.toString() + u')');
    return ManifestEntry{path.toString(), *facts};
}

// The journal's lines over `entries`: an entry in place of one of its path, or a "forget"
// taking one back. Each write starts a line of its own; one a killed writer cut short is no
// JSON and is left out: the file it spoke of never appeared.
Failure foldJournal(const QByteArray& bytes, const QString& file,
                    QMap<QString, FileReader::Facts>& entries) {
    qsizetype start = 0;
    for (qsizetype end = bytes.indexOf('\n'); end >= 0;
         start = end + 1, end = bytes.indexOf('\n', start)) {
        const QString where = QStringLiteral("@%1").arg(start);
        QJsonParseError parseError;
        const QJsonDocument line =
            QJsonDocument::fromJson(bytes.mid(start, end - start), &parseError);
        if (end == start || parseError.error != QJsonParseError::NoError)
            continue;
        if (!line.isObject())
            return ManifestFormat::malformed(file, where);
        const QJsonValue forget = line.object().value(u"forget");
        if (forget.isString() && insideTemplates(forget.toString(), true)) {
            entries.remove(forget.toString());
            continue;
        }
        const auto entry = ManifestFormat::parseEntry(line.object(), file, where);
        if (!entry)
            return entry.error();
        entries.insert(entry.value().path, entry.value().facts);
    }
    return std::nullopt;
}

Result<QList<ManifestEntry>> ManifestFormat::parseManifest(const QByteArray& bytes,
                                                           const ManifestLocation& location) {
    const QString& file = location.path;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return Error::saying(Text(tr, QT_TR_NOOP("安装记录 “%1” 不是有效的 JSON: %2"),
                                  {file, parseError.errorString()}));
    const QJsonObject root = document.object();
    const auto format = integer(root.value(u"format"));
    if (!document.isObject() || !format || *format < 1)
        return malformed(file, QStringLiteral("format"));
    if (*format > manifestFormatVersion)
        return Error::saying(
            Text(tr, QT_TR_NOOP("安装记录 “%1” 的格式版本 %2 比本程序能读的 %3 更新"),
                 {file, QString::number(*format), QString::number(manifestFormatVersion)}));
    const QJsonValue bundleId = root.value(u"bundleId");
    const QJsonValue templatesFolder = root.value(u"templatesFolder");
    if (!bundleId.isString())
        return malformed(file, QStringLiteral("bundleId"));
    if (!templatesFolder.isString())
        return malformed(file, QStringLiteral("templatesFolder"));
    if (bundleId.toString() != location.bundleId)
        return Error::saying(Text(tr, QT_TR_NOOP("安装记录 “%1” 属于另一个程序（%2）"),
                                  {file, bundleId.toString()}));
    if (QDir::cleanPath(templatesFolder.toString()) != QDir::cleanPath(location.templatesFolder))
        return Error::saying(Text(tr, QT_TR_NOOP("安装记录 “%1” 记的是另一个模板文件夹（%2）"),
                                  {file, templatesFolder.toString()}));
    const QJsonValue entries = root.value(u"entries");
    if (!entries.isArray())
        return malformed(file, QStringLiteral("entries"));
    QList<ManifestEntry> result;
    result.reserve(entries.toArray().size());
    for (const QJsonValue& value : entries.toArray()) {
        auto entry = parseEntry(value, file, QStringLiteral("entries[%1]").arg(result.size()));
        if (!entry)
            return entry.error();
        // Format 1 knew no folders: one naming a folder is forged.
        if (*format < 2 && entry.value().facts.type == Type::folder)
            return malformed(file, entry.value().path);
        result.push_back(std::move(entry).value());
    }
    return result;
}

} // namespace

// A path the installer can have written: relative, in a template folder of a kind folder, no
// "." or "..". Anything else may be a user's file that a forged entry points at.
bool insideTemplates(const QString& relative, bool folder) {
    if (relative.startsWith(u'/') || relative.contains(QChar(0)))
        return false;
    const QStringList parts = relative.split(u'/');
    const auto kinds = {FolderType::titles, FolderType::effects, FolderType::generators,
                        FolderType::transitions};
    const bool inKindFolder = std::any_of(kinds.begin(), kinds.end(), [&](FolderType kind) {
        return parts.first() == kindFolderName(kind);
    });
    return inKindFolder && parts.size() >= (folder ? 2 : 3) &&
           std::none_of(parts.begin(), parts.end(), [](const QString& part) {
               return part.isEmpty() || part == u"." || part == u"..";
           });
}

// One entry, kept serialised: a save joins these instead of building the whole document anew.
// Device and inode as text: a JSON number holds 53 bits exactly, an inode may need 64.
QByteArray entryJson(const QString& path, const FileReader::Facts& facts) {
    return "{\"path\":" + jsonString(path) + ",\"type\":\"" +
           (facts.type == Type::link     ? "link"
            : facts.type == Type::folder ? "folder"
                                         : "file") +
           "\",\"size\":" + QByteArray::number(facts.size) + ",\"modified\":[" +
           QByteArray::number(facts.modifiedSeconds) + "," +
           QByteArray::number(facts.modifiedNanoseconds) + "],\"device\":\"" +
           QByteArray::number(facts.device) + "\",\"inode\":\"" + QByteArray::number(facts.inode) +
           "\"}";
}

QByteArray forgetJson(const QString& path) {
    return "{\"forget\":" + jsonString(path) + "}";
}

Failure writeManifest(FileSystem& fs, const ManifestLocation& location,
                      const QMap<QString, FileSystem::Facts>& entries) {
    return ManifestFormat::write(fs, location, entries);
}

Failure appendJournal(FileSystem& fs, const ManifestLocation& location, const QByteArray& lines) {
    return ManifestFormat::append(fs, location, lines);
}

Result<QList<ManifestEntry>> loadManifest(const FileReader& fs, const ManifestLocation& location) {
    return ManifestFormat::load(fs, location);
}

Failure ManifestFormat::write(FileSystem& fs, const ManifestLocation& location,
                              const QMap<QString, FileSystem::Facts>& entries) {
    if (location.path.isEmpty())
        return Error::saying(Text(tr, QT_TR_NOOP("无法写入安装记录: 系统没有给出存放它的文件夹")));
    if (auto error = fs.createDirectories(parentPath(location.path)))
        return error;
    QByteArray data =
        "{\n  \"format\": " + QByteArray::number(manifestFormatVersion) +
        ",\n  \"bundleId\": " + jsonString(location.bundleId) +
        ",\n  \"templatesFolder\": " + jsonString(QDir::cleanPath(location.templatesFolder)) +
        ",\n  \"entries\": [";
    data.reserve(data.size() + entries.size() * 160); // a pack's manifest may reach megabytes
    const char* separator = "\n    ";
    for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry) {
        data.append(separator).append(entryJson(entry.key(), entry.value()));
        separator = ",\n    ";
    }
    data.append("\n  ]\n}\n");
    if (Failure error = fs.writeFileAtomically(location.path, data))
        return Error::saying(Text(tr, QT_TR_NOOP("无法写入安装记录: %1"), {error->text}));
    // Folded in: what it says is in the manifest now.
    const QString journal = location.journalPath();
    if (fs.type(journal) != Type::missing)
        if (Failure error = fs.removeFile(journal))
            return Error::saying(Text(tr, QT_TR_NOOP("无法写入安装记录: %1"), {error->text}));
    return std::nullopt;
}

Failure ManifestFormat::append(FileSystem& fs, const ManifestLocation& location,
                               const QByteArray& lines) {
    if (location.path.isEmpty())
        return Error::saying(Text(tr, QT_TR_NOOP("无法写入安装记录: 系统没有给出存放它的文件夹")));
    const QByteArray line = '\n' + lines;
    Failure error = fs.appendDurably(location.journalPath(), line);
    if (error && fs.type(parentPath(location.path), true) == Type::missing) {
        error = fs.createDirectories(parentPath(location.path));
        if (!error)
            error = fs.appendDurably(location.journalPath(), line);
    }
    if (error)
        return Error::saying(Text(tr, QT_TR_NOOP("无法写入安装记录: %1"), {error->text}));
    return std::nullopt;
}

// The entries by path, a later one in place of an earlier one.
QMap<QString, FileReader::Facts> byPath(const QList<ManifestEntry>& entries) {
    QMap<QString, FileReader::Facts> result;
    for (const ManifestEntry& entry : entries)
        result.insert(entry.path, entry.facts);
    return result;
}

Result<QList<ManifestEntry>> ManifestFormat::load(const FileReader& fs,
                                                  const ManifestLocation& location) {
    if (location.path.isEmpty())
        return Error::saying(Text(tr, QT_TR_NOOP("没有安装记录: 系统没有给出存放它的文件夹")),
                             ENOENT);
    const QString journal = location.journalPath();
    const bool hasJournal = fs.type(journal) != Type::missing;
    ManifestLocation read = location;
    if (fs.type(location.path, true) == Type::missing) {
        // What an earlier version kept for every templates folder, where it is this one's.
        read.path = location.legacyPath;
        if (read.path.isEmpty() || fs.type(read.path, true) == Type::missing) {
            if (!hasJournal)
                return Error::saying(Text(tr, QT_TR_NOOP("没有安装记录 “%1”"), {location.path}),
                                     ENOENT);
            read.path.clear();
        }
    }
    QMap<QString, FileReader::Facts> entries;
    if (!read.path.isEmpty()) {
        const auto bytes = fs.readFile(read.path);
        if (!bytes)
            return Error::saying(
                Text(tr, QT_TR_NOOP("无法读取安装记录: %1"), {bytes.error().text}));
        auto parsed = parseManifest(bytes.value(), read);
        if (!parsed) {
            // Another folder's record under the old shared name is no concern of this one.
            if (read.path == location.legacyPath && !hasJournal)
                return Error::saying(Text(tr, QT_TR_NOOP("没有安装记录 “%1”"), {location.path}),
                                     ENOENT);
            if (read.path != location.legacyPath)
                return parsed.error();
        } else {
            entries = byPath(parsed.value());
        }
    }
    if (hasJournal) {
        const auto bytes = fs.readFile(journal);
        if (!bytes)
            return Error::saying(
                Text(tr, QT_TR_NOOP("无法读取安装记录: %1"), {bytes.error().text}));
        if (Failure error = foldJournal(bytes.value(), journal, entries))
            return *error;
    }
    QList<ManifestEntry> result;
    result.reserve(entries.size());
    for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry)
        result.push_back({entry.key(), entry.value()});
    return result;
}

} // namespace Orvoinstaller
