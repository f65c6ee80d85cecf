#include "install/EditorRestart.h"
#include "install/SafeWrite.h"
#include "model/InstallerViewModel.h"

#include <QLockFile>
#include <QSet>

namespace Orvoinstaller {

namespace {

const char* const waiting = QT_TRANSLATE_NOOP("Orvoinstaller", "正在等待另一个安装程序完成...");

// newName names one folder inside the kind folder; anything that would resolve to the kind
// folder itself, reach outside it or be hidden from the editor is refused before a file is
// touched.
Status checkFolderName(const QString& name) {
    if (name.isEmpty())
        return Error::saying(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller", "名称为空，不能用作文件夹名")));
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return Error::saying(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller",
                                   "名称 “%1” 不能用作文件夹名：它指向当前或上一级文件夹"),
                 {name}));
    if (name.contains(QChar(u'\0'))) {
        QString shown = name;
        shown.replace(QChar(u'\0'), QChar(0x2400)); // the visible symbol for NUL
        return Error::saying(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller", "名称 “%1” 不能用作文件夹名：其中含有空字符"),
                 {shown}));
    }
    if (name.contains(QLatin1Char('/')))
        return Error::saying(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller", "名称 “%1” 不能用作文件夹名：其中含有 “/”"),
                 {name}));
    if (name.startsWith(QLatin1Char('.')))
        return Error::saying(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller",
                                   "名称 “%1” 不能用作文件夹名：以 “.” 开头的文件夹是隐藏的，"
                                   "Final Cut Pro 不会显示它"),
                 {name}));
    return std::nullopt;
}

// Without a home folder every destination would hang off the root of the disk.
Status checkHome(const QString& home) {
    if (home.isEmpty() || !home.startsWith(QLatin1Char('/')))
        return Error::saying(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller",
                                   "无法确定用户的主文件夹（HOME 未设置或不是绝对路径），"
                                   "不会安装到 “/%1”"),
                 {QString::fromUtf8(motionTemplatesRelativePath)}));
    return std::nullopt;
}

} // namespace

Status InstallerViewModel::installItem(const FolderItem& item, QSet<QString>& cleanedFolders) {
    using Type = FileSystem::Type;
    FileSystem& fs = *m_platform.fileSystem;
    if (auto error = checkFolderName(item.newName))
        return error;
    if (auto error = checkHome(fs.homeDirectory()))
        return error;
    const QString kindFolder = destinationPath(item.type);
    if (auto error = fs.createDirectories(kindFolder))
        return error;
    if (fs.type(kindFolder) == Type::link)
        return linkRefused(kindFolder);
    // Once a run: a kind folder may hold thousands of templates.
    if (!cleanedFolders.contains(kindFolder)) {
        removeTemporaries(fs, kindFolder);
        cleanedFolders.insert(kindFolder);
    }
    const QString destination = joinPath(kindFolder, item.newName);
    switch (fs.type(destination)) {
    case Type::missing:
        // Copied whole beside it and moved in at once: a template appears complete or not at all.
        return copyNew(fs, item.path, destination);
    case Type::folder:
        return mergeDirectories(item.path, destination);
    case Type::link:
        return linkRefused(destination);
    case Type::file:
    case Type::other:
        break;
    }
    return Error::saying(
        Text(QT_TRANSLATE_NOOP("Orvoinstaller", "“%1” 已存在，但不是文件夹"), {destination}));
}

std::unique_ptr<QLockFile> InstallerViewModel::templatesFolderLock() {
    FileSystem& fs = *m_platform.fileSystem;
    if (checkHome(fs.homeDirectory()))
        return nullptr;
    const QString templates =
        joinPath(fs.homeDirectory(), QString::fromUtf8(motionTemplatesRelativePath));
    if (fs.createDirectories(templates))
        return nullptr; // the items fail with the reason
    auto lock =
        std::make_unique<QLockFile>(joinPath(templates, QStringLiteral(".orvo-install.lock")));
    // Held for a whole run, however long; a holder that died is detected by its process id.
    lock->setStaleLockTime(0);
    return lock;
}

Task InstallerViewModel::installPlugins() {
    // Also refuses a second press whose run was queued before this one began.
    if (m_runInProgress)
        co_return;
    m_runInProgress = true;
    // The window may let go of the state object while the run is suspended.
    const auto keepAlive = weak_from_this().lock();

    setIsInstalling(true);
    // Another installer writing into the same folder would trip over this one's entries:
    // wait for it to finish instead.
    std::unique_ptr<QLockFile> lock = m_folderItems.isEmpty() ? nullptr : templatesFolderLock();
    while (lock && !lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError) {
            lock.reset(); // cannot be locked at all: the items will say why
            break;
        }
        if (m_installationProgress != waitingStatus())
            setInstallationProgress(Text(waiting));
        co_await Delay(lockRetryMilliseconds, this);
    }
    setInstallationProgress(Text(QT_TRANSLATE_NOOP("Orvoinstaller", "开始安装...")));

    // Edits made while the run goes on do not reach it.
    const QList<FolderItem> items = m_folderItems;
    int failedCount = 0;
    QSet<QString> cleanedFolders;
    for (const FolderItem& item : items) {
        setInstallationProgress(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller", "正在安装: %1"), {item.originalName}));
        if (const Status error = installItem(item, cleanedFolders)) {
            ++failedCount;
            print(QStringLiteral("处理项目失败: ") + item.originalName +
                  QStringLiteral(", 错误: ") + error->description);
            co_await NextTurn(*m_platform.mainQueue, this);
            setInstallationProgress(Text(QT_TRANSLATE_NOOP("Orvoinstaller", "安装 %1 失败: %2"),
                                         {item.originalName, error->shown()}));
        } else {
            co_await NextTurn(*m_platform.mainQueue, this);
            setInstallationProgress(
                Text(QT_TRANSLATE_NOOP("Orvoinstaller", "已安装: %1"), {item.newName}));
        }
    }
    lock.reset();

    // The post-install script, from the resource folder as it is now.
    bool scriptFailed = false;
    if (const auto resources = findResourcePath()) {
        const QString script = joinPath(*resources, QStringLiteral("post.command"));
        if (m_platform.fileSystem->exists(script)) {
            setInstallationProgress(Text(QT_TRANSLATE_NOOP("Orvoinstaller", "执行安装后脚本...")));
            if (m_platform.fileSystem->type(script, true) != FileSystem::Type::file) {
                // The shell would open it; a FIFO would keep it waiting for ever.
                print(QStringLiteral("脚本执行出错: “%1” 不是普通文件，不会运行它").arg(script));
                scriptFailed = true;
            } else {
                const ProcessOutcome outcome = co_await runPostInstallScript(script);
                scriptFailed = outcome.startError || outcome.exitStatus != 0;
            }
        }
    }

    // The summary is in place before the alert that reads it is raised.
    co_await NextTurn(*m_platform.mainQueue, this);
    setInstallationProgress(Text(QT_TRANSLATE_NOOP("Orvoinstaller", "安装完成！")));
    setInstallationSummary(InstallationSummary{static_cast<int>(items.size()), failedCount,
                                               scriptFailed,
                                               editorIsRunning(m_platform.runningPrograms.get())});
    setShowInstallationAlert(true);

    co_await NextTurn(*m_platform.mainQueue, this);
    setIsInstalling(false);
    m_runInProgress = false;
    Q_EMIT installationFinished();
}

QString InstallerViewModel::waitingStatus() {
    return QString::fromUtf8(waiting);
}

} // namespace Orvoinstaller
