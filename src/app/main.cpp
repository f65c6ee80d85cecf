#include "ui/PluginInstallerApp.h"

int main(int argc, char* argv[]) {
    return Orvoinstaller::PluginInstallerApp::main(argc, argv);
}
