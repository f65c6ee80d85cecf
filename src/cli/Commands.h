#pragma once

#include "base/FolderItem.h"
#include "cli/Console.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QList>

namespace Orvoinstaller {

// 128 + the signal after SIGINT or SIGTERM, as a shell reports a process the signal ended.
enum ExitStatus { exitDone = 0, exitFailed = 1, exitUsage = 2 };

// Says the words of the command line's commands: Chinese source texts translated like the
// window's, so that both speak the same language.
struct CommandLine {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::CommandLine)
};

struct InstallOptions {
    QList<FolderItem> items; // with the names asked for
    bool hasFonts = false;   // the pack brings fonts
    bool fonts = false;
    bool script = true;
    bool compareBytes = false;
    bool json = false;
    QList<Error> packFailures; // parts of the pack that exist but could not be read
};

int installCommand(const Platform& platform, Console& console, const InstallOptions& options);
// How a shell takes `word` as one word: quoted unless it needs no quotes.
QString shellQuoted(QString word);

int uninstallCommand(const Platform& platform, Console& console, bool dryRun, bool json);

} // namespace Orvoinstaller
