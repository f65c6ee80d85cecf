#include "model/InstallerViewModel.h"

#include "discovery/Discovery.h"
#include "discovery/TutorialUrl.h"
#include "install/EditorRestart.h"
#include "install/Fonts.h"
#include "install/InstallSteps.h"
#include "install/PostInstallScript.h"
#include "install/TemplateInstaller.h"
#include "platform/Language.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>

namespace Orvoinstaller {

namespace {

// Hands `result` to `done` on the main thread, unless `receiver` is gone by then: asked
// there, where the receiver is deleted. From the worker.
template <typename T>
void backToMain(QPointer<QObject> receiver, std::function<void(T)> done, T result) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [receiver, done = std::move(done), result = std::move(result)]() mutable {
            if (receiver && done)
                done(std::move(result));
        },
        Qt::QueuedConnection);
}

// The fonts button's work, on the worker. Under the installers' lock, as a run's fonts are:
// two installers copying the same fonts would trip over each other's temporaries. While
// another holds it (a run of this window among them) the lock is tried again later, leaving
// the worker to that run meanwhile. Without a home there is no lock to take, and the system
// folder needs none.
void installFontsLocked(Worker& worker, std::shared_ptr<InstallSteps> steps, Platform platform,
                        QString resources, std::function<void(FontReport)> done) {
    if (const Result<bool> taken = steps->tryLock(); taken && !taken.value())
        return worker.postAfter(InstallerViewModel::lockRetryMilliseconds,
                                [&worker, steps, platform, resources, done] {
                                    installFontsLocked(worker, steps, platform, resources, done);
                                });
    FontReport report = installPackFonts(platform, resources);
    steps->unlock();
    done(std::move(report));
}

} // namespace

InstallerViewModel::InstallerViewModel(Platform platform, QObject* parent)
    : QObject(parent), m_platform(std::move(platform)),
      m_templatesFolder(TemplatesFolder::of(*m_platform.fileSystem)) {
    scanFolders();
    loadTutorialURL();
}

InstallerViewModel::~InstallerViewModel() = default;

void InstallerViewModel::print(const QString& line) const {
    m_platform.output->line(line);
}

template <typename T>
void InstallerViewModel::onWorker(std::function<T()> work, std::function<void(T)> done) {
    m_platform.worker->post(
        [self = QPointer<QObject>(this), work = std::move(work), done = std::move(done)]() mutable {
            backToMain(self, std::move(done), work());
        });
}

// Setters: each announces the change before storing it.

void InstallerViewModel::setFolderItems(QList<FolderItem> items) {
    Q_EMIT objectWillChange();
    m_folderItems = std::move(items);
    m_invalidNames.clear();
    for (const FolderItem& item : std::as_const(m_folderItems))
        checkName(item);
    ++m_listGeneration;
}

void InstallerViewModel::appendFolderItem(FolderItem item) {
    Q_EMIT objectWillChange();
    checkName(item);
    m_folderItems.append(std::move(item));
    ++m_listGeneration;
}

void InstallerViewModel::checkName(const FolderItem& item) {
    if (checkFolderName(item.newName))
        m_invalidNames.insert(item.id);
    else
        m_invalidNames.remove(item.id);
}

void InstallerViewModel::setRowFailures(QHash<QUuid, Error> value) {
    Q_EMIT objectWillChange();
    m_rowFailures = std::move(value);
    ++m_listGeneration; // the rows show their marks
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
    m_installationProgress = std::move(value);
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
    ++m_listGeneration;
}

// What the window asks for.

void InstallerViewModel::renameTemplate(const QUuid& id, const QString& newName) {
    for (qsizetype i = 0; i < m_folderItems.size(); ++i) {
        if (m_folderItems[i].id != id)
            continue;
        // A running installation works on the names it started with; this edit is for the
        // next one.
        Q_EMIT objectWillChange();
        m_folderItems[i].newName = newName;
        m_rowFailures.remove(id);
        checkName(m_folderItems[i]);
        Q_EMIT templateRenamed(static_cast<int>(i));
        return;
    }
}

void InstallerViewModel::dismissInstallationAlert() {
    if (m_showInstallationAlert)
        setShowInstallationAlert(false);
}

void InstallerViewModel::requestUninstallPreview() {
    if (!m_isUninstalling && !m_isInstalling)
        runUninstall(true);
}

void InstallerViewModel::confirmUninstall() {
    if (m_uninstallOutcome && m_uninstallOutcome->dryRun && !m_isUninstalling && !m_isInstalling)
        runUninstall(false);
}

void InstallerViewModel::dismissUninstall() {
    if (m_uninstallOutcome && !m_isUninstalling)
        setUninstall(false, std::nullopt);
}

void InstallerViewModel::setUninstall(bool running, std::optional<UninstallOutcome> outcome) {
    Q_EMIT objectWillChange();
    m_isUninstalling = running;
    m_uninstallOutcome = std::move(outcome);
}

void InstallerViewModel::runUninstall(bool dryRun) {
    setUninstall(true, std::nullopt);
    onWorker<UninstallReport>(
        [fs = m_platform.fileSystem, bundle = m_platform.bundle, dryRun] {
            return uninstallRecorded(*fs, manifestLocation(*fs, *bundle), dryRun);
        },
        [this, dryRun](UninstallReport report) {
            setUninstall(false, UninstallOutcome{dryRun, std::move(report)});
            // Rows whose folder went show "new" again; the button follows the record.
            if (!dryRun)
                refreshInstalledFolders();
        });
}

QString InstallerViewModel::templatesFolder() const {
    return m_templatesFolder.path;
}

void InstallerViewModel::requestInstallPlugins() {
    auto self = shared_from_this();
    m_platform.mainQueue->post(this, [self] { self->installPlugins(); });
}

void InstallerViewModel::requestInstallFonts() {
    auto self = shared_from_this();
    m_platform.mainQueue->post(this, [self] { self->installFonts(); });
}

void InstallerViewModel::requestCancel() {
    if (!m_isInstalling || !m_run || m_cancelRequested)
        return;
    Q_EMIT objectWillChange();
    m_cancelRequested = true;
    m_run->cancel();
}

// Discovery.

std::optional<QString> InstallerViewModel::findResourcePath() const {
    return Orvoinstaller::findResourcePath(*m_platform.bundle, *m_platform.fileSystem,
                                           *m_platform.output);
}

void InstallerViewModel::scanFolders() {
    const auto resources = findResourcePath();
    if (!resources) {
        print(QStringLiteral("❌ 无法找到资源文件夹"));
        return;
    }
    const PackContents pack = scanPack(*m_platform.fileSystem, *resources, *m_platform.output);
    // One announced change per template, as the rows appear.
    setFolderItems({});
    for (const FolderItem& item : pack.templates)
        appendFolderItem(item);
    setHasFonts(pack.hasFonts);
    // Unreadable is not absent: the user learns before installing that something is left out.
    if (!pack.failures.isEmpty())
        setInstallationProgress(
            Text(tr, QT_TR_NOOP("模板包有一部分无法读取: %1"),
                 {pack.failures.first().text}));
}

// Read at once, like the scan, so the trace keeps its order; a small file.
void InstallerViewModel::loadTutorialURL() {
    const auto resources = findResourcePath();
    if (!resources)
        return;
    const auto address = readTutorialAddress(*m_platform.fileSystem, *resources, *m_platform.output,
                                             m_platform.branding.tutorialUrl);
    if (!address)
        return;
    // Assigned on a later turn, as a view's first layout must not see it yet.
    m_platform.mainQueue->post(this, [this, url = *address] { setTutorialURL(url); });
}

void InstallerViewModel::refreshInstalledFolders() {
    if (m_listing) {
        m_listAgain = true;
        return;
    }
    m_listing = true;
    m_listAgain = false;
    onWorker<std::pair<InstalledFolders, bool>>(
        [fs = m_platform.fileSystem, bundle = m_platform.bundle] {
            const auto record = loadManifest(*fs, manifestLocation(*fs, *bundle));
            // Folders alone, kept for the user's files in them, leave nothing to uninstall.
            const bool files =
                record.ok() && std::any_of(record.value().cbegin(), record.value().cend(),
                                           [](const ManifestEntry& entry) {
                                               return entry.facts.type != FileReader::Type::folder;
                                           });
            return std::pair{InstalledFolders::list(*fs), files};
        },
        [this](std::pair<InstalledFolders, bool> listed) {
            m_listing = false;
            // Unchanged, the window has nothing to draw again.
            if (!(listed.first == m_installedFolders))
                setInstalledFolders(std::move(listed.first));
            if (listed.second != m_hasRecord) {
                Q_EMIT objectWillChange();
                m_hasRecord = listed.second;
            }
            if (m_listAgain)
                refreshInstalledFolders();
        });
}

// Installation.

QString InstallerViewModel::destinationPath(FolderType type) const {
    return m_templatesFolder.destinationPath(type);
}

void InstallerViewModel::installPlugins() {
    // Also refuses a second press whose run was queued before this one began.
    if (m_isInstalling)
        return;
    m_cancelRequested = false;
    m_keepAlive = weak_from_this().lock();
    setIsInstalling(true);
    if (!m_rowFailures.isEmpty())
        setRowFailures({});
    // The names as they are now: edits made while the run goes on do not reach it.
    m_run.reset(new Installation(m_platform, m_folderItems));
    Installation* run = m_run.get();
    connect(run, &Installation::waiting, this,
            [this] { setInstallationProgress(Text(InstallSteps::tr, InstallSteps::waitingText)); });
    connect(run, &Installation::started, this, [this](RunProgress totals) {
        setInstallationProgress(Text(tr, QT_TR_NOOP("开始安装...")));
        setRunProgress(totals);
    });
    connect(run, &Installation::progressed, this, &InstallerViewModel::setRunProgress);
    connect(run, &Installation::templateStarted, this, [this, run](int index) {
        setInstallationProgress(Text(tr, QT_TR_NOOP("正在安装: %1"),
                                     {run->templates()[index].originalName}));
    });
    connect(run, &Installation::templateFinished, this,
            [this, run](int index, const TemplateResult& result) {
                const FolderItem& item = run->templates()[index];
                if (result.outcome == TemplateOutcome::failed)
                    setInstallationProgress(
                        Text(tr, QT_TR_NOOP("安装 %1 失败: %2"),
                             {item.originalName, result.error->text}));
                else if (result.outcome != TemplateOutcome::cancelled)
                    setInstallationProgress(
                        Text(tr, QT_TR_NOOP("已安装: %1"), {item.newName}));
            });
    connect(run, &Installation::scriptStarted, this, [this] {
        setInstallationProgress(Text(tr, QT_TR_NOOP("执行安装后脚本...")));
    });
    connect(run, &Installation::finished, this, &InstallerViewModel::runFinished);
    run->start();
}

void InstallerViewModel::runFinished(const InstallationReport& report) {
    InstallationSummary summary{
        static_cast<int>(report.templates.size()),
        report.count(TemplateOutcome::failed),
        report.script.state == ScriptResult::State::failed,
        report.cancelled,
        report.count(TemplateOutcome::installed) + report.count(TemplateOutcome::merged) +
            report.count(TemplateOutcome::unchanged),
        false,
        report.script.state == ScriptResult::State::failed && report.script.process
            ? scriptLastLines(*report.script.process)
            : QString()};
    summary.editorRunning = report.editorRunning;
    QHash<QUuid, Error> rowFailures;
    for (qsizetype i = 0; i < report.templates.size(); ++i) {
        const TemplateResult& result = report.templates[i];
        if (result.outcome != TemplateOutcome::failed || !result.error)
            continue;
        const FolderItem& item = m_run->templates()[i];
        summary.failures.append({item.originalName, *result.error});
        rowFailures.insert(item.id, *result.error);
    }
    summary.blocked = report.blocked;
    summary.record = report.record;
    m_lastReport = report;
    if (!rowFailures.isEmpty() || !m_rowFailures.isEmpty())
        setRowFailures(std::move(rowFailures));
    // The summary is in place before the alert that reads it is raised.
    setInstallationProgress(summary.cancelled ? cancelledStatus(summary)
                            : summary.blocked && summary.blocked->kind == ErrorKind::noSpace
                                ? summary.blocked->text
                                : Text(tr, QT_TR_NOOP("安装完成！")));
    setInstallationSummary(summary);
    setShowInstallationAlert(true);
    m_platform.mainQueue->post(this, [this] {
        setIsInstalling(false);
        Q_EMIT installationFinished();
        // Last: may be what keeps this object alive.
        m_keepAlive.reset();
    });
}

void InstallerViewModel::mergeDirectories(const QString& source, const QString& destination,
                                          std::function<void(Failure)> done) {
    onWorker<Failure>(
        [fs = m_platform.fileSystem, output = m_platform.output, source, destination] {
            return TemplateInstaller(*fs, *output).merge(source, destination);
        },
        [done = std::move(done)](Failure failure) {
            if (done)
                done(std::move(failure));
        });
}

void InstallerViewModel::runPostInstallScript(const QString& script,
                                              std::function<void(bool)> done) {
    // The run's own script would share the one process runner.
    if (m_isInstalling)
        return;
    Worker* worker = m_platform.worker.get();
    worker->post([worker, runner = m_platform.processRunner, output = m_platform.output,
                  request = scriptRequest(script, parentPath(script), templatesFolder(), {},
                                          Language::current()),
                  self = QPointer<QObject>(this), done = std::move(done)] {
        runner->run(request, worker->context(), [output, self, done](ProcessOutcome outcome) {
            const auto failure = scriptFailureLine(outcome);
            if (failure)
                output->line(*failure);
            backToMain(self, done, !failure);
        });
    });
}

void InstallerViewModel::installFonts() {
    const std::function<void(FontReport)> shown = [this](FontReport report) {
        if (report.firstError)
            setInstallationProgress(Text(tr, QT_TR_NOOP("字体安装失败: %1"),
                                         {report.firstError->text}));
        else if (report.refusal)
            setInstallationProgress(
                Text(tr, QT_TR_NOOP("字体已安装到当前用户的字体文件夹")));
        else
            setInstallationProgress(Text(tr, QT_TR_NOOP("字体安装完成")));
    };
    Platform platform = m_platform;
    // What lives on the worker must not hold it.
    Worker* worker = std::exchange(platform.worker, nullptr).get();
    worker->post([worker, platform, self = QPointer<QObject>(this), shown] {
        const auto resources = Orvoinstaller::findResourcePath(
            *platform.bundle, *platform.fileSystem, *platform.output);
        if (!resources)
            return;
        auto steps = std::make_shared<InstallSteps>(
            *platform.fileSystem, *platform.output,
            manifestLocation(*platform.fileSystem, *platform.bundle));
        installFontsLocked(*worker, steps, platform, *resources,
                           [self, shown](FontReport report) { backToMain(self, shown, report); });
    });
}

// Texts.

QString InstallerViewModel::installationAlertTitle() const {
    const auto& summary = m_installationSummary;
    if (summary.cancelled)
        return tr("安装已取消");
    if (summary.itemCount > 0 && summary.failedCount >= summary.itemCount)
        return tr("插件未能安装");
    if (summary.failedCount > 0)
        return tr("部分插件未能安装");
    return tr("安装完成！", "title");
}

QString InstallerViewModel::installationAlertMessage() const {
    const auto& summary = m_installationSummary;
    QString message;
    if (summary.cancelled) {
        message = cancelledStatus(summary).translated();
    } else if (summary.failedCount == 0 && !summary.scriptFailed) {
        message = tr("插件安装成功！");
    } else if (summary.failedCount == 0) {
        message =
            tr("插件已安装，但安装后脚本执行失败");
    } else if (summary.blocked) {
        // One reason for every template: said once.
        message = summary.blocked->text.translated();
    } else {
        message = tr("%1 个插件安装失败，共 %2 个")
                      .arg(summary.failedCount)
                      .arg(summary.itemCount);
        if (summary.scriptFailed)
            message += tr("；安装后脚本也执行失败");
        // Enough to act on; the trace has them all.
        constexpr qsizetype shownFailures = 10;
        for (qsizetype i = 0; i < std::min(shownFailures, summary.failures.size()); ++i)
            message += QLatin1Char('\n') + summary.failures[i].first +
                       tr("：") +
                       summary.failures[i].second.text.translated();
        if (summary.failures.size() > shownFailures)
            message +=
                QLatin1Char('\n') + tr("…还有 %1 个")
                                        .arg(summary.failures.size() - shownFailures);
    }
    // What the script said last tells why it failed.
    if (summary.scriptFailed && !summary.scriptOutput.isEmpty())
        message += QStringLiteral("\n\n") + summary.scriptOutput;
    if (summary.record)
        message += QLatin1Char('\n') +
                   tr(
                                               "安装记录未能保存，卸载将无法删除本次安装的文件：") +
                   summary.record->text.translated();
    // Its own line, whatever the run's outcome.
    if (summary.editorRunning)
        message += QLatin1Char('\n') +
                   tr(
                                               "请重新启动 Final Cut Pro 以载入新模板");
    return message;
}

QString InstallerViewModel::waitingStatus() {
    return QString::fromUtf8(InstallSteps::waitingText);
}

Text InstallerViewModel::cancelledStatus(const InstallationSummary& summary) {
    return Text(tr, QT_TR_NOOP("安装已取消：已安装 %1 个，共 %2 个"),
                {QString::number(summary.installedCount), QString::number(summary.itemCount)});
}

} // namespace Orvoinstaller
