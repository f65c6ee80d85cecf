#include "cli/Commands.h"

#include "install/InstallSteps.h"
#include "install/Installation.h"
#include "install/Manifest.h"
#include "install/TemplateInstaller.h"
#include "platform/Terminal.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace Orvoinstaller {

namespace {

QString scriptWord(ScriptResult::State state) {
    switch (state) {
    case ScriptResult::State::absent:
        return QStringLiteral("absent");
    case ScriptResult::State::ok:
        return QStringLiteral("ok");
    case ScriptResult::State::failed:
        return QStringLiteral("failed");
    case ScriptResult::State::skipped:
        break;
    }
    return QStringLiteral("skipped");
}

QString fontsWord(FontsResult::State state) {
    switch (state) {
    case FontsResult::State::installed:
        return QStringLiteral("installed");
    case FontsResult::State::installedPerUser:
        return QStringLiteral("installed-per-user");
    case FontsResult::State::failed:
        return QStringLiteral("failed");
    case FontsResult::State::skipped:
        break;
    }
    return QStringLiteral("skipped");
}

QJsonObject templateJson(const FolderItem& item, const TemplateResult& result) {
    QJsonObject entry{{"kind", resourceFolderName(item.type)},
                      {"name", item.originalName},
                      {"newName", item.newName},
                      {"destination", result.destination},
                      {"result", outcomeName(result.outcome)}};
    if (result.error)
        entry.insert("error", result.error->description());
    return entry;
}

QJsonObject scriptJson(const ScriptResult& script) {
    QJsonObject entry{{"result", scriptWord(script.state)}};
    if (script.process) {
        const ProcessOutcome& process = *script.process;
        entry.insert("exitCode", process.startError ? -1 : process.exitStatus);
        entry.insert("output",
                     process.startError ? *process.startError : QString::fromUtf8(process.output));
    }
    return entry;
}

QString progressLine(const RunProgress& progress, const QString& current) {
    const QLocale c = QLocale::c();
    const qint64 total = progress.bytesTotal, done = progress.bytesDone;
    const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
    return QStringLiteral("%1 / %2 (%3%)  %4")
        .arg(c.formattedDataSize(done), c.formattedDataSize(total))
        .arg(percent)
        .arg(current);
}

} // namespace

int installCommand(const Platform& platform, Console& console, const InstallOptions& options) {
    Installation run(platform, options.items,
                     {options.compareBytes, options.fonts && options.hasFonts, options.script});
    cancelOnTermination(run.cancelToken().get());
    QString current;
    RunProgress progress;
    QObject::connect(&run, &Installation::waiting, &run,
                     [&] { console.toError(QString::fromUtf8(InstallSteps::waitingText)); });
    QObject::connect(&run, &Installation::templateStarted, &run,
                     [&](int index) { current = options.items[index].originalName; });
    QObject::connect(&run, &Installation::progressed, &run, [&](const RunProgress& now) {
        progress = now;
        console.progress(progressLine(progress, current));
    });
    InstallationReport report;
    QEventLoop loop;
    QObject::connect(&run, &Installation::finished, &loop,
                     [&](const InstallationReport& done) {
                         report = done;
                         loop.quit();
                     });
    run.start();
    loop.exec();
    cancelOnTermination(nullptr);
    console.endProgress();
    if (report.blocked)
        console.toError(QStringLiteral("Cannot install into %1: %2")
                            .arg(TemplateInstaller(*platform.fileSystem, console).templatesFolder(),
                                 report.blocked->description()));

    const int installed = report.count(TemplateOutcome::installed) +
                          report.count(TemplateOutcome::merged) +
                          report.count(TemplateOutcome::unchanged);
    const QString summary =
        QStringLiteral("%1: %2 of %3 templates installed, %4 failed; script %5; fonts %6")
            .arg(report.cancelled ? QStringLiteral("Cancelled") : QStringLiteral("Done"))
            .arg(installed)
            .arg(options.items.size())
            .arg(report.count(TemplateOutcome::failed))
            .arg(scriptWord(report.script.state), fontsWord(report.fonts.state));
    const int status = report.succeeded() ? exitDone : exitFailed;
    if (!options.json) {
        console.toOutput(summary);
        return status;
    }
    console.toError(summary);
    QJsonArray templates;
    for (qsizetype i = 0; i < options.items.size(); ++i)
        templates.append(templateJson(options.items[i], report.templates[i]));
    QJsonObject fontsEntry{{"result", fontsWord(report.fonts.state)}};
    if (report.fonts.error)
        fontsEntry.insert("error", report.fonts.error->description());
    const QJsonObject document{
        {"templates", templates}, {"fonts", fontsEntry}, {"script", scriptJson(report.script)}};
    console.toOutput(QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented)));
    return status;
}

int uninstallCommand(const Platform& platform, Console& console, bool dryRun) {
    const TemplateInstaller installer(*platform.fileSystem, console);
    if (const Failure home = installer.homeProblem()) {
        console.toError(home->description());
        return exitFailed;
    }
    // Takes the installers' lock itself. Nothing else happens meanwhile: the command line
    // has no window to keep drawing.
    const UninstallReport report = uninstallRecorded(
        *platform.fileSystem, defaultManifestLocation(installer.templatesFolder()), dryRun);
    if (report.refused) {
        console.toError(report.refused->description() + QStringLiteral(": nothing removed"));
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
        console.toOutput(QStringLiteral("failed: ") + error.description());
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
