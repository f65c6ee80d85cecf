#include "platform/Platform.h"

#include "platform/QtProcessRunner.h"
#include "platform/RealFileSystem.h"
#include "platform/UserFonts.h"

#include <QCoreApplication>

namespace Orvoinstaller {

Platform Platform::real(PlatformParts parts) {
    Platform platform;
    platform.fileSystem =
        std::make_shared<RealFileSystem>(std::move(parts.home), std::move(parts.dataFolder));
    platform.bundle =
        parts.bundle ? std::move(parts.bundle)
                     : std::make_shared<ExecutableBundle>(QCoreApplication::applicationDirPath());
    platform.mainQueue =
        parts.mainQueue ? std::move(parts.mainQueue) : std::make_shared<QtMainQueue>();
    platform.output = parts.output ? std::move(parts.output) : std::make_shared<StdoutOutput>();
    platform.processRunner = std::make_shared<QtProcessRunner>();
    if (!parts.fontsFolder.isEmpty())
        platform.fontsFolder = std::move(parts.fontsFolder);
    platform.runningPrograms = std::make_shared<SystemRunningPrograms>();
    platform.worker = std::make_shared<Worker>();
    platform.userFontsFolder = Orvoinstaller::userFontsFolder();
    QStringList problems;
    platform.branding = Branding::fromInfo(platform.bundle->info(), problems);
    for (const QString& problem : std::as_const(problems))
        platform.output->line(problem);
    return platform;
}

} // namespace Orvoinstaller
