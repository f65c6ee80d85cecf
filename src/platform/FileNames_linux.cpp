#include "platform/FileNames.h"

namespace Orvoinstaller {

QString fileNameKey(const QString& name) {
    return name;
}

} // namespace Orvoinstaller
