#include "platform/UserFonts.h"

#include <QDir>

namespace Orvoinstaller {

QString userFontsFolder() {
    return QDir::homePath() + QStringLiteral("/Library/Fonts");
}

} // namespace Orvoinstaller
