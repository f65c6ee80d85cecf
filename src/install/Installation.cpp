#include "install/Installation.h"

#include "discovery/Discovery.h"
#include "install/EditorRestart.h"
#include "install/Fonts.h"
#include "install/Manifest.h"
#include "install/PostInstallScript.h"
#include "install/TemplatesFolder.h"
#include "platform/Language.h"

#include <QLocale>
#include <QTimer>

#include <utility>

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

Failure Installation::spaceShortage(const FileReader& fs, const QString& folder, qint64 needed) {
    const std::optional<qint64> free = fs.freeBytes(folder);
    if (!free || needed <= *free)
        return std::nullopt;
    const auto size = [](qint64 bytes) {
        return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
    };
    return Error::of(ErrorKind::noSpace,
                     Text(tr, QT_TR_NOOP("磁盘空间不足：需要 %1，可用 %2"),
                          {size(needed), size(*free)}));
}

Installation::Installation(Platform platform, QList<FolderItem> templates,
                           InstallationOptions options, QObject* parent)
    : QObject(parent), m_platform(std::move(platform)), m_templates(std::move(templates)),
      m_options(options), m_cancel(std::make_shared<CancelToken>()) {
    const TemplatesFolder folder = TemplatesFolder::of(*m_platform.fileSystem);
    for (const FolderItem& item : std::as_const(m_templates))
        m_report.templates.append(
            {TemplateOutcome::cancelled, folder.destination(item.type, item.newName), {}});
}

Installation::~Installation() {
    // Deleted part-way: the record is folded while the lock still keeps other runs out.
    if (m_steps && m_locked)
        m_steps->unlock();
}

void Installation::Deleter::operator()(Installation* run) const {
    run->cancel();
    run->deleteLater();
}

QString Installation::templateFailedLine(const QString& name, const Error& error) {
    return QStringLiteral("处理项目失败: ") + name + QStringLiteral(", 错误: ") +
           error.description();
}

void Installation::start() {
    if (std::exchange(m_started, true))
        return;
    const std::shared_ptr<Worker> worker = std::move(m_platform.worker);
    worker->adopt(this);
    next(&Installation::waitForLock);
}

void Installation::next(void (Installation::*step)()) {
    QMetaObject::invokeMethod(this, step, Qt::QueuedConnection);
}

// Cancel may come from a signal handler, which can neither end a wait nor stop a process.
void Installation::watchCancel() {
    if (m_watch)
        return;
    m_watch = new QTimer(this);
    connect(m_watch, &QTimer::timeout, this, [this] {
        if (!m_cancel->isCancelled())
            return;
        m_watch->stop();
        if (std::exchange(m_waitingForLock, false))
            next(&Installation::waitForLock);
        if (m_scriptRunning)
            m_platform.processRunner->stop();
    });
    m_watch->start(50);
}

void Installation::waitForLock() {
    if (!m_steps) {
        FileSystem& fs = *m_platform.fileSystem;
        m_steps = std::make_unique<InstallSteps>(fs, *m_platform.output,
                                                 manifestLocation(fs, *m_platform.bundle));
        m_steps->installer().setCompareBytes(m_options.compareBytes);
        watchCancel();
    }
    m_waitingForLock = false;
    // Fonts too: two installers copying the same fonts would trip over each other's
    // temporaries.
    if ((!m_templates.isEmpty() || m_options.fonts) && !m_cancel->isCancelled()) {
        const Result<bool> taken = m_steps->tryLock();
        if (!taken) {
            m_report.blocked = taken.error();
        } else if (!(m_locked = taken.value())) {
            if (!std::exchange(m_saidWaiting, true))
                Q_EMIT waiting();
            // Tried again later, leaving the worker to other work meanwhile.
            m_waitingForLock = true;
            QTimer::singleShot(lockRetryMilliseconds, this, [this] {
                if (m_waitingForLock)
                    waitForLock();
            });
            return;
        }
    }
    next(&Installation::plan);
}

void Installation::plan() {
    if (m_cancel->isCancelled())
        return next(&Installation::unlock);
    const Failure& blocked = m_report.blocked;
    m_plans = blocked ? RunPlans(m_templates.size(), *blocked) : m_steps->plan(m_templates);
    RunProgress totals;
    plannedTotals(m_plans, totals.filesTotal, totals.bytesTotal);
    // A full disk found midway would leave half the pack behind.
    if (!blocked) {
        qint64 toWrite = 0;
        for (const auto& planned : m_plans)
            toWrite += planned ? planned.value().bytesToWrite : 0;
        if ((m_report.blocked = spaceShortage(*m_platform.fileSystem,
                                              m_steps->installer().folder().path, toWrite))) {
            m_platform.output->line(m_report.blocked->description());
            m_plans = RunPlans(m_templates.size(), *m_report.blocked);
            totals = {};
        }
    }
    m_progress = m_published = totals;
    m_clock.start();
    m_sincePublished.start();
    Q_EMIT started(totals);
    if (m_templates.isEmpty())
        return next(&Installation::installFonts);
    QMetaObject::invokeMethod(
        this, [this] { installTemplate(0); }, Qt::QueuedConnection);
}

void Installation::installTemplate(int i) {
    Q_EMIT templateStarted(i);
    TemplateResult& result = m_report.templates[i];
    result.outcome = TemplateOutcome::failed;
    if (!m_plans[i]) {
        // Unplanned, it keeps the destination its name points to.
        result.error = m_plans[i].error();
    } else {
        const TemplatePlan& planned = m_plans[i].value();
        TemplateInstaller& installer = m_steps->installer();
        result.destination = planned.destination;
        // Decided now: an earlier template of this run may have made the folder.
        const bool existed =
            m_platform.fileSystem->type(planned.destination, true) == FileSystem::Type::folder;
        const qint64 writesBefore = installer.writes();
        result.error =
            m_steps->execute(planned, m_cancel.get(), [this](qint64 files, qint64 bytes) {
                m_progress.filesDone += files;
                m_progress.bytesDone += bytes;
                publishProgress(true);
            });
        if (!result.error)
            result.outcome = !existed                            ? TemplateOutcome::installed
                             : installer.writes() > writesBefore ? TemplateOutcome::merged
                                                                 : TemplateOutcome::unchanged;
        else if (result.error->cancelled())
            result.outcome = TemplateOutcome::cancelled;
    }
    if (result.outcome == TemplateOutcome::failed)
        m_platform.output->line(templateFailedLine(m_templates[i].originalName, *result.error));
    publishProgress(false);
    Q_EMIT templateFinished(i, result);
    if (m_cancel->isCancelled())
        return next(&Installation::unlock);
    if (i + 1 < m_templates.size())
        QMetaObject::invokeMethod(
            this, [this, i] { installTemplate(i + 1); }, Qt::QueuedConnection);
    else
        next(&Installation::installFonts);
}

void Installation::installFonts() {
    if (m_cancel->isCancelled() || m_report.blocked || (!m_options.fonts && !m_options.script))
        return next(&Installation::unlock);
    m_resources = findResourcePath(*m_platform.bundle, *m_platform.fileSystem, *m_platform.output);
    if (m_options.fonts) {
        FontsResult& fonts = m_report.fonts;
        fonts.state = FontsResult::State::failed;
        const FontReport report =
            m_resources
                ? installPackFonts(m_platform, *m_resources)
                : FontReport{
                      Error::of(ErrorKind::missing,
                                Text(tr, QT_TR_NOOP("无法找到资源文件夹"))),
                      std::nullopt,
                      {}};
        fonts.error = report.firstError;
        fonts.kept = report.kept;
        if (report.firstError)
            m_platform.output->line(QStringLiteral("字体安装失败: ") +
                                    report.firstError->description());
        else
            fonts.state = report.refusal ? FontsResult::State::installedPerUser
                                         : FontsResult::State::installed;
    }
    next(&Installation::unlock);
}

// Fonts go in under the same lock; the record is complete once the lock is let go.
void Installation::unlock() {
    if (!m_steps)
        return;
    if (std::exchange(m_locked, false))
        m_steps->unlock();
    m_report.record = m_steps->recordFailure();
    publishProgress(false);
    if (m_options.script && !m_cancel->isCancelled() && !m_report.blocked)
        m_report.script.state = ScriptResult::State::absent;
    m_steps.reset();
    next(&Installation::runScript);
}

void Installation::runScript() {
    const bool wanted = m_options.script && m_resources && !m_cancel->isCancelled();
    const auto script =
        wanted ? findPostInstallScript(*m_platform.fileSystem, *m_resources) : std::nullopt;
    if (!script || m_cancel->isCancelled())
        return next(&Installation::lookForEditor);
    if (script->notAFile) {
        const QString line = scriptNotAFileLine(script->path);
        m_platform.output->line(line);
        m_report.script = {ScriptResult::State::failed, ProcessOutcome{line, {}, 0, {}, 0}};
        return next(&Installation::lookForEditor);
    }
    Q_EMIT scriptStarted();
    QStringList installed;
    for (const TemplateResult& result : std::as_const(m_report.templates))
        if (result.outcome != TemplateOutcome::failed &&
            result.outcome != TemplateOutcome::cancelled)
            installed << result.destination;
    m_scriptRunning = true;
    m_platform.processRunner->run(scriptRequest(script->path, parentPath(script->path),
                                                TemplatesFolder::of(*m_platform.fileSystem).path,
                                                installed, Language::current()),
                                  this,
                                  [this](const ProcessOutcome& outcome) { scriptEnded(outcome); });
}

void Installation::scriptEnded(const ProcessOutcome& outcome) {
    m_scriptRunning = false;
    // Cancelled: no failure to report. Stopped because nobody is left to see it: the trace
    // still says how it ended.
    const bool stopped = m_cancel->isCancelled();
    const auto failure = scriptFailureLine(outcome);
    if (failure && !stopped)
        m_platform.output->line(*failure);
    m_report.script = {stopped   ? ScriptResult::State::cancelled
                       : failure ? ScriptResult::State::failed
                                 : ScriptResult::State::ok,
                       outcome};
    // Kept whatever its exit status.
    FileSystem& fs = *m_platform.fileSystem;
    if (const Failure error =
            writeScriptLog(fs, manifestLocation(fs, *m_platform.bundle).path, outcome))
        m_platform.output->line(error->description());
    lookForEditor();
}

void Installation::lookForEditor() {
    m_report.editorRunning = editorIsRunning(m_platform.runningPrograms.get());
    finish();
}

void Installation::finish() {
    if (m_watch)
        m_watch->stop();
    m_report.cancelled = m_cancel->isCancelled();
    Q_EMIT finished(m_report);
}

void Installation::publishProgress(bool throttled) {
    // About ten a second: the bar needs no more, and each is a turn of the main thread.
    if (throttled && m_sincePublished.isValid() && m_sincePublished.elapsed() < 100)
        return;
    m_sincePublished.start();
    RunProgress progress = m_progress;
    const qint64 elapsed = m_clock.isValid() ? m_clock.elapsed() : 0;
    if (progress.bytesDone > 0 && elapsed >= 1000 && progress.bytesTotal > progress.bytesDone)
        progress.secondsLeft = static_cast<int>(
            (progress.bytesTotal - progress.bytesDone) * elapsed / progress.bytesDone / 1000 + 1);
    if (progress == m_published)
        return;
    m_published = progress;
    Q_EMIT progressed(progress);
}

} // namespace Orvoinstaller
