#pragma once

#include <QString>

namespace Orvoinstaller {

// Whether the arguments ask for the command line instead of the window: an option with two
// dashes (a known one, or an unknown one that is a usage error), or -h, -? or -v. Read from
// argv before any application object exists, since the window's needs a display; Qt's own
// window options (-platform, --style, …) and macOS's -psn_… are not ours.
bool wantsCommandLine(int argc, char* argv[]);

// Lists, installs or uninstalls without a window; returns the exit status: 0 done, 1
// something failed, 2 the arguments are wrong (and nothing was written).
int runCommandLine(int argc, char* argv[], const QString& version);

} // namespace Orvoinstaller
