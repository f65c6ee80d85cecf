#include "discovery/Pack.h"
#include "install/EditorRestart.h"
#include "model/InstallerViewModel.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <QTimer>

#include <vector>

namespace Orvoinstaller {

namespace {

enum class LockState { taken, busy, unavailable };

const char* const waiting = QT_TRANSLATE_NOOP("Orvoinstaller", "正在等待另一个安装程序完成...");

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
    const QString script = Pack{*resources}.script();
    if (!m_platform.fileSystem->exists(script))
        return std::nullopt;
    // The shell would open it; a FIFO would keep it waiting for ever.
    notAFile = m_platform.fileSystem->type(script, true) != FileSystem::Type::file;
    return script;
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
    const auto installer =
        std::make_shared<TemplateInstaller>(*m_platform.fileSystem, *m_platform.output);

    // The names as they were when the button was pressed: edits made while the run goes on
    // (or waits for another installer) do not reach it.
    const QList<FolderItem> items = m_folderItems;

    setIsInstalling(true);
    // Another installer writing into the same folder would trip over this one's entries:
    // wait for it to finish instead.
    std::shared_ptr<QLockFile> lock;
    if (!items.isEmpty()) {
        for (;;) {
            // Named, not a temporary of the co_await: GCC 12 destroys such temporaries twice.
            auto tryLock = onWorker<LockState>([&lock, installer, this] {
                if (!lock) {
                    if (installer->homeProblem())
                        return LockState::unavailable; // the items say why
                    const QString folder = installer->templatesFolder();
                    if (m_platform.fileSystem->createDirectories(folder))
                        return LockState::unavailable;
                    lock = std::make_shared<QLockFile>(
                        joinPath(folder, QStringLiteral(".orvo-install.lock")));
                    // Held for a whole run; a holder that died is found by its process id.
                    lock->setStaleLockTime(0);
                }
                if (lock->tryLock(0))
                    return LockState::taken;
                return lock->error() == QLockFile::LockFailedError ? LockState::busy
                                                                   : LockState::unavailable;
            });
            const LockState state = co_await tryLock;
            if (state != LockState::busy)
                break;
            if (m_installationProgress != waitingStatus())
                setInstallationProgress(Text(waiting));
            co_await Delay(lockRetryMilliseconds, this);
        }
    }
    setInstallationProgress(Text(QT_TRANSLATE_NOOP("Orvoinstaller", "开始安装...")));

    using Plans = std::vector<Result<TemplatePlan>>;
    auto planAll = onWorker<Plans>([installer, items] {
        Plans plans;
        for (const FolderItem& item : items)
            plans.push_back(installer->plan(item.path, item.type, item.newName));
        return plans;
    });
    const Plans plans = co_await planAll;
    RunProgress progress;
    for (const auto& plan : plans) {
        if (plan) {
            progress.filesTotal += plan.value().files;
            progress.bytesTotal += plan.value().bytes;
        }
    }
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
    for (qsizetype i = 0; i < items.size() && !cancel->isCancelled(); ++i) {
        const FolderItem& item = items[i];
        setInstallationProgress(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller", "正在安装: %1"), {item.originalName}));
        Status error;
        if (!plans[i]) {
            error = plans[i].error();
        } else {
            auto execute = onWorker<Status>([installer, plan = plans[i].value(), cancel, counters] {
                return installer->execute(plan, cancel.get(), [&](qint64 files, qint64 bytes) {
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
            print(QStringLiteral("处理项目失败: ") + item.originalName +
                  QStringLiteral(", 错误: ") + error->description);
            co_await NextTurn(*m_platform.mainQueue, this);
            setInstallationProgress(Text(QT_TRANSLATE_NOOP("Orvoinstaller", "安装 %1 失败: %2"),
                                         {item.originalName, error->shown()}));
        } else {
            ++installedCount;
            co_await NextTurn(*m_platform.mainQueue, this);
            setInstallationProgress(
                Text(QT_TRANSLATE_NOOP("Orvoinstaller", "已安装: %1"), {item.newName}));
        }
    }
    ticker.stop();
    if (lock) {
        auto unlock = onWorker<bool>([lock] {
            lock->unlock();
            return true;
        });
        co_await unlock;
    }

    // The post-install script, from the resource folder as it is now; not after a cancel,
    // and not once nobody can see the window.
    bool scriptFailed = false;
    if (!cancel->isCancelled()) {
        bool notAFile = false;
        auto findScript = onWorker<std::optional<QString>>(
            [this, &notAFile] { return postInstallScript(notAFile); });
        const auto script = co_await findScript;
        if (script) {
            setInstallationProgress(Text(QT_TRANSLATE_NOOP("Orvoinstaller", "执行安装后脚本...")));
            if (notAFile) {
                print(QStringLiteral("脚本执行出错: “%1” 不是普通文件，不会运行它").arg(*script));
                scriptFailed = true;
            } else {
                m_scriptRunning = true;
                // Closed meanwhile: the script is started and stopped at once, as cancel stops it.
                if (m_windowClosed)
                    QTimer::singleShot(0, this, [this] { stopScript(); });
                const ProcessOutcome outcome = co_await runPostInstallScript(*script);
                m_scriptRunning = false;
                scriptFailed =
                    !cancel->isCancelled() && (outcome.startError || outcome.exitStatus != 0);
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
                                      editorIsRunning(m_platform.runningPrograms.get())};
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
    return QString::fromUtf8(waiting);
}

Text InstallerViewModel::cancelledStatus(const InstallationSummary& summary) {
    return Text(QT_TRANSLATE_NOOP("Orvoinstaller", "安装已取消：已安装 %1 个，共 %2 个"),
                {QString::number(summary.installedCount), QString::number(summary.itemCount)});
}

} // namespace Orvoinstaller
