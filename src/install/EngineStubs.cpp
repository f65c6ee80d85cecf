// Placeholder bodies until the engine lands.
#include "model/InstallerViewModel.h"

namespace Orvoinstaller {

Status InstallerViewModel::mergeDirectories(const QString&, const QString&) { return std::nullopt; }
Task InstallerViewModel::installPlugins() { co_return; }
void InstallerViewModel::installFonts() {}
ProcessFinished InstallerViewModel::runPostInstallScript(QString scriptPath) {
    return ProcessFinished(*m_platform.processRunner, QStringLiteral("/bin/sh"), {scriptPath}, this);
}

} // namespace Orvoinstaller
