#pragma once

#include "install/ManifestLocation.h"
#include "install/TemplateInstaller.h"

#include <memory>

namespace Orvoinstaller {

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

} // namespace Orvoinstaller
