#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace Orvoinstaller {

// The lock every run that changes the templates folder holds while it works (installs,
// uninstalls), not yet taken; the folder must exist. A holder that died is found by its
// process id, so a long run never counts as stale.
std::unique_ptr<QLockFile> templatesFolderLock(const QString& templatesFolder);

} // namespace Orvoinstaller
