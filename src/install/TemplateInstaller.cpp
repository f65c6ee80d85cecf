#include "install/TemplateInstaller.h"

#include "install/SafeWrite.h"

#include <algorithm>
#include <cstdlib>

namespace Orvoinstaller {

namespace {

using Type = FileReader::Type;

} // namespace

// newName names one folder inside the kind folder; anything that would resolve to the kind
// folder itself, reach outside it or be hidden from the editor is refused before a file is
// touched.
Failure checkFolderName(const QString& name) {
    return TemplateInstaller::checkName(name);
}

Failure TemplateInstaller::checkName(const QString& name) {
    if (name.isEmpty())
        return Error::of(ErrorKind::invalidName,
                         Text(tr, QT_TR_NOOP("名称为空，不能用作文件夹名")));
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return Error::of(
            ErrorKind::invalidName,
            Text(tr, QT_TR_NOOP("名称 “%1” 不能用作文件夹名：它指向当前或上一级文件夹"), {name}));
    if (name.contains(QChar(u'\0'))) {
        QString shown = name;
        shown.replace(QChar(u'\0'), QChar(0x2400)); // the visible symbol for NUL
        return Error::of(
            ErrorKind::invalidName,
            Text(tr, QT_TR_NOOP("名称 “%1” 不能用作文件夹名：其中含有空字符"), {shown}));
    }
    // A newline would split the list of installed folders the script reads, one per line;
    // no control character belongs in a name Final Cut Pro shows.
    if (std::any_of(name.cbegin(), name.cend(),
                    [](QChar c) { return c.category() == QChar::Other_Control; })) {
        QString shown;
        for (const QChar c : name)
            shown += c.unicode() < 0x20    ? QChar(0x2400 + c.unicode()) // visible symbols
                     : c.unicode() == 0x7f ? QChar(0x2421)
                     : c.category() == QChar::Other_Control ? QChar(QChar::ReplacementCharacter)
                                                            : c;
        return Error::of(
            ErrorKind::invalidName,
            Text(tr, QT_TR_NOOP("名称 “%1” 不能用作文件夹名：其中含有控制字符"), {shown}));
    }
    if (name.contains(QLatin1Char('/')))
        return Error::of(ErrorKind::invalidName,
                         Text(tr, QT_TR_NOOP("名称 “%1” 不能用作文件夹名：其中含有 “/”"), {name}));
    // What APFS, HFS+ and the Linux file systems take; a longer name fails only at the copy.
    if (const qsizetype bytes = name.toUtf8().size(); bytes > 255)
        return Error::of(ErrorKind::invalidName,
                         Text(tr, QT_TR_NOOP("名称太长，不能用作文件夹名：%1 字节，最多 255 字节"),
                              {QString::number(bytes)}));
    if (name.startsWith(QLatin1Char('.')))
        return Error::of(ErrorKind::invalidName,
                         Text(tr,
                              QT_TR_NOOP("名称 “%1” 不能用作文件夹名：以 “.” 开头的文件夹是隐藏的，"
                                         "Final Cut Pro 不会显示它"),
                              {name}));
    return std::nullopt;
}

// Without a home folder every destination would hang off the root of the disk, or off
// whatever folder the installer was started in.
Failure TemplateInstaller::checkHome(const FileReader& fs, const QString& home) {
    if (home.isEmpty() || !home.startsWith(QLatin1Char('/')))
        return Error::of(ErrorKind::missing,
                         Text(tr,
                              QT_TR_NOOP("无法确定用户的主文件夹（HOME 未设置或不是绝对路径），"
                                         "不会安装到 “/%1”"),
                              {QString::fromUtf8(motionTemplatesRelativePath)}));
    if (home == QLatin1String("/") || fs.type(home, true) != Type::folder)
        return Error::of(ErrorKind::missing,
                         Text(tr,
                              QT_TR_NOOP("HOME “%1” 不是用户的主文件夹（它是根目录，"
                                         "或不是一个文件夹），不会安装任何内容"),
                              {home}));
    return std::nullopt;
}

TemplateInstaller::TemplateInstaller(FileSystem& fs, DiagnosticOutput& output)
    : m_fs(fs), m_output(output), m_folder(TemplatesFolder::of(fs)) {}

Failure homeProblem(const FileReader& fs) {
    return TemplateInstaller::checkHome(fs, fs.homeDirectory());
}

Error TemplateInstaller::cancelled() {
    return Error::of(ErrorKind::cancelled, Text(tr, QT_TR_NOOP("安装已取消")));
}

Result<TemplatePlan> TemplateInstaller::plan(const QString& source, FolderType kind,
                                             const QString& newName) const {
    if (auto error = checkFolderName(newName))
        return *error;
    if (auto error = checkHome(m_fs, m_fs.homeDirectory()))
        return *error;
    TemplatePlan plan;
    plan.source = source;
    plan.kindFolder = m_folder.destinationPath(kind);
    plan.destination = m_folder.destination(kind, newName);
    // A link the user made in place of the folder is followed, as `rsync -K` follows it.
    plan.merge = m_fs.type(plan.destination, true) == Type::folder;
    if (plan.merge) {
        countMerge(source, plan.destination, plan.files, plan.bytes, plan.bytesToWrite);
    } else {
        count(source, plan.files, plan.bytes);
        plan.bytesToWrite = plan.bytes;
    }
    return plan;
}

void TemplateInstaller::count(const QString& path, qint64& files, qint64& bytes) const {
    switch (m_fs.type(path)) {
    case Type::folder:
        if (const auto names = m_fs.entryNames(path))
            for (const QString& name : names.value())
                count(joinPath(path, name), files, bytes);
        break;
    case Type::file:
        ++files;
        bytes += m_fs.facts(path).size;
        break;
    case Type::link:
        ++files;
        break;
    case Type::missing:
    case Type::other:
        break;
    }
}

void TemplateInstaller::countMerge(const QString& source, const QString& destination, qint64& files,
                                   qint64& bytes, qint64& toWrite) const {
    const auto children = m_fs.entries(source, false);
    if (!children)
        return;
    for (const FileReader::Entry& child : children.value()) {
        const QString target = joinPath(destination, lastComponent(child.path));
        if (child.type == Type::folder && m_fs.type(target) == Type::folder) {
            countMerge(child.path, target, files, bytes, toWrite);
            continue;
        }
        qint64 childBytes = 0;
        count(child.path, files, childBytes);
        bytes += childBytes;
        // A file already in place needs no room: a re-installation fits wherever it fitted.
        if (child.type != Type::file || !unchanged(child.path, target))
            toWrite += childBytes;
    }
}

Failure TemplateInstaller::execute(const TemplatePlan& plan, const CancelToken* cancel,
                                   const Progress& progress) {
    if (cancel && cancel->isCancelled())
        return cancelled();
    // Movies, the templates folder or the kind folder may be a link the user made to
    // another disk: each is followed, as `rsync -K` follows it.
    if (auto error = m_fs.createDirectories(plan.kindFolder))
        return error;
    // Once per installer: a kind folder may hold thousands of templates.
    if (!m_cleanedFolders.contains(plan.kindFolder)) {
        removeTemporaries(m_fs, plan.kindFolder);
        m_cleanedFolders.insert(plan.kindFolder);
    }
    switch (m_fs.type(plan.destination)) {
    case Type::missing: {
        // Copied whole beside it and moved in at once: a template appears complete or not at all.
        return copyCounted(plan.source, plan.destination, cancel, progress, false);
    }
    case Type::folder:
        return merge(plan.source, plan.destination, cancel, progress);
    case Type::link:
        if (m_fs.type(plan.destination, true) == Type::folder)
            return merge(plan.source, plan.destination, cancel, progress);
        return linkRefused(plan.destination);
    case Type::file:
    case Type::other:
        break;
    }
    return Error::of(ErrorKind::exists,
                     Text(tr, QT_TR_NOOP("“%1” 已存在，但不是文件夹"), {plan.destination}));
}

// A copy reports what it does as it goes; where the system copies a whole tree in one call
// (a clone), the rest is reported once it is done, so the totals always meet the plan.
Failure TemplateInstaller::copyCounted(const QString& source, const QString& target,
                                       const CancelToken* cancel, const Progress& progress,
                                       bool replace) {
    ++m_writes;
    qint64 files = 0, bytes = 0;
    if (progress)
        count(source, files, bytes);
    qint64 doneFiles = 0, doneBytes = 0;
    const CopyProgress watch = [&](std::int64_t f, std::int64_t b) {
        doneFiles += f;
        doneBytes += b;
        if (progress)
            progress(f, b);
        return !(cancel && cancel->isCancelled());
    };
    Failure error = replace ? replaceWithCopy(m_fs, source, target, watch, m_placing)
                            : copyNew(m_fs, source, target, watch, m_placing);
    if (error && cancel && cancel->isCancelled())
        return cancelled();
    if (!error && progress && (files > doneFiles || bytes > doneBytes))
        progress(std::max<qint64>(files - doneFiles, 0), std::max<qint64>(bytes - doneBytes, 0));
    return error;
}

bool TemplateInstaller::unchanged(const QString& source, const QString& target) const {
    const FileReader::Facts a = m_fs.facts(source);
    if (a.type != Type::file)
        return false;
    const FileReader::Facts b = m_fs.facts(target);
    if (b.type != Type::file || a.size != b.size)
        return false;
    if (a.modifiedSeconds == b.modifiedSeconds && a.permissions == b.permissions)
        return true;
    // Where modes are not kept, they say nothing; FAT stores times to two seconds, so a
    // second either way is the same time (rsync's --modify-window=1).
    return !keepsModes(target, b.device) && std::abs(a.modifiedSeconds - b.modifiedSeconds) <= 1;
}

bool TemplateInstaller::keepsModes(const QString& target, quint64 device) const {
    const auto known = m_keepsModes.constFind(device);
    if (known != m_keepsModes.cend())
        return *known;
    const bool kept = m_fs.keepsModes(temporaryPath(parentPath(target)));
    m_keepsModes.insert(device, kept);
    return kept;
}

// Where the quick check finds the file unchanged, or where it could be cloned into place
// (which costs less than reading both), or where it holds the same bytes, no copy is made.
bool TemplateInstaller::upToDateWithoutCopy(const QString& source, const QString& target,
                                            Type targetType) {
    if (!m_compareBytes && unchanged(source, target))
        return true;
    if (targetType == Type::file && !replaceWithClone(m_fs, source, target, m_placing)) {
        ++m_writes;
        return true;
    }
    if (m_fs.sameRegularFile(source, target))
        return true;
    return targetType == Type::file && !keepsModes(target, m_fs.facts(target).device) &&
           m_fs.sameContent(source, target);
}

// Brings the destination up to date entry by entry. What the destination alone has stays;
// a folder is never replaced, a link is never written through, and only regular files are
// ever opened. Stops at the first entry that cannot be merged.
Failure TemplateInstaller::merge(const QString& source, const QString& destination,
                                 const CancelToken* cancel, const Progress& progress) {
    m_output.line(QStringLiteral("开始合并目录: ") + source + QStringLiteral(" -> ") + destination);

    Type destinationType = m_fs.type(destination);
    // Only the folder merged into may be a link to a folder (the user's, followed); below
    // it, nothing is ever written through a link.
    if (destinationType == Type::link && m_fs.type(destination, true) == Type::folder)
        destinationType = Type::folder;
    if (destinationType == Type::link)
        return linkRefused(destination);
    if (destinationType == Type::other)
        return otherTypeRefused(destination);
    if (destinationType == Type::missing) {
        ++m_writes;
        if (auto error = m_fs.createDirectories(destination))
            return error;
    } else if (destinationType == Type::folder) {
        removeTemporaries(m_fs, destination);
    }
    const auto children = m_fs.entries(source, false);
    if (!children)
        return children.error();

    for (const FileReader::Entry& child : children.value()) {
        if (cancel && cancel->isCancelled())
            return cancelled();
        // A folder without visible entries has nothing to put into a file in its place.
        if (destinationType == Type::file)
            return Error::of(ErrorKind::exists,
                             Text(tr, QT_TR_NOOP("“%1” 是文件，不能把 “%2” 合并进去"),
                                  {destination, child.path}));
        const QString target = joinPath(destination, lastComponent(child.path));
        // An unreadable type counts as a file: every step below checks before it opens.
        const Type childType = child.type.value_or(Type::file);
        if (childType == Type::other)
            return otherTypeRefused(child.path);
        const Type targetType = m_fs.type(target);
        Failure error;
        if (targetType == Type::missing) {
            error = copyCounted(child.path, target, cancel, progress, false);
        } else if (targetType == Type::other) {
            error = otherTypeRefused(target);
        } else if (childType == Type::folder) {
            error = targetType == Type::link ? linkRefused(target)
                                             : merge(child.path, target, cancel, progress);
        } else if (targetType == Type::folder) {
            error = folderKept(target);
        } else if (childType == Type::file && upToDateWithoutCopy(child.path, target, targetType)) {
            if (progress)
                progress(1, m_fs.facts(child.path).size);
        } else {
            // A link at the target is replaced itself, never followed.
            error = copyCounted(child.path, target, cancel, progress, true);
        }
        if (error)
            return error;
    }

    m_output.line(QStringLiteral("目录合并完成: ") + source);
    return std::nullopt;
}

} // namespace Orvoinstaller
