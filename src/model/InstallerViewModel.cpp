#include "model/InstallerViewModel.h"

#include <QCoreApplication>

namespace Orvoinstaller {

InstallerViewModel::InstallerViewModel(Platform platform, QObject* parent)
    : QObject(parent), m_platform(std::move(platform)) {
    scanFolders();
    loadTutorialURL();
}

InstallerViewModel::~InstallerViewModel() = default;

void InstallerViewModel::print(const QString& line) const {
    m_platform.output->line(line);
}

void InstallerViewModel::setFolderItems(QList<FolderItem> items) {
    Q_EMIT objectWillChange();
    m_folderItems = std::move(items);
}

void InstallerViewModel::appendFolderItem(FolderItem item) {
    Q_EMIT objectWillChange();
    m_folderItems.append(std::move(item));
}

void InstallerViewModel::setShowingImageAlert(bool value) {
    Q_EMIT objectWillChange();
    m_showingImageAlert = value;
}

void InstallerViewModel::setHasFonts(bool value) {
    Q_EMIT objectWillChange();
    m_hasFonts = value;
}

void InstallerViewModel::setInstallationProgress(Text value) {
    Q_EMIT objectWillChange();
    m_installationProgress = value.source();
    m_installationProgressText = std::move(value);
}

void InstallerViewModel::setIsInstalling(bool value) {
    Q_EMIT objectWillChange();
    m_isInstalling = value;
}

void InstallerViewModel::setTutorialURL(std::optional<QUrl> value) {
    Q_EMIT objectWillChange();
    m_tutorialURL = std::move(value);
}

void InstallerViewModel::setShowInstallationAlert(bool value) {
    Q_EMIT objectWillChange();
    m_showInstallationAlert = value;
}

void InstallerViewModel::setInstallationSummary(InstallationSummary value) {
    Q_EMIT objectWillChange();
    m_installationSummary = value;
}

void InstallerViewModel::setRunProgress(RunProgress value) {
    m_runProgress = std::move(value);
    Q_EMIT runProgressChanged();
}

void InstallerViewModel::setInstalledFolders(InstalledFolders value) {
    Q_EMIT objectWillChange();
    m_installedFolders = std::move(value);
}

Task InstallerViewModel::refreshInstalledFolders() {
    if (m_listing) {
        m_listAgain = true;
        co_return;
    }
    // Not kept alive for this: a listing nobody is left to show is dropped.
    m_listing = true;
    do {
        m_listAgain = false;
        // Named, not a temporary of the co_await: GCC 12 destroys such temporaries twice.
        auto list =
            onWorker<InstalledFolders>([fs = m_platform.fileSystem, output = m_platform.output] {
                return InstalledFolders::list(*fs, TemplateInstaller(*fs, *output));
            });
        InstalledFolders listed = co_await list;
        // Unchanged, the window has nothing to draw again.
        if (!(listed == m_installedFolders))
            setInstalledFolders(std::move(listed));
    } while (m_listAgain);
    m_listing = false;
}

void InstallerViewModel::setNewName(const QUuid& id, const QString& newName) {
    for (qsizetype i = 0; i < m_folderItems.size(); ++i) {
        if (m_folderItems[i].id() != id)
            continue;
        // The whole list is assigned back, as every other writer of the list does.
        QList<FolderItem> items = m_folderItems;
        items[i].newName = newName;
        setFolderItems(std::move(items));
        return;
    }
}

QString InstallerViewModel::installationAlertTitle() const {
    if (m_installationSummary.cancelled)
        return QCoreApplication::translate("InstallerViewModel", "安装已取消");
    return QCoreApplication::translate("InstallerViewModel", "安装完成！");
}

QString InstallerViewModel::installationAlertMessage() const {
    const auto& summary = m_installationSummary;
    QString message;
    if (summary.cancelled) {
        message = cancelledStatus(summary).translated();
    } else if (summary.failedCount == 0 && !summary.scriptFailed) {
        message = QCoreApplication::translate("InstallerViewModel", "插件安装成功！");
    } else if (summary.failedCount == 0) {
        message =
            QCoreApplication::translate("InstallerViewModel", "插件已安装，但安装后脚本执行失败");
    } else {
        message = QCoreApplication::translate("InstallerViewModel", "%1 个插件安装失败，共 %2 个")
                      .arg(summary.failedCount)
                      .arg(summary.itemCount);
        if (summary.scriptFailed)
            message += QCoreApplication::translate("InstallerViewModel", "；安装后脚本也执行失败");
    }
    // What the script said last tells why it failed.
    if (summary.scriptFailed && !summary.scriptOutput.isEmpty())
        message += QStringLiteral("\n\n") + summary.scriptOutput;
    // Its own line, whatever the run's outcome.
    if (summary.editorRunning)
        message += QLatin1Char('\n') +
                   QCoreApplication::translate("InstallerViewModel",
                                               "请重新启动 Final Cut Pro 以载入新模板");
    return message;
}

void InstallerViewModel::requestInstallPlugins() {
    auto self = shared_from_this();
    m_platform.mainQueue->post(this, [self] { self->installPlugins(); });
}

void InstallerViewModel::requestInstallFonts() {
    auto self = shared_from_this();
    m_platform.mainQueue->post(this, [self] { self->installFonts(); });
}

} // namespace Orvoinstaller
