#include "platform/DataFolder.h"

namespace Orvoinstaller {

QString dataFolderInHome() {
    return QStringLiteral("Library/Application Support");
}

} // namespace Orvoinstaller
