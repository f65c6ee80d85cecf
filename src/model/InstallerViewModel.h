#pragma once

#include "base/FolderItem.h"
#include "install/DestinationState.h"
#include "install/Installation.h"
#include "install/Manifest.h"
#include "install/TemplatesFolder.h"
#include "platform/Platform.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
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
    QList<std::pair<QString, Error>> failures = {}; // each failed template's name and why
    Failure blocked = {}; // why nothing could be installed (a disk too small, say)
    Failure record = {};  // why the install record could not be written
};

// What an uninstall would remove or did remove, for the window to show.
struct UninstallOutcome {
    bool dryRun = true;
    UninstallReport report;
};

// The installer window's state. Every change of a published value is announced by
// objectWillChange() just before it is stored; the run's progress, which changes many times
// a second, by runProgressChanged() after it is stored. Main thread only.
//
// Owned through a std::shared_ptr (requestInstall*() and a running installation take their
// own reference, so a run outlives the window that started it); its file work runs on the
// platform's worker thread, and only the results come back to the main thread.
class InstallerViewModel : public QObject, public std::enable_shared_from_this<InstallerViewModel> {
    Q_OBJECT

public:
    explicit InstallerViewModel(Platform platform = Platform::real(), QObject* parent = nullptr);
    ~InstallerViewModel() override;

    // Published values, in declaration order.
    const QList<FolderItem>& folderItems() const { return m_folderItems; }
    bool showingImageAlert() const { return m_showingImageAlert; }
    bool hasFonts() const { return m_hasFonts; }
    // The status line's text, in the window's language at the moment it is read.
    QString installationProgress() const { return m_installationProgress.translated(); }
    bool isInstalling() const { return m_isInstalling; }
    const std::optional<QUrl>& tutorialURL() const { return m_tutorialURL; }
    bool showInstallationAlert() const { return m_showInstallationAlert; }
    const InstallationSummary& installationSummary() const { return m_installationSummary; }
    const RunProgress& runProgress() const { return m_runProgress; }
    // The folders installed when last listed; rows tell new from merge by them.
    const InstalledFolders& installedFolders() const { return m_installedFolders; }
    // What became of each template, the fonts and the script in the last run.
    const InstallationReport& lastReport() const { return m_lastReport; }
    // Why the rows' templates failed in the last run, by item id; a row loses its entry
    // when it is renamed, all of them when the next run starts.
    const QHash<QUuid, Error>& rowFailures() const { return m_rowFailures; }
    // Some row's name cannot be a folder's (checkFolderName); Install waits for it.
    bool hasInvalidNames() const { return !m_invalidNames.isEmpty(); }
    // The install record lists something to uninstall (as last listed).
    bool hasRecord() const { return m_hasRecord; }
    bool isUninstalling() const { return m_isUninstalling; }
    // The dry run awaiting confirmation, or the uninstall just done; empty otherwise.
    const std::optional<UninstallOutcome>& uninstallOutcome() const { return m_uninstallOutcome; }
    // The folder the completion alert reveals in the file manager.
    QString templatesFolder() const;

    // Bumped whenever the list is replaced or grows, not when one row is renamed.
    quint64 listGeneration() const { return m_listGeneration; }

    // What the window asks for. A row's name as the user typed or picked it, also while a
    // run goes on; unknown ids are ignored. Announced like every published change, then by
    // templateRenamed() for the one row that changed.
    void renameTemplate(const QUuid& id, const QString& newName);
    void setShowingImageAlert(bool shown);
    void dismissInstallationAlert();
    // Uninstall: what it would do first (a dry run), then, confirmed, the same uninstall as
    // the command line's, under the installers' lock; both on the worker.
    void requestUninstallPreview();
    void confirmUninstall();
    void dismissUninstall();

    // The completion alert's title and message for the last run.
    QString installationAlertTitle() const;
    QString installationAlertMessage() const;

    // The operations, in the order the installer's description gives them. The engine does
    // the file work on a worker thread; results come back on the main thread.
    void loadTutorialURL();
    // Merges `source` into `destination` file by file, as a run does for a template whose
    // folder is already installed; `done` gets the failure, if any.
    void mergeDirectories(const QString& source, const QString& destination,
                          std::function<void(Failure)> done = {});
    std::optional<QString> findResourcePath() const;
    void scanFolders();
    QString destinationPath(FolderType type) const;
    void installPlugins();
    void installFonts();
    // Runs `script` with the shell as a run does at its end, outside of one (ignored while a
    // run goes on); a failure is traced. `done` learns whether it exited with 0.
    void runPostInstallScript(const QString& script, std::function<void(bool)> done = {});

    // Lists the installed folders again on the worker, and publishes them when they changed.
    // The window asks when it opens, when it is activated and when a run has ended.
    void refreshInstalledFolders();

    // What the buttons do: start the operation on a later turn of the main thread.
    void requestInstallPlugins();
    void requestInstallFonts();
    // Stops the running installation at its next safe point: the copy in flight is
    // abandoned, a running post-install script is terminated (killed after 3 s).
    void requestCancel();
    bool cancelRequested() const { return m_cancelRequested; }

    const Platform& platform() const { return m_platform; }

    // The status while another installer holds the templates folder, and how often the run
    // looks again.
    static QString waitingStatus();
    static Text cancelledStatus(const InstallationSummary& summary);
    static constexpr int lockRetryMilliseconds = Installation::lockRetryMilliseconds;

Q_SIGNALS:
    void objectWillChange();
    // Not a published value: lets callers wait for a run to end.
    void installationFinished();
    void runProgressChanged();
    // One row's newName changed; `index` in folderItems().
    void templateRenamed(int index);

private:
    void setFolderItems(QList<FolderItem> items);
    void appendFolderItem(FolderItem item);
    void setHasFonts(bool value);
    void setInstallationProgress(Text value);
    void setIsInstalling(bool value);
    void setTutorialURL(std::optional<QUrl> value);
    void setShowInstallationAlert(bool value);
    void setInstallationSummary(InstallationSummary value);
    void setRunProgress(RunProgress value);
    void setInstalledFolders(InstalledFolders value);
    void setRowFailures(QHash<QUuid, Error> value);
    void setUninstall(bool running, std::optional<UninstallOutcome> outcome);
    void runUninstall(bool dryRun);
    void checkName(const FolderItem& item);

    void print(const QString& line) const;
    // Runs `work` on the worker, then `done` with its result on the main thread, unless this
    // object is gone by then. `work` must hold nothing of this object's.
    template <typename T> void onWorker(std::function<T()> work, std::function<void(T)> done);
    void runFinished(const InstallationReport& report);

    Platform m_platform;
    const TemplatesFolder m_templatesFolder;
    QList<FolderItem> m_folderItems;
    bool m_showingImageAlert = false;
    bool m_hasFonts = false;
    Text m_installationProgress;
    bool m_isInstalling = false;
    std::optional<QUrl> m_tutorialURL;
    bool m_showInstallationAlert = false;
    InstallationSummary m_installationSummary;
    RunProgress m_runProgress;
    InstalledFolders m_installedFolders;
    InstallationReport m_lastReport;
    QHash<QUuid, Error> m_rowFailures;
    QSet<QUuid> m_invalidNames;
    bool m_hasRecord = false;
    bool m_isUninstalling = false;
    std::optional<UninstallOutcome> m_uninstallOutcome;
    bool m_listing = false;   // a listing is on its way
    bool m_listAgain = false; // and was asked for again meanwhile
    quint64 m_listGeneration = 0;
    bool m_cancelRequested = false;
    Installation::Owned m_run; // the current or last run
    // A run outlives the window that started it: the state object holds itself meanwhile.
    std::shared_ptr<InstallerViewModel> m_keepAlive;
};

} // namespace Orvoinstaller
