#pragma once

#include "install/TemplateInstaller.h"
#include "platform/FileSystem.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace Orvoinstaller {

// Where one bundle keeps the record of what its installations wrote, and for which
// templates folder: a record made for another bundle or another home is never trusted.
struct ManifestLocation {
    QString path;            // the manifest file itself
    QString bundleId;        // the bundle whose installations it records
    QString templatesFolder; // paths inside are relative to this folder
};

// The manifest of the running bundle in the per-user application-data folder.
ManifestLocation defaultManifestLocation(const QString& templatesFolder);

// Records, while templates are installed, every file and link put in place, so that an
// uninstall can later remove exactly those that are still as they were written.
class ManifestRecorder {
public:
    ManifestRecorder(FileSystem& fs, ManifestLocation location);
    ~ManifestRecorder();

    // For TemplateInstaller::setInstalledObserver; call on the installer's thread.
    TemplateInstaller::Installed observer();
    // Writes what was recorded so far (with what earlier installations recorded) in one
    // atomic step. Called after each template.
    Status save();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

struct UninstallReport {
    // Why nothing was removed at all: no manifest, or one that cannot be trusted.
    std::optional<Error> refused;
    QStringList removed;        // files and links removed (or, in a dry run, to be removed)
    QStringList removedFolders; // folders removed because they were left empty
    QStringList kept;           // one line each: a file the user added or changed, and why
    QList<Error> failed;        // could not be removed
    bool ok() const { return !refused && failed.isEmpty(); }
};

// Removes the files the manifest records that are unchanged since they were written (same
// size, time and identity), and the folders left empty; keeps everything else. With
// `dryRun` only reports what it would do.
UninstallReport uninstallRecorded(FileSystem& fs, const ManifestLocation& location, bool dryRun);

} // namespace Orvoinstaller
