#pragma once

#include "platform/RunningPrograms.h"

namespace Orvoinstaller {

// Final Cut Pro reads Motion templates when it starts, so one running now must be restarted
// to see what was installed. False when there is no list or it cannot be read.
bool editorIsRunning(const RunningPrograms* programs);

} // namespace Orvoinstaller
