#include "platform/DataFolder.h"

namespace Orvoinstaller {

QString dataFolderInHome() {
    return QStringLiteral(".local/share");
}

} // namespace Orvoinstaller
