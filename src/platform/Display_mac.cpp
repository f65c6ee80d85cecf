#include "platform/Display.h"

namespace Orvoinstaller {

// The window server is part of every session that can start the program.
bool displayAvailable() {
    return true;
}

} // namespace Orvoinstaller
