#include "platform/UserFonts.h"

#include "platform/NativePath.h"

namespace Orvoinstaller {

QString userFontsFolder() {
    // ~/.local/share/fonts, or the same under $XDG_DATA_HOME. A relative XDG_DATA_HOME is
    // ignored, as the XDG rules say, rather than taken from wherever the installer started;
    // both are kept as the bytes they are (QStandardPaths would decode them as UTF-8).
    const QString data = environmentPath("XDG_DATA_HOME");
    if (data.startsWith(QLatin1Char('/')))
        return data + QStringLiteral("/fonts");
    const QString home = environmentPath("HOME");
    if (!home.startsWith(QLatin1Char('/')) || home == QLatin1String("/"))
        return {};
    return home + QStringLiteral("/.local/share/fonts");
}

} // namespace Orvoinstaller
