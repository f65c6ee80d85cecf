#include "cli/CommandLine.h"
#include "platform/Display.h"
#include "ui/PluginInstallerApp.h"

int main(int argc, char* argv[]) {
    // Before any application object: the window's needs a display, the command line none.
    if (Orvoinstaller::wantsCommandLine(argc, argv, Orvoinstaller::displayAvailable()))
        return Orvoinstaller::runCommandLine(argc, argv);
    return Orvoinstaller::PluginInstallerApp::main(argc, argv);
}
