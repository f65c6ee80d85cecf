#pragma once

#include "base/Branding.h"
#include "platform/Bundle.h"
#include "platform/FileSystem.h"
#include "platform/MainQueue.h"
#include "platform/Output.h"
#include "platform/Process.h"
#include "platform/RunningPrograms.h"
#include "platform/Worker.h"

#include <memory>

namespace Orvoinstaller {

// What a program that lays out its own bundle (the tests, the renderer, the bench) puts in
// place of the running application's services; what it leaves empty stays real.
struct PlatformParts {
    QString home = {};       // the file system's home folder; empty for the user's own
    QString dataFolder = {}; // where records are kept; empty for the home's own
    std::shared_ptr<Bundle> bundle = {};
    std::shared_ptr<MainQueue> mainQueue = {};
    std::shared_ptr<DiagnosticOutput> output = {};
    QString fontsFolder = {}; // empty for /Library/Fonts
};

// The services the state object uses; tests replace any of them.
struct Platform {
    std::shared_ptr<FileSystem> fileSystem;
    std::shared_ptr<Bundle> bundle;
    std::shared_ptr<MainQueue> mainQueue;
    std::shared_ptr<DiagnosticOutput> output;
    std::shared_ptr<ProcessRunner> processRunner;
    std::shared_ptr<RunningPrograms> runningPrograms;
    // The one thread all file work of the program runs on.
    std::shared_ptr<Worker> worker;
    QString fontsFolder = QStringLiteral("/Library/Fonts");
    // Where fonts go when the system folder refuses them.
    QString userFontsFolder;
    // Whose installer this is, as the bundle's Info.plist says.
    Branding branding = Branding::defaults();

    // The real services of the running application, with `parts` in place of some.
    static Platform real(PlatformParts parts = {});
};

} // namespace Orvoinstaller
