#pragma once

#include <QString>

namespace Orvoinstaller {

// Whether the arguments ask for the command line instead of the window: any option but Qt's
// own window options (-platform, --style, …) and what macOS adds (-psn_…), or no way to
// show the window without a `display`. Read from argv before any application object exists,
// since the window's aborts where there is no display.
bool wantsCommandLine(int argc, char* argv[], bool display);

// Lists, installs, uninstalls or makes an installer (--make-installer) without a window; returns
// the exit status: 0 done, 1 something failed, 2 the arguments are wrong (and nothing was written),
// 128 + the signal when SIGINT or SIGTERM stopped it.
int runCommandLine(int argc, char* argv[]);

} // namespace Orvoinstaller
