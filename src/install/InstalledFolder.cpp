#include "install/InstalledFolder.h"

namespace Orvoinstaller {

bool mergesIntoInstalledFolder(const FileSystem& fs, const TemplateInstaller& installer,
                               FolderType kind, const QString& name) {
    return fs.type(joinPath(installer.kindFolder(kind), name)) == FileSystem::Type::folder;
}

} // namespace Orvoinstaller
