#include "cli/Commands.h"

#include "discovery/Discovery.h"
#include "install/Fonts.h"
#include "install/InstallSteps.h"
#include "install/Manifest.h"
#include "install/PostInstallScript.h"
#include "install/Worker.h"
#include "platform/Language.h"
#include "platform/Terminal.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTimer>

#include <atomic>
#include <functional>

namespace Orvoinstaller {

namespace {

// What became of one template, for the report.
struct TemplateOutcome {
    QString destination;
    bool merge = false;
    Status error;
};

struct ScriptOutcome {
    QString result; // ok, failed, skipped, absent
    std::optional<ProcessOutcome> process;
};

struct FontsOutcome {
    QString result = QStringLiteral("skipped");
    Status error;
};

// One command-line run: its worker, its file work, and what a termination signal stops
// (once catchTermination() is in force).
// The main thread turns the event loop while the worker works, so the progress line moves
// and a signal is heard at once.
class CommandLineRun {
public:
    CommandLineRun(const Platform& platform, Console& console)
        : m_platform(platform), m_console(console), m_steps(*platform.fileSystem, console) {}

    InstallSteps& steps() { return m_steps; }
    const CancelToken* cancel() const { return &m_cancel; }
    bool cancelled() const { return m_cancel.isCancelled(); }

    template <typename T> T onWorker(std::function<T()> work) {
        std::optional<T> result;
        QEventLoop loop;
        m_worker.post([&] {
            result.emplace(work());
            QMetaObject::invokeMethod(
                &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
        });
        turn(loop);
        return std::move(*result);
    }

    // Waits while another installer holds the templates folder, as the window does; false
    // (having said why) when no lock can be had or a signal came meanwhile.
    // Waits for another installer; empty once taken, or when cancelled meanwhile.
    Status lock() {
        bool saidWaiting = false;
        for (;;) {
            const auto taken = onWorker<Result<bool>>([this] { return m_steps.tryLock(); });
            if (!taken) {
                m_console.toError(
                    QStringLiteral("Cannot install into %1: %2")
                        .arg(m_steps.installer().templatesFolder(), taken.error().description));
                return taken.error();
            }
            if (taken.value())
                return std::nullopt;
            if (!saidWaiting)
                m_console.toError(QString::fromUtf8(InstallSteps::waitingText));
            saidWaiting = true;
            QEventLoop pause;
            QTimer::singleShot(InstallSteps::lockRetryMilliseconds, &pause, &QEventLoop::quit);
            turn(pause);
            if (cancelled())
                return std::nullopt;
        }
    }

    void unlock() {
        onWorker<bool>([this] {
            m_steps.unlock();
            return true;
        });
    }

    // Told which templates went in; what it prints is kept in its log.
    ProcessOutcome runScript(const PostInstallScript& script,
                             const QList<TemplateOutcome>& templates) {
        QStringList installed;
        for (const TemplateOutcome& outcome : templates)
            if (!outcome.error)
                installed << outcome.destination;
        const QString folder = m_steps.installer().templatesFolder();
        std::optional<ProcessOutcome> outcome;
        QEventLoop loop;
        m_platform.processRunner->run(scriptRequest(script.path, parentPath(script.path), folder,
                                                    installed, Language::current()),
                                      &loop, [&](ProcessOutcome done) {
                                          outcome = std::move(done);
                                          loop.quit();
                                      });
        m_scriptRunning = true;
        turn(loop);
        m_scriptRunning = false;
        const Status logged = onWorker<Status>(
            [&] { return writeScriptLog(defaultManifestLocation(folder).path, *outcome); });
        if (logged)
            m_console.line(logged->description);
        return std::move(*outcome);
    }

    // Runs on each tick of the loop, besides listening for signals.
    std::function<void()> onTick;

private:
    void turn(QEventLoop& loop) {
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, &loop, [this] {
            if (terminationRequested() && !cancelled()) {
                m_cancel.cancel();
                if (m_scriptRunning)
                    m_platform.processRunner->stop();
            }
            if (onTick)
                onTick();
        });
        ticker.start(100);
        loop.exec();
    }

    const Platform& m_platform;
    Console& m_console;
    InstallSteps m_steps; // used on the worker only
    Worker m_worker;      // ends before the steps it uses
    CancelToken m_cancel;
    bool m_scriptRunning = false;
};

QString statusWord(const Status& error, const QString& ok) {
    return error ? QStringLiteral("failed") : ok;
}

QJsonObject templateJson(const FolderItem& item, const TemplateOutcome& outcome) {
    QJsonObject entry{
        {"kind", resourceFolderName(item.type)},
        {"name", item.originalName},
        {"newName", item.newName},
        {"destination", outcome.destination},
        {"result", statusWord(outcome.error, outcome.merge ? "merged" : "installed")}};
    if (outcome.error)
        entry.insert("error", outcome.error->description);
    return entry;
}

QJsonObject scriptJson(const ScriptOutcome& script) {
    QJsonObject entry{{"result", script.result}};
    if (script.process) {
        const ProcessOutcome& process = *script.process;
        entry.insert("exitCode", process.startError ? -1 : process.exitStatus);
        entry.insert("output",
                     process.startError ? *process.startError : QString::fromUtf8(process.output));
    }
    return entry;
}

QString progressLine(qint64 done, qint64 total, const QString& current) {
    const QLocale c = QLocale::c();
    const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
    return QStringLiteral("%1 / %2 (%3%)  %4")
        .arg(c.formattedDataSize(done), c.formattedDataSize(total))
        .arg(percent)
        .arg(current);
}

} // namespace

int installCommand(const Platform& platform, Console& console, const InstallOptions& options) {
    catchTermination();
    CommandLineRun run(platform, console);
    run.steps().installer().setCompareBytes(options.compareBytes);
    const QList<FolderItem>& items = options.items;

    QList<TemplateOutcome> outcomes;
    for (const FolderItem& item : items)
        outcomes.append({joinPath(run.steps().installer().kindFolder(item.type), item.newName),
                         false, TemplateInstaller::cancelled()});
    // Nothing can be installed: every template fails with the reason, and the report says so.
    const Status lockError = items.isEmpty() ? Status() : run.lock();
    if (lockError) {
        for (TemplateOutcome& outcome : outcomes)
            outcome.error = lockError;
    }

    std::atomic<qint64> bytesDone{0};
    qint64 bytesTotal = 0, filesTotal = 0;
    QString current;
    run.onTick = [&] { console.progress(progressLine(bytesDone, bytesTotal, current)); };
    const RunPlans plans = run.cancelled() || items.isEmpty() || lockError
                               ? RunPlans()
                               : run.onWorker<RunPlans>([&] { return run.steps().plan(items); });
    plannedTotals(plans, filesTotal, bytesTotal);

    int installed = 0, failed = lockError ? int(items.size()) : 0;
    for (qsizetype i = 0; i < qsizetype(plans.size()) && !run.cancelled(); ++i) {
        current = items[i].originalName;
        TemplateOutcome& outcome = outcomes[i];
        if (!plans[i]) {
            outcome.error = plans[i].error();
        } else {
            outcome.merge = plans[i].value().merge;
            outcome.error = run.onWorker<Status>([&, plan = plans[i].value()] {
                return run.steps().execute(plan, run.cancel(),
                                           [&](qint64, qint64 bytes) { bytesDone += bytes; });
            });
        }
        if (outcome.error && TemplateInstaller::isCancellation(*outcome.error))
            break;
        if (outcome.error) {
            ++failed;
            console.line(templateFailedLine(items[i].originalName, *outcome.error));
        } else {
            ++installed;
        }
    }
    if (!items.isEmpty() && !lockError)
        run.unlock();
    run.onTick = {};
    console.endProgress();

    ScriptOutcome script{QStringLiteral("skipped"), std::nullopt};
    if (options.script && !run.cancelled() && !lockError) {
        const auto found = run.onWorker<std::optional<PostInstallScript>>(
            [&]() -> std::optional<PostInstallScript> {
                const auto resources =
                    findResourcePath(*platform.bundle, *platform.fileSystem, console);
                return resources ? findPostInstallScript(*platform.fileSystem, *resources)
                                 : std::nullopt;
            });
        if (!found) {
            script.result = QStringLiteral("absent");
        } else if (found->notAFile) {
            console.line(scriptNotAFileLine(found->path));
            script = {QStringLiteral("failed"), ProcessOutcome{}};
            script.process->startError = scriptNotAFileLine(found->path);
        } else {
            script.process = run.runScript(*found, outcomes);
            const auto failure = scriptFailureLine(*script.process);
            script.result = failure ? QStringLiteral("failed") : QStringLiteral("ok");
            if (failure && !run.cancelled())
                console.line(*failure);
        }
    }

    FontsOutcome fonts;
    if (options.fonts && options.hasFonts && !run.cancelled() && !lockError) {
        const FontReport report = run.onWorker<FontReport>([&]() -> FontReport {
            const auto resources =
                findResourcePath(*platform.bundle, *platform.fileSystem, console);
            if (!resources)
                return {Error{QStringLiteral("无法找到资源文件夹")}, std::nullopt};
            return installPackFonts(platform, *resources);
        });
        fonts.error = report.firstError;
        fonts.result =
            statusWord(report.firstError, report.refusal ? QStringLiteral("installed-per-user")
                                                         : QStringLiteral("installed"));
        if (report.firstError)
            console.line(QStringLiteral("字体安装失败: ") + report.firstError->description);
    }

    const bool ok =
        !run.cancelled() && failed == 0 && script.result != QLatin1String("failed") && !fonts.error;
    const QString summary =
        QStringLiteral("%1: %2 of %3 templates installed, %4 failed; script %5; fonts %6")
            .arg(run.cancelled() ? QStringLiteral("Cancelled") : QStringLiteral("Done"))
            .arg(installed)
            .arg(items.size())
            .arg(failed)
            .arg(script.result, fonts.result);
    if (!options.json) {
        console.toOutput(summary);
        return ok ? exitDone : exitFailed;
    }
    console.toError(summary);
    QJsonArray templates;
    for (qsizetype i = 0; i < items.size(); ++i)
        templates.append(templateJson(items[i], outcomes[i]));
    QJsonObject fontsEntry{{"result", fonts.result}};
    if (fonts.error)
        fontsEntry.insert("error", fonts.error->description);
    const QJsonObject report{
        {"templates", templates}, {"fonts", fontsEntry}, {"script", scriptJson(script)}};
    console.toOutput(QString::fromUtf8(QJsonDocument(report).toJson(QJsonDocument::Indented)));
    return ok ? exitDone : exitFailed;
}

int uninstallCommand(const Platform& platform, Console& console, bool dryRun) {
    CommandLineRun run(platform, console);
    const TemplateInstaller& installer = run.steps().installer();
    if (const Status home = installer.homeProblem()) {
        console.toError(home->description);
        return exitFailed;
    }
    // Takes the installers' lock itself.
    const UninstallReport report = run.onWorker<UninstallReport>([&] {
        return uninstallRecorded(*platform.fileSystem,
                                 defaultManifestLocation(installer.templatesFolder()), dryRun);
    });
    if (report.refused) {
        console.toError(report.refused->description + QStringLiteral(": nothing removed"));
        return exitFailed;
    }
    const QString removed = dryRun ? QStringLiteral("would remove") : QStringLiteral("removed");
    for (const QString& path : report.removed)
        console.toOutput(removed + QStringLiteral(": ") + path);
    for (const QString& path : report.removedFolders)
        console.toOutput(removed + QStringLiteral(" folder: ") + path);
    for (const QString& line : report.kept)
        console.toOutput(QStringLiteral("kept: ") + line);
    for (const Error& error : report.failed)
        console.toOutput(QStringLiteral("failed: ") + error.description);
    console.toOutput(QStringLiteral("%1: %2 %3 files and %4 folders, %5 %6, %7 failed")
                         .arg(dryRun ? QStringLiteral("Dry run") : QStringLiteral("Done"), removed)
                         .arg(report.removed.size())
                         .arg(report.removedFolders.size())
                         .arg(dryRun ? QStringLiteral("would keep") : QStringLiteral("kept"))
                         .arg(report.kept.size())
                         .arg(report.failed.size()));
    return report.ok() ? exitDone : exitFailed;
}

} // namespace Orvoinstaller
