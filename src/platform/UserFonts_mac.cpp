#include "platform/UserFonts.h"

#include "platform/NativePath.h"

namespace Orvoinstaller {

QString userFontsFolder() {
    // HOME as the bytes it is: QDir::homePath() decodes it as UTF-8, and falls back to "/".
    const QString home = environmentPath("HOME");
    if (!home.startsWith(QLatin1Char('/')) || home == QLatin1String("/"))
        return {};
    return home + QStringLiteral("/Library/Fonts");
}

} // namespace Orvoinstaller
