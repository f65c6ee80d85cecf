#include "platform/Display.h"

#include <QtGlobal>

namespace Orvoinstaller {

bool displayAvailable() {
    // A platform named outright (offscreen, say) needs no display server.
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace Orvoinstaller
