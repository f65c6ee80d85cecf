#include "install/EditorRestart.h"
#include "install/InstallSteps.h"
#include "install/PostInstallScript.h"
#include "model/InstallerViewModel.h"

#include <QElapsedTimer>
#include <QTimer>

#include <vector>

namespace Orvoinstaller {

namespace {

// Shared by the run on the main thread and the worker that does its file work.
struct RunCounters {
    std::atomic<qint64> files{0};
    std::atomic<qint64> bytes{0};
};

} // namespace

Worker& InstallerViewModel::worker() {
    if (!m_worker)
        m_worker = std::make_unique<Worker>();
    return *m_worker;
}

QString InstallerViewModel::destinationPath(FolderType type) const {
    return TemplateInstaller(*m_platform.fileSystem, *m_platform.output).kindFolder(type);
}

std::optional<QString> InstallerViewModel::postInstallScript(bool& notAFile) const {
    const auto resources = findResourcePath();
    if (!resources)
        return std::nullopt;
    const auto script = findPostInstallScript(*m_platform.fileSystem, *resources);
    if (!script)
        return std::nullopt;
    notAFile = script->notAFile;
    return script->path;
}

void InstallerViewModel::requestCancel() {
    if (!m_isInstalling || !m_cancel || m_cancel->isCancelled())
        return;
    m_cancel->cancel();
    if (m_scriptRunning)
        stopScript();
}

void InstallerViewModel::windowClosed() {
    m_windowClosed = true;
    if (m_scriptRunning)
        stopScript();
}

void InstallerViewModel::stopScript() {
    m_platform.processRunner->stop();
}

Task InstallerViewModel::installPlugins() {
    // Also refuses a second press whose run was queued before this one began.
    if (m_runInProgress)
        co_return;
    m_runInProgress = true;
    // The window may let go of the state object while the run is suspended.
    const auto keepAlive = weak_from_this().lock();
    const auto cancel = std::make_shared<CancelToken>();
    m_cancel = cancel;
    // Used on the worker only, one call at a time.
    const auto steps = std::make_shared<InstallSteps>(*m_platform.fileSystem, *m_platform.output);

    // The names as they were when the button was pressed: edits made while the run goes on
    // (or waits for another installer) do not reach it.
    const QList<FolderItem> items = m_folderItems;

    setIsInstalling(true);
    // Wait for another installer to finish; without a lock the items say why.
    bool locked = false;
    if (!items.isEmpty()) {
        for (;;) {
            // Named, not a temporary of the co_await: GCC 12 destroys such temporaries twice.
            auto tryLock = onWorker<Result<bool>>([steps] { return steps->tryLock(); });
            const Result<bool> taken = co_await tryLock;
            locked = taken && taken.value();
            if (!taken || locked)
                break;
            if (m_installationProgress != waitingStatus())
                setInstallationProgress(Text(InstallSteps::waitingText));
            co_await Delay(lockRetryMilliseconds, this);
        }
    }
    setInstallationProgress(Text(QT_TRANSLATE_NOOP("Orvoinstaller", "开始安装...")));

    auto planAll = onWorker<RunPlans>([steps, items] { return steps->plan(items); });
    const RunPlans plans = co_await planAll;
    RunProgress progress;
    plannedTotals(plans, progress.filesTotal, progress.bytesTotal);
    setRunProgress(progress);

    // The worker counts; the main thread shows the counts a few times a second.
    const auto counters = std::make_shared<RunCounters>();
    QElapsedTimer clock;
    clock.start();
    auto publish = [this, counters, clock, progress]() mutable {
        progress.filesDone = counters->files;
        progress.bytesDone = counters->bytes;
        const qint64 elapsed = clock.elapsed();
        if (progress.bytesDone > 0 && elapsed >= 1000 && progress.bytesTotal > progress.bytesDone)
            progress.secondsLeft = static_cast<int>((progress.bytesTotal - progress.bytesDone) *
                                                        elapsed / progress.bytesDone / 1000 +
                                                    1);
        else
            progress.secondsLeft.reset();
        if (!(progress == m_runProgress))
            setRunProgress(progress);
    };
    QTimer ticker;
    ticker.setInterval(100);
    QObject::connect(&ticker, &QTimer::timeout, this, publish);
    ticker.start();

    int failedCount = 0, installedCount = 0;
    QStringList installed; // for the post-install script
    for (qsizetype i = 0; i < items.size() && !cancel->isCancelled(); ++i) {
        const FolderItem& item = items[i];
        setInstallationProgress(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller", "正在安装: %1"), {item.originalName}));
        Status error;
        if (!plans[i]) {
            error = plans[i].error();
        } else {
            auto execute = onWorker<Status>([steps, plan = plans[i].value(), cancel, counters] {
                return steps->execute(plan, cancel.get(), [&](qint64 files, qint64 bytes) {
                    counters->files += files;
                    counters->bytes += bytes;
                });
            });
            error = co_await execute;
        }
        publish();
        if (error && TemplateInstaller::isCancellation(*error))
            break;
        if (error) {
            ++failedCount;
            print(templateFailedLine(item.originalName, *error));
            co_await NextTurn(*m_platform.mainQueue, this);
            setInstallationProgress(Text(QT_TRANSLATE_NOOP("Orvoinstaller", "安装 %1 失败: %2"),
                                         {item.originalName, error->shown()}));
        } else {
            ++installedCount;
            installed << plans[i].value().destination;
            co_await NextTurn(*m_platform.mainQueue, this);
            setInstallationProgress(
                Text(QT_TRANSLATE_NOOP("Orvoinstaller", "已安装: %1"), {item.newName}));
        }
    }
    ticker.stop();
    if (locked) {
        auto unlock = onWorker<bool>([steps] {
            steps->unlock();
            return true;
        });
        co_await unlock;
    }

    // The post-install script, from the resource folder as it is now; not after a cancel,
    // and not once nobody can see the window.
    bool scriptFailed = false;
    QString scriptOutput;
    if (!cancel->isCancelled()) {
        bool notAFile = false;
        auto findScript = onWorker<std::optional<QString>>(
            [this, &notAFile] { return postInstallScript(notAFile); });
        const auto script = co_await findScript;
        if (script) {
            setInstallationProgress(Text(QT_TRANSLATE_NOOP("Orvoinstaller", "执行安装后脚本...")));
            if (notAFile) {
                print(scriptNotAFileLine(*script));
                scriptFailed = true;
            } else {
                m_scriptRunning = true;
                // Closed meanwhile: the script is started and stopped at once, as cancel stops it.
                if (m_windowClosed)
                    QTimer::singleShot(0, this, [this] { stopScript(); });
                const ProcessOutcome outcome = co_await runPostInstallScript(*script, installed);
                m_scriptRunning = false;
                scriptFailed =
                    !cancel->isCancelled() && (outcome.startError || outcome.exitStatus != 0);
                scriptOutput = scriptFailed ? scriptLastLines(outcome) : QString();
            }
        }
    }

    // The summary is in place before the alert that reads it is raised.
    co_await NextTurn(*m_platform.mainQueue, this);
    const InstallationSummary summary{static_cast<int>(items.size()),
                                      failedCount,
                                      scriptFailed,
                                      cancel->isCancelled(),
                                      installedCount,
                                      editorIsRunning(m_platform.runningPrograms.get()),
                                      scriptOutput};
    setInstallationProgress(summary.cancelled
                                ? cancelledStatus(summary)
                                : Text(QT_TRANSLATE_NOOP("Orvoinstaller", "安装完成！")));
    setInstallationSummary(summary);
    setShowInstallationAlert(true);

    co_await NextTurn(*m_platform.mainQueue, this);
    setIsInstalling(false);
    m_runInProgress = false;
    Q_EMIT installationFinished();
}

QString InstallerViewModel::waitingStatus() {
    return QString::fromUtf8(InstallSteps::waitingText);
}

Text InstallerViewModel::cancelledStatus(const InstallationSummary& summary) {
    return Text(QT_TRANSLATE_NOOP("Orvoinstaller", "安装已取消：已安装 %1 个，共 %2 个"),
                {QString::number(summary.installedCount), QString::number(summary.itemCount)});
}

} // namespace Orvoinstaller
