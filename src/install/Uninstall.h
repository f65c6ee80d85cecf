#pragma once

#include "install/ManifestLocation.h"
#include "platform/FileSystem.h"

#include <QList>
#include <QStringList>

#include <optional>

namespace Orvoinstaller {

struct UninstallReport {
    // Why nothing was removed at all: no manifest, or one that cannot be trusted.
    std::optional<Error> refused;
    QStringList removed;        // files and links removed (or, in a dry run, to be removed)
    QStringList removedFolders; // folders removed because they were left empty
    QStringList kept;           // one line each: a file the user added or changed, and why
    QList<Text> keptText;       // the same lines, to be said in the user's language
    QList<Error> failed;        // could not be removed, or the manifest not updated
    bool ok() const { return !refused && failed.isEmpty(); }
};

// Removes the files the manifest records that are unchanged since they were written (same
// type, size, modification time and identity), and the folders left empty; keeps everything
// else. Takes templatesFolderLock() itself (refusing while another run holds it), so call it
// without holding that lock. Afterwards the manifest keeps only the entries still in place,
// none once everything is gone. With `dryRun` only reports what it would do, without the lock.
UninstallReport uninstallRecorded(FileSystem& fs, const ManifestLocation& location, bool dryRun);

} // namespace Orvoinstaller
