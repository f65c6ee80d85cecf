#include "install/PostInstallScript.h"

#include "discovery/Pack.h"
#include "platform/Utf8.h"

namespace Orvoinstaller {

std::optional<PostInstallScript> findPostInstallScript(const FileSystem& fs,
                                                       const QString& resources) {
    const QString script = Pack{resources}.script();
    if (!fs.exists(script))
        return std::nullopt;
    return PostInstallScript{script, fs.type(script, true) != FileSystem::Type::file};
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

} // namespace Orvoinstaller
