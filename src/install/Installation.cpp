#include "install/Installation.h"

#include "discovery/Discovery.h"
#include "install/Fonts.h"
#include "install/InstallSteps.h"
#include "install/Manifest.h"
#include "install/PostInstallScript.h"
#include "install/Worker.h"
#include "platform/Language.h"

#include <QLocale>
#include <QThread>

#include <atomic>

namespace Orvoinstaller {

QString outcomeName(TemplateOutcome outcome) {
    switch (outcome) {
    case TemplateOutcome::installed:
        return QStringLiteral("installed");
    case TemplateOutcome::merged:
        return QStringLiteral("merged");
    case TemplateOutcome::unchanged:
        return QStringLiteral("unchanged");
    case TemplateOutcome::failed:
        return QStringLiteral("failed");
    case TemplateOutcome::cancelled:
        break;
    }
    return QStringLiteral("cancelled");
}

int InstallationReport::count(TemplateOutcome outcome) const {
    return static_cast<int>(std::count_if(templates.cbegin(), templates.cend(),
                                          [&](const auto& t) { return t.outcome == outcome; }));
}

bool InstallationReport::succeeded() const {
    return !cancelled && !blocked && !record && count(TemplateOutcome::failed) == 0 &&
           count(TemplateOutcome::cancelled) == 0 && fonts.state != FontsResult::State::failed &&
           script.state != ScriptResult::State::failed;
}

// What the worker counts and the main thread shows.
struct Installation::Shared {
    std::atomic<qint64> files{0};
    std::atomic<qint64> bytes{0};
};

Failure spaceShortage(const FileReader& fs, const QString& folder, qint64 needed) {
    const std::optional<qint64> free = fs.freeBytes(folder);
    if (!free || needed <= *free)
        return std::nullopt;
    const auto size = [](qint64 bytes) {
        return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
    };
    return Error::of(ErrorKind::noSpace,
                     Text(QT_TRANSLATE_NOOP("Orvoinstaller", "磁盘空间不足：需要 %1，可用 %2"),
                          {size(needed), size(*free)}));
}

Installation::Installation(Platform platform, QList<FolderItem> templates,
                           InstallationOptions options, QObject* parent)
    : QObject(parent), m_platform(std::move(platform)), m_templates(std::move(templates)),
      m_options(options), m_cancel(std::make_shared<CancelToken>()),
      m_shared(std::make_shared<Shared>()) {
    const TemplateInstaller paths(*m_platform.fileSystem, *m_platform.output);
    for (const FolderItem& item : m_templates)
        m_report.templates.append(
            {TemplateOutcome::cancelled, joinPath(paths.kindFolder(item.type), item.newName), {}});
    m_ticker.setInterval(100);
    connect(&m_ticker, &QTimer::timeout, this, &Installation::publishProgress);
}

Installation::~Installation() {
    // Whatever is still to come finds nobody to run the script for.
    m_cancel->cancel();
}

QString Installation::templateFailedLine(const QString& name, const Error& error) {
    return QStringLiteral("处理项目失败: ") + name + QStringLiteral(", 错误: ") +
           error.description();
}

void Installation::start() {
    if (m_running || m_worker)
        return;
    m_running = true;
    m_worker = std::make_unique<Worker>();
    // Only the worker touches the steps, the installer and the plans; the main thread sees
    // copies of what they did.
    m_worker->post([this, platform = m_platform, templates = m_templates, options = m_options,
                    cancel = m_cancel, shared = m_shared] {
        const auto toMain = [this](auto work) {
            QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
        };
        FileSystem& fs = *platform.fileSystem;
        DiagnosticOutput& output = *platform.output;
        InstallSteps steps(fs, output, manifestLocation(fs, *platform.bundle));
        steps.installer().setCompareBytes(options.compareBytes);

        Failure blocked;
        bool locked = false, saidWaiting = false;
        // Fonts too: two installers copying the same fonts would trip over each other's
        // temporaries.
        while ((!templates.isEmpty() || options.fonts) && !cancel->isCancelled()) {
            const Result<bool> taken = steps.tryLock();
            if (!taken) {
                blocked = taken.error();
                break;
            }
            if ((locked = taken.value()))
                break;
            if (!std::exchange(saidWaiting, true))
                toMain([this] { Q_EMIT waiting(); });
            for (int slept = 0; slept < lockRetryMilliseconds && !cancel->isCancelled();
                 slept += 10)
                QThread::msleep(10);
        }

        if (!cancel->isCancelled()) {
            RunPlans plans = blocked ? RunPlans(templates.size(), *blocked) : steps.plan(templates);
            RunProgress totals;
            plannedTotals(plans, totals.filesTotal, totals.bytesTotal);
            // A full disk found midway would leave half the pack behind.
            if (!blocked) {
                qint64 toWrite = 0;
                for (const auto& plan : plans)
                    toWrite += plan ? plan.value().bytesToWrite : 0;
                if ((blocked = spaceShortage(fs, steps.installer().templatesFolder(), toWrite))) {
                    output.line(blocked->description());
                    plans = RunPlans(templates.size(), *blocked);
                    totals = {};
                }
            }
            toMain([this, totals] {
                m_progress = totals;
                m_clock.start();
                m_ticker.start();
                Q_EMIT started(totals);
            });
            for (qsizetype i = 0; i < templates.size() && !cancel->isCancelled(); ++i) {
                toMain([this, i] { Q_EMIT templateStarted(static_cast<int>(i)); });
                TemplateResult result{TemplateOutcome::failed, {}, {}};
                if (!plans[i]) {
                    result.error = plans[i].error();
                } else {
                    const TemplatePlan& plan = plans[i].value();
                    result.destination = plan.destination;
                    // Decided now: an earlier template of this run may have made the folder.
                    const bool existed =
                        fs.type(plan.destination, true) == FileReader::Type::folder;
                    const qint64 writesBefore = steps.installer().writes();
                    result.error = steps.execute(plan, cancel.get(), [&](qint64 f, qint64 b) {
                        shared->files += f;
                        shared->bytes += b;
                    });
                    if (!result.error)
                        result.outcome = !existed ? TemplateOutcome::installed
                                         : steps.installer().writes() > writesBefore
                                             ? TemplateOutcome::merged
                                             : TemplateOutcome::unchanged;
                    else if (result.error->cancelled())
                        result.outcome = TemplateOutcome::cancelled;
                }
                if (result.outcome == TemplateOutcome::failed)
                    output.line(templateFailedLine(templates[i].originalName, *result.error));
                toMain([this, i, result] {
                    publishProgress();
                    TemplateResult& kept = m_report.templates[i];
                    // Unplanned, it keeps the destination its name points to.
                    kept = {result.outcome,
                            result.destination.isEmpty() ? kept.destination : result.destination,
                            result.error};
                    Q_EMIT templateFinished(static_cast<int>(i), m_report.templates[i]);
                });
            }
        }
        FontsResult fonts;
        std::optional<QString> script;
        bool notAFile = false;
        if (!cancel->isCancelled() && !blocked && (options.fonts || options.script)) {
            const auto resources = findResourcePath(*platform.bundle, fs, output);
            if (options.fonts) {
                fonts.state = FontsResult::State::failed;
                const FontReport report =
                    resources ? installPackFonts(platform, *resources)
                              : FontReport{Error::of(ErrorKind::missing,
                                                     Text(QT_TRANSLATE_NOOP("Orvoinstaller",
                                                                            "无法找到资源文件夹"))),
                                           std::nullopt,
                                           {}};
                fonts.error = report.firstError;
                fonts.kept = report.kept;
                if (report.firstError)
                    output.line(QStringLiteral("字体安装失败: ") +
                                report.firstError->description());
                else
                    fonts.state = report.refusal ? FontsResult::State::installedPerUser
                                                 : FontsResult::State::installed;
            }
            if (options.script && resources && !cancel->isCancelled()) {
                if (const auto found = findPostInstallScript(fs, *resources)) {
                    script = found->path;
                    notAFile = found->notAFile;
                }
            }
        }
        // Fonts go in under the same lock; the record is complete once the lock is let go.
        if (locked)
            steps.unlock();
        const Failure record = steps.recordFailure();
        toMain([this, blocked, record, fonts, script, notAFile] {
            m_report.blocked = blocked;
            m_report.record = record;
            workDone(fonts, script, notAFile);
        });
    });
}

void Installation::workDone(FontsResult fonts, std::optional<QString> script,
                            bool scriptIsNotAFile) {
    m_ticker.stop();
    publishProgress();
    m_report.fonts = fonts;
    if (m_options.script && !m_cancel->isCancelled() && !m_report.blocked)
        m_report.script.state = ScriptResult::State::absent;
    if (!script || m_cancel->isCancelled())
        return finish();
    if (scriptIsNotAFile) {
        const QString line = scriptNotAFileLine(*script);
        m_platform.output->line(line);
        m_report.script = {ScriptResult::State::failed, ProcessOutcome{line, {}, 0, {}, 0}};
        return finish();
    }
    runScript(*script);
}

void Installation::runScript(const QString& path) {
    Q_EMIT scriptStarted();
    // Cancel may come from a signal handler, which cannot stop a process itself.
    auto* watch = new QTimer(this);
    connect(watch, &QTimer::timeout, this, [this, watch] {
        if (m_cancel->isCancelled()) {
            watch->stop();
            m_platform.processRunner->stop();
        }
    });
    watch->start(50);
    QStringList installed;
    for (const TemplateResult& result : std::as_const(m_report.templates))
        if (result.outcome != TemplateOutcome::failed &&
            result.outcome != TemplateOutcome::cancelled)
            installed << result.destination;
    const QString templates =
        TemplateInstaller(*m_platform.fileSystem, *m_platform.output).templatesFolder();
    m_platform.processRunner->run(
        scriptRequest(path, parentPath(path), templates, installed, Language::current()), this,
        [this, watch, templates](ProcessOutcome outcome) {
            watch->deleteLater();
            // Cancelled: no failure to report. Stopped because nobody is left to see it: the
            // trace still says how it ended.
            const bool stopped = m_cancel->isCancelled();
            const auto failure = scriptFailureLine(outcome);
            if (failure && !stopped)
                m_platform.output->line(*failure);
            m_report.script = {stopped   ? ScriptResult::State::cancelled
                               : failure ? ScriptResult::State::failed
                                         : ScriptResult::State::ok,
                               outcome};
            // Kept whatever its exit status, off this thread; the run ends once it is.
            m_worker->post([this, templates, outcome, output = m_platform.output] {
                if (const Failure error = writeScriptLog(
                        *m_platform.fileSystem,
                        manifestLocation(*m_platform.fileSystem, *m_platform.bundle, templates)
                            .path,
                        outcome))
                    output->line(error->description());
                QMetaObject::invokeMethod(
                    this, [this] { finish(); }, Qt::QueuedConnection);
            });
        });
}

void Installation::finish() {
    m_report.cancelled = m_cancel->isCancelled();
    m_running = false;
    Q_EMIT finished(m_report);
}

void Installation::publishProgress() {
    RunProgress progress = m_progress;
    progress.filesDone = m_shared->files;
    progress.bytesDone = m_shared->bytes;
    const qint64 elapsed = m_clock.isValid() ? m_clock.elapsed() : 0;
    if (progress.bytesDone > 0 && elapsed >= 1000 && progress.bytesTotal > progress.bytesDone)
        progress.secondsLeft = static_cast<int>(
            (progress.bytesTotal - progress.bytesDone) * elapsed / progress.bytesDone / 1000 + 1);
    else
        progress.secondsLeft.reset();
    if (progress == m_progress)
        return;
    m_progress = progress;
    Q_EMIT progressed(progress);
}

} // namespace Orvoinstaller
