#include "platform/UserFonts.h"

#include <QStandardPaths>

namespace Orvoinstaller {

QString userFontsFolder() {
    // ~/.local/share/fonts, or the same under $XDG_DATA_HOME.
    return QStandardPaths::writableLocation(QStandardPaths::FontsLocation);
}

} // namespace Orvoinstaller
