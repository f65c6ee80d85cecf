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
    QStringList arguments() const { return {path}; }
};

// The script of the pack in `resources` as it is now, if there is one.
std::optional<PostInstallScript> findPostInstallScript(const FileSystem& fs,
                                                       const QString& resources);

// The trace line of a script that is not run because it is not a regular file.
QString scriptNotAFileLine(const QString& path);

// The trace line of a script that could not start or did not exit with 0; none otherwise.
std::optional<QString> scriptFailureLine(const ProcessOutcome& outcome);

} // namespace Orvoinstaller
