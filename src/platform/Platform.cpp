#include "platform/Platform.h"

#include "platform/QtProcessRunner.h"
#include "platform/RealFileSystem.h"
#include "platform/UserFonts.h"

#include <QCoreApplication>

namespace Orvoinstaller {

Platform Platform::real() {
    Platform platform;
    platform.fileSystem = std::make_shared<RealFileSystem>();
    platform.bundle = std::make_shared<ExecutableBundle>(QCoreApplication::applicationDirPath());
    platform.mainQueue = std::make_shared<QtMainQueue>();
    platform.output = std::make_shared<StdoutOutput>();
    platform.processRunner = std::make_shared<QtProcessRunner>();
    platform.runningPrograms = std::make_shared<SystemRunningPrograms>();
    platform.userFontsFolder = Orvoinstaller::userFontsFolder();
    return platform;
}

} // namespace Orvoinstaller
