#pragma once

#include "install/TemplateInstaller.h"
#include "platform/Bundle.h"
#include "platform/FileSystem.h"

#include <QList>
#include <QLockFile>
#include <QString>
#include <QStringList>

#include <memory>

namespace Orvoinstaller {

// The manifest's format; one of a later format is never trusted, since its rules may differ.
inline constexpr int manifestFormatVersion = 1;
// The identifier where the running program has no Info.plist (outside an app bundle, as on
// Linux): the build's default, so that such builds share one record.
inline constexpr char fallbackBundleId[] = "com.orvo.plugininstaller";
// The manifest's file name in the bundle's application-data folder.
inline constexpr char manifestFileName[] = "installed-templates.json";

// Where one bundle keeps the record of what its installations wrote, and for which
// templates folder: a record made for another bundle or another home is never trusted.
struct ManifestLocation {
    QString path;            // the manifest file itself
    QString bundleId;        // the bundle whose installations it records
    QString templatesFolder; // paths inside are relative to this folder
};

// The manifest of the running bundle in the per-user application-data folder.
ManifestLocation defaultManifestLocation(const QString& templatesFolder);
// The same for `bundle`: <generic data location>/<bundle id>/installed-templates.json, that is
// ~/Library/Application Support/<id>/ on macOS and $XDG_DATA_HOME (~/.local/share)/<id>/ on
// Linux. The path is empty when the system names no such folder.
ManifestLocation defaultManifestLocation(const QString& templatesFolder, const Bundle& bundle);

// One file or link an installation put in place, as it was then.
struct ManifestEntry {
    QString path;            // relative to the templates folder
    FileSystem::Facts facts; // type, size, modification time, device and inode
};

// The entries of a trusted manifest, by path. Fails with a reason naming the file when it is
// missing (code ENOENT), unreadable, malformed, of a later format, made for another bundle or
// templates folder, or names a path that leaves the templates folder.
Result<QList<ManifestEntry>> loadManifest(FileSystem& fs, const ManifestLocation& location);

// The lock every run that changes the templates folder holds while it works (installs,
// uninstalls), not yet taken; the folder must exist. A holder that died is found by its
// process id, so a long run never counts as stale.
std::unique_ptr<QLockFile> templatesFolderLock(const QString& templatesFolder);

// Records, while templates are installed, every file and link put in place, so that an
// uninstall can later remove exactly those that are still as they were written.
class ManifestRecorder {
public:
    ManifestRecorder(FileSystem& fs, ManifestLocation location);
    ~ManifestRecorder();

    // For TemplateInstaller::setInstalledObserver; call on the installer's thread. The
    // recorder must outlive the installer's use of it.
    TemplateInstaller::Installed observer();
    // Writes what was recorded so far (with what earlier installations recorded) in one
    // atomic step. Called after each template; writes nothing when nothing is new, and defers
    // a write that would follow the last one too closely (a manifest of thousands of entries
    // takes milliseconds to write) to a later save() or finish(). Hold templatesFolderLock()
    // meanwhile, as an install does.
    Failure save();
    // Writes whatever save() deferred: call after the last template. The destructor does it
    // too, without anyone to tell of a failure.
    Failure finish();
    // Why the manifest found at the first write was not trusted and is replaced rather than
    // merged; empty when there was none or it was merged.
    Failure discarded() const;

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
