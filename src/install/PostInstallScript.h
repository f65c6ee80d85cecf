#pragma once

#include "platform/FileSystem.h"
#include "platform/Process.h"

#include <optional>

namespace Orvoinstaller {

// The pack's post-install script, run with the shell.
struct PostInstallScript {
    QString path;
    bool notAFile = false; // the shell would open it, and a FIFO would keep it waiting for ever

    static QString program() { return QStringLiteral("/bin/sh"); }
};

// The script of the pack in `resources` as it is now, if there is one.
std::optional<PostInstallScript> findPostInstallScript(const FileReader& fs,
                                                       const QString& resources);

// The trace line of a script that is not run because it is not a regular file.
QString scriptNotAFileLine(const QString& path);

// The trace line of a script that could not start or did not exit with 0; none otherwise.
std::optional<QString> scriptFailureLine(const ProcessOutcome& outcome);

// How the script is run after an installation: from the resource folder, told where the
// templates are (`templatesFolder`), which destination folders this run installed or
// merged (`installed`, one per line) and the window's language (`language`, a code of
// Language::current(): "zh" for the empty one).
ProcessRequest scriptRequest(const QString& script, const QString& resources,
                             const QString& templatesFolder, const QStringList& installed,
                             const QString& language);

// The log of the last script run, beside the install record at `manifestPath`.
QString scriptLogPath(const QString& manifestPath);
// Keeps what the script printed, whatever its exit status, in place of the last run's log.
Failure writeScriptLog(FileWriter& fs, const QString& manifestPath, const ProcessOutcome& outcome);

// The end of what a failed script printed, for the completion alert: its last `lines` lines,
// at most scriptLastLinesLength characters; empty when it did not fail or printed nothing.
inline constexpr qsizetype scriptLastLinesLength = 400;
QString scriptLastLines(const ProcessOutcome& outcome, int lines = 5);

} // namespace Orvoinstaller
