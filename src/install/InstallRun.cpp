#include "install/EditorRestart.h"
#include "model/InstallerViewModel.h"

namespace Orvoinstaller {

namespace {

// newName names one folder inside the kind folder; anything that would resolve to the kind
// folder itself or reach outside it is refused before a file is touched.
Status checkFolderName(const QString& name) {
    if (name.isEmpty())
        return Error{QStringLiteral("名称为空，不能用作文件夹名")};
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return Error{
            QStringLiteral("名称 “%1” 不能用作文件夹名：它指向当前或上一级文件夹").arg(name)};
    if (name.contains(QChar(u'\0'))) {
        QString shown = name;
        shown.replace(QChar(u'\0'), QChar(0x2400)); // the visible symbol for NUL
        return Error{QStringLiteral("名称 “%1” 不能用作文件夹名：其中含有空字符").arg(shown)};
    }
    if (name.contains(QLatin1Char('/')))
        return Error{QStringLiteral("名称 “%1” 不能用作文件夹名：其中含有 “/”").arg(name)};
    return std::nullopt;
}

} // namespace

Status InstallerViewModel::installItem(const FolderItem& item) {
    FileSystem& fs = *m_platform.fileSystem;
    if (auto error = checkFolderName(item.newName))
        return error;
    const QString kindFolder = destinationPath(item.type);
    if (auto error = fs.createDirectories(kindFolder))
        return error;
    const QString destination = joinPath(kindFolder, item.newName);
    if (fs.exists(destination))
        return mergeDirectories(item.path, destination);
    return fs.copyItem(item.path, destination);
}

Task InstallerViewModel::installPlugins() {
    // Also refuses a second press whose run was queued before this one began.
    if (m_runInProgress)
        co_return;
    m_runInProgress = true;
    // The window may let go of the state object while the run is suspended.
    const auto keepAlive = weak_from_this().lock();

    // 1.
    setIsInstalling(true);
    setInstallationProgress(QStringLiteral("开始安装..."));

    // 2. Edits made while the run goes on do not reach it.
    const QList<FolderItem> items = m_folderItems;
    int failedCount = 0;

    // 3.
    for (const FolderItem& item : items) {
        setInstallationProgress(QStringLiteral("正在安装: ") + item.originalName);
        if (const Status error = installItem(item)) {
            ++failedCount;
            print(QStringLiteral("处理项目失败: ") + item.originalName +
                  QStringLiteral(", 错误: ") + error->description);
            co_await NextTurn(*m_platform.mainQueue, this);
            setInstallationProgress(QStringLiteral("安装 ") + item.originalName +
                                    QStringLiteral(" 失败: ") + error->description);
        } else {
            co_await NextTurn(*m_platform.mainQueue, this);
            setInstallationProgress(QStringLiteral("已安装: ") + item.newName);
        }
    }

    // 4.
    if (const auto resources = findResourcePath()) {
        const QString script = joinPath(*resources, QStringLiteral("post.command"));
        if (m_platform.fileSystem->exists(script)) {
            setInstallationProgress(QStringLiteral("执行安装后脚本..."));
            co_await runPostInstallScript(script);
        }
    }

    // 5. The summary is in place before the alert that reads it is raised.
    co_await NextTurn(*m_platform.mainQueue, this);
    setInstallationProgress(QStringLiteral("安装完成！"));
    setInstallationSummary(InstallationSummary{static_cast<int>(items.size()), failedCount,
                                               editorIsRunning(m_platform.runningPrograms.get())});
    setShowInstallationAlert(true);

    // 6.
    co_await NextTurn(*m_platform.mainQueue, this);
    setIsInstalling(false);
    m_runInProgress = false;
    Q_EMIT installationFinished();
}

} // namespace Orvoinstaller
