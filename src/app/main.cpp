#include "cli/CommandLine.h"
#include "cli/Icns.h"
#include "platform/Display.h"
#include "platform/FileSystem.h"
#include "ui/PluginInstallerApp.h"

#include <QPixmap>

namespace {

// The bundle's own icon, for the window: a Mac's Dock finds it by itself, other systems only
// through the window.
QIcon bundleIcon(const Orvoinstaller::Platform& platform) {
    const auto resources = platform.bundle->resourcePath();
    if (!resources)
        return {};
    const auto icns = platform.fileSystem->readFile(*resources + QStringLiteral("/AppIcon.icns"));
    QIcon icon;
    if (icns)
        for (const QImage& image : Orvoinstaller::icnsImages(icns.value()))
            icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

} // namespace

int main(int argc, char* argv[]) {
    // Before any application object: the window's needs a display, the command line none.
    if (Orvoinstaller::wantsCommandLine(argc, argv, Orvoinstaller::displayAvailable()))
        return Orvoinstaller::runCommandLine(argc, argv);
    return Orvoinstaller::PluginInstallerApp::main(argc, argv, bundleIcon);
}
