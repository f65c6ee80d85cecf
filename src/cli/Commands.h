#pragma once

#include "cli/Console.h"
#include "base/FolderItem.h"
#include "platform/Platform.h"

#include <QList>

namespace Orvoinstaller {

enum ExitStatus { exitDone = 0, exitFailed = 1, exitUsage = 2 };

struct InstallOptions {
    QList<FolderItem> items; // with the names asked for
    bool hasFonts = false;   // the pack brings fonts
    bool fonts = false;
    bool script = true;
    bool compareBytes = false;
    bool json = false;
};

int installCommand(const Platform& platform, Console& console, const InstallOptions& options);
int uninstallCommand(const Platform& platform, Console& console, bool dryRun);

} // namespace Orvoinstaller
