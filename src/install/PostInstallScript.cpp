#include "install/PostInstallScript.h"

#include "discovery/Pack.h"
#include "install/Manifest.h"
#include "platform/Utf8.h"

#include <QCoreApplication>

#include <algorithm>

namespace Orvoinstaller {

std::optional<PostInstallScript> findPostInstallScript(const FileReader& fs,
                                                       const QString& resources) {
    const QString script = Pack{resources}.script();
    if (fs.type(script, true) == FileReader::Type::missing)
        return std::nullopt;
    return PostInstallScript{script, fs.type(script, true) != FileReader::Type::file};
}

QString scriptNotAFileLine(const QString& path) {
    return QStringLiteral("脚本执行出错: “%1” 不是普通文件，不会运行它").arg(path);
}

// The output holds both streams, interleaved as the script wrote them.
std::optional<QString> scriptFailureLine(const ProcessOutcome& outcome) {
    if (outcome.startError)
        return QStringLiteral("脚本执行出错: ") + *outcome.startError;
    if (outcome.exitStatus == 0)
        return std::nullopt;
    if (outcome.readError)
        return QStringLiteral("脚本执行出错: ") + *outcome.readError;
    const QString omitted =
        outcome.omittedBytes > 0
            ? QStringLiteral("（输出过长，已省略前面的 %1 字节）\n").arg(outcome.omittedBytes)
            : QString();
    return QStringLiteral("脚本执行失败: ") + omitted +
           decodeUtf8(outcome.output).value_or(QStringLiteral("未知错误"));
}

ProcessRequest scriptRequest(const QString& script, const QString& resources,
                             const QString& templatesFolder, const QStringList& installed,
                             const QString& language) {
    return {PostInstallScript::program(),
            {script},
            resources,
            {{QStringLiteral("PLUGININSTALLER_TEMPLATES_FOLDER"), templatesFolder},
             {QStringLiteral("PLUGININSTALLER_INSTALLED"), installed.join(QLatin1Char('\n'))},
             {QStringLiteral("PLUGININSTALLER_LANGUAGE"),
              language.isEmpty() ? QStringLiteral("zh") : language}}};
}

QString scriptLogPath(const QString& manifestPath) {
    return joinPath(parentPath(manifestPath), QStringLiteral("post-install.log"));
}

namespace {

// Says why the script's output could not be kept.
struct ScriptLog {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::ScriptLog)

public:
    static Failure write(FileWriter& fs, const QString& manifestPath,
                         const ProcessOutcome& outcome);
};

} // namespace

Failure writeScriptLog(FileWriter& fs, const QString& manifestPath, const ProcessOutcome& outcome) {
    return ScriptLog::write(fs, manifestPath, outcome);
}

Failure ScriptLog::write(FileWriter& fs, const QString& manifestPath,
                         const ProcessOutcome& outcome) {
    if (manifestPath.isEmpty())
        return Error::of(ErrorKind::missing,
                         Text(tr, QT_TR_NOOP("无法保存脚本输出: 系统没有提供应用数据文件夹")));
    QByteArray log;
    if (outcome.omittedBytes > 0)
        log += QStringLiteral("（输出过长，已省略前面的 %1 字节）\n")
                   .arg(outcome.omittedBytes)
                   .toUtf8();
    log += outcome.output;
    if (outcome.startError)
        log += outcome.startError->toUtf8() + '\n';
    else
        log += "[exit status " + QByteArray::number(outcome.exitStatus) + "]\n";
    const QString path = scriptLogPath(manifestPath);
    Failure failed = fs.createDirectories(parentPath(path));
    if (!failed)
        failed = fs.writeFileAtomically(path, log);
    // The system's reason under this line's own words; without one, the file system's line.
    if (failed && failed->code != 0)
        return Error::saying(
            Text(tr, QT_TR_NOOP("无法保存脚本输出 “%1”: %2"),
                 {path, systemReason(failed->code, qt_error_string(failed->code))}),
            failed->code);
    return failed;
}

QString scriptLastLines(const ProcessOutcome& outcome, int lines) {
    if (outcome.startError)
        return *outcome.startError;
    if (outcome.exitStatus == 0)
        return {};
    const QStringList all =
        decodeUtf8(outcome.output).value_or(QString()).trimmed().split(QLatin1Char('\n'));
    // An alert is no place for a page of text: the end of the last few lines.
    return all.mid(std::max<qsizetype>(0, all.size() - lines))
        .join(QLatin1Char('\n'))
        .right(scriptLastLinesLength)
        .trimmed();
}

} // namespace Orvoinstaller
