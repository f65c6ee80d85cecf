#pragma once

#include "install/ManifestLocation.h"
#include "install/TemplateInstaller.h"

#include <memory>

namespace Orvoinstaller {

// Records, before templates' files appear, every file, link and folder the installer puts
// in place, so that an uninstall can later remove exactly those that are still as written.
// Each entry is on the disk (in the journal beside the manifest) before its file appears
// under its name: a run killed at any point leaves a record of everything it put in place.
class ManifestRecorder {
public:
    ManifestRecorder(FileSystem& fs, ManifestLocation location);
    ~ManifestRecorder();

    // For TemplateInstaller::setPlacing; call on the installer's thread, holding
    // templatesFolderLock(). The recorder must outlive the installer's use of it.
    TemplateInstaller::Placing placing();
    // Folds the journal into the manifest, in one atomic step: call after the last template,
    // still holding the lock. The destructor does it too, without anyone to tell of a failure.
    Failure finish();
    // Why the manifest found at the first write was not trusted and is replaced rather than
    // merged; empty when there was none or it was merged.
    Failure discarded() const;
    // The first journal or manifest write that failed, if any.
    Failure failure() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace Orvoinstaller
