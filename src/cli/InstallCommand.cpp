#include "cli/Commands.h"

#include "install/InstallSteps.h"
#include "install/Installation.h"
#include "install/Manifest.h"
#include "install/TemplateInstaller.h"
#include "install/TemplatesFolder.h"
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
    case ScriptResult::State::cancelled:
        return QStringLiteral("cancelled");
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

// The same words for people, in the summary.
QString scriptSaid(ScriptResult::State state) {
    switch (state) {
    case ScriptResult::State::absent:
        return CommandLine::tr("无");
    case ScriptResult::State::ok:
        return CommandLine::tr("成功");
    case ScriptResult::State::failed:
        return CommandLine::tr("失败");
    case ScriptResult::State::cancelled:
        return CommandLine::tr("中止");
    case ScriptResult::State::skipped:
        break;
    }
    return CommandLine::tr("跳过");
}

QString fontsSaid(FontsResult::State state) {
    switch (state) {
    case FontsResult::State::installed:
        return CommandLine::tr("已安装");
    case FontsResult::State::installedPerUser:
        return CommandLine::tr("已安装到当前用户的字体文件夹");
    case FontsResult::State::failed:
        return CommandLine::tr("失败");
    case FontsResult::State::skipped:
        break;
    }
    return CommandLine::tr("跳过");
}

// What a script tests and what a person reads.
QJsonObject errorJson(const Error& error) {
    return {{"code", errorCode(error.kind)}, {"message", error.text.translated()}};
}

QJsonObject templateJson(const FolderItem& item, const TemplateResult& result) {
    QJsonObject entry{{"kind", resourceFolderName(item.type)},
                      {"name", item.originalName},
                      {"newName", item.newName},
                      {"destination", result.destination},
                      {"result", outcomeName(result.outcome)}};
    // A template the cancel kept from starting has no error of its own.
    if (result.error || result.outcome == TemplateOutcome::cancelled)
        entry.insert("error", errorJson(result.error.value_or(TemplateInstaller::cancelled())));
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

QJsonObject documentJson(const InstallOptions& options, const InstallationReport& report) {
    QJsonObject summary;
    QJsonArray templates;
    for (const TemplateOutcome outcome :
         {TemplateOutcome::installed, TemplateOutcome::merged, TemplateOutcome::unchanged,
          TemplateOutcome::failed, TemplateOutcome::cancelled})
        summary.insert(outcomeName(outcome), report.count(outcome));
    for (qsizetype i = 0; i < options.items.size(); ++i)
        templates.append(templateJson(options.items[i], report.templates[i]));
    QJsonObject fonts{{"result", fontsWord(report.fonts.state)}};
    if (report.fonts.error)
        fonts.insert("error", errorJson(*report.fonts.error));
    if (!report.fonts.kept.isEmpty())
        fonts.insert("kept", QJsonArray::fromStringList(report.fonts.kept));
    QJsonArray pack;
    for (const Error& failure : options.packFailures)
        pack.append(errorJson(failure));
    QJsonObject record{{"result", report.record ? "failed" : "ok"}};
    if (report.record)
        record.insert("error", errorJson(*report.record));
    return {{"format", 1},       {"summary", summary},
            {"record", record},  {"templates", templates},
            {"fonts", fonts},    {"script", scriptJson(report.script)},
            {"packErrors", pack}};
}

// Why what failed failed, on standard error; the summary or the document says how many.
void sayFailures(Console& console, const InstallOptions& options,
                 const InstallationReport& report) {
    for (qsizetype i = 0; i < options.items.size() && !report.blocked; ++i)
        if (report.templates[i].outcome == TemplateOutcome::failed)
            console.toError(CommandLine::tr("%1 未能安装: %2")
                                .arg(resourceFolderName(options.items[i].type) + QLatin1Char('/') +
                                         options.items[i].newName,
                                     report.templates[i].error->text.translated()));
    if (report.fonts.error)
        console.toError(CommandLine::tr("字体未能安装: %1").arg(report.fonts.error->text.translated()));
    if (report.record)
        console.toError(CommandLine::tr("安装记录未能保存: %1").arg(report.record->text.translated()));
    if (report.script.state == ScriptResult::State::failed && report.script.process) {
        const ProcessOutcome& process = *report.script.process;
        console.toError(process.startError
                            ? CommandLine::tr("安装后脚本无法启动: %1").arg(*process.startError)
                            : CommandLine::tr("安装后脚本失败，退出状态 %1").arg(process.exitStatus));
    }
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
    const Installation::Owned run(new Installation(
        platform, options.items,
        {options.compareBytes, options.fonts && options.hasFonts, options.script}));
    cancelOnTermination(run->cancelToken().get());
    QString current;
    RunProgress progress;
    // Heard here, on the main thread: the run lives on the worker.
    QEventLoop loop;
    QObject::connect(run.get(), &Installation::waiting, &loop,
                     [&] { console.note(Text(InstallSteps::tr, InstallSteps::waitingText).translated()); });
    QObject::connect(run.get(), &Installation::templateStarted, &loop,
                     [&](int index) { current = options.items[index].originalName; });
    QObject::connect(run.get(), &Installation::progressed, &loop, [&](const RunProgress& now) {
        progress = now;
        console.progress(progressLine(progress, current));
    });
    InstallationReport report;
    QObject::connect(run.get(), &Installation::finished, &loop,
                     [&](const InstallationReport& done) {
                         report = done;
                         loop.quit();
                     });
    run->start();
    loop.exec();
    cancelOnTermination(nullptr);
    console.endProgress();
    if (report.blocked)
        console.toError(CommandLine::tr("无法安装到 %1: %2")
                            .arg(TemplatesFolder::of(*platform.fileSystem).path,
                                 report.blocked->text.translated()));
    sayFailures(console, options, report);

    const int signal = terminationSignal();
    const int status = signal                                                 ? 128 + signal
                       : report.succeeded() && options.packFailures.isEmpty() ? exitDone
                                                                              : exitFailed;
    if (options.json) {
        console.document(
            QString::fromUtf8(QJsonDocument(documentJson(options, report)).toJson()).trimmed());
        return status;
    }
    const auto count = [&](TemplateOutcome outcome) {
        return QString::number(report.count(outcome));
    };
    console.toOutput(
        CommandLine::tr("%1：共 %2 个模板：新安装 %3 个，合并 %4 个，无变化 %5 个，失败 %6 个，取消 %7 "
                "个；脚本: %8；字体: %9")
            .arg(report.cancelled ? CommandLine::tr("已取消") : CommandLine::tr("完成"),
                 QString::number(options.items.size()), count(TemplateOutcome::installed),
                 count(TemplateOutcome::merged), count(TemplateOutcome::unchanged),
                 count(TemplateOutcome::failed), count(TemplateOutcome::cancelled),
                 scriptSaid(report.script.state), fontsSaid(report.fonts.state)));
    return status;
}

int uninstallCommand(const Platform& platform, Console& console, bool dryRun, bool json) {
    if (const Failure home = homeProblem(*platform.fileSystem)) {
        console.toError(home->text.translated());
        return exitFailed;
    }
    // Takes the installers' lock itself. Nothing else happens meanwhile: the command line
    // has no window to keep drawing.
    const UninstallReport report = uninstallRecorded(
        *platform.fileSystem, manifestLocation(*platform.fileSystem, *platform.bundle), dryRun);
    // Nothing to uninstall is no failure, whether no run ever recorded anything or an earlier
    // uninstall took it all; the words say which.
    const bool noRecord = report.refused && report.refused->kind == ErrorKind::missing;
    const bool emptyRecord = !report.refused && report.removed.isEmpty() &&
                             report.removedFolders.isEmpty() && report.kept.isEmpty() &&
                             report.failed.isEmpty();
    const int status = noRecord || emptyRecord || report.ok() ? exitDone : exitFailed;
    if (json) {
        QJsonArray kept, failed;
        for (const Text& line : report.keptText)
            kept.append(line.translated());
        for (const Error& error : report.failed)
            failed.append(errorJson(error));
        QJsonObject document{{"format", 1},
                             {"dryRun", dryRun},
                             {"result", noRecord || emptyRecord ? "nothing"
                                        : report.refused        ? "refused"
                                        : report.ok()           ? "done"
                                                                : "failed"},
                             {"removed", QJsonArray::fromStringList(report.removed)},
                             {"removedFolders", QJsonArray::fromStringList(report.removedFolders)},
                             {"kept", kept},
                             {"failed", failed}};
        if (noRecord || emptyRecord)
            document.insert("nothing", noRecord ? "no-record" : "empty-record");
        else if (report.refused)
            document.insert("error", errorJson(*report.refused));
        console.toOutput(QString::fromUtf8(QJsonDocument(document).toJson()).trimmed());
        return status;
    }
    if (noRecord || emptyRecord) {
        console.toOutput(noRecord ? CommandLine::tr("没有已安装的模板：还没有安装记录。")
                                  : CommandLine::tr("没有已安装的模板：安装记录是空的。"));
        return status;
    }
    if (report.refused) {
        console.toError(CommandLine::tr("%1；未删除任何内容").arg(report.refused->text.translated()));
        return status;
    }
    // The lines' first words are for scripts and stay as they are; the reasons are for people.
    const QString removed = dryRun ? QStringLiteral("would remove") : QStringLiteral("removed");
    for (const QString& path : report.removed)
        console.toOutput(removed + QStringLiteral(": ") + path);
    for (const QString& path : report.removedFolders)
        console.toOutput(removed + QStringLiteral(" folder: ") + path);
    for (const Text& line : report.keptText)
        console.toOutput(QStringLiteral("kept: ") + line.translated());
    for (const Error& error : report.failed)
        console.toOutput(QStringLiteral("failed: ") + error.text.translated());
    const QString summary =
        dryRun ? CommandLine::tr("试运行：将删除 %1 个文件和 %2 个文件夹，将保留 %3 个，失败 %4 个")
               : CommandLine::tr("完成：已删除 %1 个文件和 %2 个文件夹，保留 %3 个，失败 %4 个");
    console.toOutput(summary.arg(
        QString::number(report.removed.size()), QString::number(report.removedFolders.size()),
        QString::number(report.kept.size()), QString::number(report.failed.size())));
    return status;
}

} // namespace Orvoinstaller
