#pragma once

#include "install/Task.h"
#include "model/FolderItem.h"
#include "platform/Platform.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <memory>
#include <optional>

class QLockFile;

namespace Orvoinstaller {

// How the last installation run went, for the completion alert.
struct InstallationSummary {
    int itemCount = 0;
    int failedCount = 0;
    bool scriptFailed = false;  // the post-install script could not run or did not exit with 0
    bool editorRunning = false; // when the run ended
};

// The installer window's state. Every change of a published value is announced by
// objectWillChange() just before it is stored. Main thread only.
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

    void setFolderItems(QList<FolderItem> items);
    void appendFolderItem(FolderItem item);
    void setShowingImageAlert(bool value);
    void setHasFonts(bool value);
    void setInstallationProgress(Text value);
    void setIsInstalling(bool value);
    void setTutorialURL(std::optional<QUrl> value);
    void setShowInstallationAlert(bool value);
    void setInstallationSummary(InstallationSummary value);

    // Sets the newName of the item with this id; unknown ids are ignored.
    void setNewName(const QUuid& id, const QString& newName);

    // The completion alert's message for the last run.
    QString installationAlertMessage() const;

    // Discovery.
    void loadTutorialURL();
    std::optional<QString> findResourcePath() const;
    void scanFolders();

    // Installation engine.
    Status mergeDirectories(const QString& source, const QString& destination);
    QString destinationPath(FolderType type) const;
    Task installPlugins();
    void installFonts();
    // Awaitable; prints what went wrong once the script has ended.
    ProcessFinished runPostInstallScript(QString scriptPath);

    // What the buttons do: start the operation on a later turn of the main thread.
    void requestInstallPlugins();
    void requestInstallFonts();

    const Platform& platform() const { return m_platform; }

    // The status while another installer holds the templates folder, and how often the run
    // looks again.
    static QString waitingStatus();
    static constexpr int lockRetryMilliseconds = 250;

Q_SIGNALS:
    void objectWillChange();
    // Not a published value: lets callers wait for a run to end.
    void installationFinished();

private:
    void print(const QString& line) const;
    // One item of the installation run: checks newName, then copies or merges. Leftover
    // temporaries are cleared once a run from each kind folder, which `cleanedFolders` notes.
    Status installItem(const FolderItem& item, QSet<QString>& cleanedFolders);
    // The lock of the installed-templates folder, not yet taken; none without a home folder.
    std::unique_ptr<QLockFile> templatesFolderLock();

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
    bool m_runInProgress = false; // set at the first step so no second run can interleave
};

} // namespace Orvoinstaller
