#include "model/InstallerViewModel.h"

#include "platform/Utf8.h"

namespace Orvoinstaller {

ProcessFinished InstallerViewModel::runPostInstallScript(QString scriptPath) {
    // The output holds both streams, interleaved as the script wrote them.
    auto report = [this](const ProcessOutcome& outcome) {
        if (cancelRequested())
            return; // stopped on purpose: no failure to report
        if (outcome.startError) {
            print(QStringLiteral("脚本执行出错: ") + *outcome.startError);
            return;
        }
        if (outcome.exitStatus == 0)
            return;
        if (outcome.readError) {
            print(QStringLiteral("脚本执行出错: ") + *outcome.readError);
            return;
        }
        const QString omitted =
            outcome.omittedBytes > 0
                ? QStringLiteral("（输出过长，已省略前面的 %1 字节）\n").arg(outcome.omittedBytes)
                : QString();
        print(QStringLiteral("脚本执行失败: ") + omitted +
              decodeUtf8(outcome.output).value_or(QStringLiteral("未知错误")));
    };
    return ProcessFinished(*m_platform.processRunner, QStringLiteral("/bin/sh"),
                           {std::move(scriptPath)}, this, std::move(report));
}

} // namespace Orvoinstaller
