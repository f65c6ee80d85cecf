#pragma once

namespace Orvoinstaller {

// Whether a window could be shown, judged before any application object exists: Qt's
// window aborts the process where there is none.
bool displayAvailable();

} // namespace Orvoinstaller
