#include "model/InstallerViewModel.h"

namespace Orvoinstaller {

QString InstallerViewModel::destinationPath(FolderType type) const {
    const QString templates = joinPath(m_platform.fileSystem->homeDirectory(),
                                       QString::fromUtf8(motionTemplatesRelativePath));
    return joinPath(templates, kindFolderName(type));
}

} // namespace Orvoinstaller
