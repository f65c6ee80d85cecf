#pragma once

#include <QString>

namespace Orvoinstaller {

// The current user's own fonts folder, which the system's font service reads as well.
QString userFontsFolder();

} // namespace Orvoinstaller
