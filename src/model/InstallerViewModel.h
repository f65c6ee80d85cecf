#pragma once

#include "install/DestinationState.h"
#include "install/InstallSteps.h"
#include "install/Task.h"
#include "install/TemplateInstaller.h"
#include "install/Worker.h"
#include "model/FolderItem.h"
#include "platform/Platform.h"

#include <QList>
#include <QObject>
#include <QUrl>

#include <memory>
#include <optional>

namespace Orvoinstaller {

// How the last installation run went, for the completion alert.
struct InstallationSummary {
    int itemCount = 0;
    int failedCount = 0;
    bool scriptFailed = false; // the post-install script could not run or did not exit with 0
    bool cancelled = false;    // stopped by the user; installedCount were installed before
    int installedCount = 0;
    bool editorRunning = false; // when the run ended
    QString scriptOutput = {};  // the last lines of a failed script, for the alert
};

// How far the running installation has got, in files and bytes of all its templates.
struct RunProgress {
    qint64 filesDone = 0;
    qint64 filesTotal = 0;
    qint64 bytesDone = 0;
    qint64 bytesTotal = 0;
    std::optional<int> secondsLeft; // once it can be estimated
    bool operator==(const RunProgress&) const = default;
};

// The installer window's state. Every change of a published value is announced by
// objectWillChange() just before it is stored; the run's progress, which changes many times
// a second, by runProgressChanged() after it is stored. Main thread only.
//
// Owned through a std::shared_ptr (requestInstall*() and a running installation take their
// own reference, so a run outlives the window that started it); its file work runs on a
// worker thread it owns, and only the results come back to the main thread.
class InstallerViewModel : public QObject, public std::enable_shared_from_this<InstallerViewModel> {
    Q_OBJECT

public:
    explicit InstallerViewModel(Platform platform = Platform::real(), QObject* parent = nullptr);
    ~InstallerViewModel() override;

    // Published values, in declaration order.
    const QList<FolderItem>& folderItems() const { return m_folderItems; }
    bool showingImageAlert() const { return m_showingImageAlert; }
    bool hasFonts() const { return m_hasFonts; }
    // In Chinese, as published; installationProgressText() says it in the user's language.
    const QString& installationProgress() const { return m_installationProgress; }
    const Text& installationProgressText() const { return m_installationProgressText; }
    bool isInstalling() const { return m_isInstalling; }
    const std::optional<QUrl>& tutorialURL() const { return m_tutorialURL; }
    bool showInstallationAlert() const { return m_showInstallationAlert; }
    const InstallationSummary& installationSummary() const { return m_installationSummary; }
    const RunProgress& runProgress() const { return m_runProgress; }
    // The folders installed when last listed; rows tell new from merge by them.
    const InstalledFolders& installedFolders() const { return m_installedFolders; }

    void setFolderItems(QList<FolderItem> items);
    void appendFolderItem(FolderItem item);
    void setShowingImageAlert(bool value);
    void setHasFonts(bool value);
    void setInstallationProgress(Text value);
    void setIsInstalling(bool value);
    void setTutorialURL(std::optional<QUrl> value);
    void setShowInstallationAlert(bool value);
    void setInstallationSummary(InstallationSummary value);
    void setRunProgress(RunProgress value);
    void setInstalledFolders(InstalledFolders value);

    // Sets the newName of the item with this id; unknown ids are ignored.
    void setNewName(const QUuid& id, const QString& newName);

    // The completion alert's title and message for the last run.
    QString installationAlertTitle() const;
    QString installationAlertMessage() const;

    // Discovery.
    void loadTutorialURL();
    std::optional<QString> findResourcePath() const;
    void scanFolders();

    // Lists the installed folders again on the worker, and publishes them when they changed.
    // The window asks when it opens, when it is activated and when a run has ended.
    Task refreshInstalledFolders();

    // Installation, through the engine on the worker thread.
    QString destinationPath(FolderType type) const;
    Task installPlugins();
    void installFonts();
    // Awaitable; prints what went wrong once the script has ended.
    ProcessFinished runPostInstallScript(QString scriptPath, QStringList installed);

    // What the buttons do: start the operation on a later turn of the main thread.
    void requestInstallPlugins();
    void requestInstallFonts();
    // Stops the running installation at its next safe point: the copy in flight is
    // abandoned, a running post-install script is terminated (killed after 3 s).
    void requestCancel();
    bool cancelRequested() const { return m_cancel && m_cancel->isCancelled(); }
    // Nobody can see the window any more: a post-install script is stopped as cancel stops
    // it (or not started), while the templates still finish.
    void windowClosed();

    const Platform& platform() const { return m_platform; }

    // The status while another installer holds the templates folder, and how often the run
    // looks again.
    static QString waitingStatus();
    static Text cancelledStatus(const InstallationSummary& summary);
    static constexpr int lockRetryMilliseconds = InstallSteps::lockRetryMilliseconds;

Q_SIGNALS:
    void objectWillChange();
    // Not a published value: lets callers wait for a run to end.
    void installationFinished();
    void runProgressChanged();

private:
    void print(const QString& line) const;
    Worker& worker();
    template <typename T> OnWorker<T> onWorker(std::function<T()> work) {
        return OnWorker<T>(worker(), this, std::move(work));
    }
    // The post-install script to run now, if there is one; on the worker.
    std::optional<QString> postInstallScript(bool& notAFile) const;
    void stopScript();

    Platform m_platform;
    QList<FolderItem> m_folderItems;
    bool m_showingImageAlert = false;
    bool m_hasFonts = false;
    QString m_installationProgress;
    Text m_installationProgressText;
    bool m_isInstalling = false;
    std::optional<QUrl> m_tutorialURL;
    bool m_showInstallationAlert = false;
    InstallationSummary m_installationSummary;
    RunProgress m_runProgress;
    InstalledFolders m_installedFolders;
    bool m_listing = false;       // a listing is on its way
    bool m_listAgain = false;     // and was asked for again meanwhile
    bool m_runInProgress = false; // set at the first step so no second run can interleave
    std::unique_ptr<Worker> m_worker;
    std::shared_ptr<CancelToken> m_cancel; // of the current run
    bool m_scriptRunning = false;
    bool m_windowClosed = false;
};

} // namespace Orvoinstaller
