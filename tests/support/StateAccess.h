#pragma once

#include "model/InstallerViewModel.h"

namespace Orvoinstaller {

// Puts the state object into a state directly, where a test would otherwise have to drive a
// whole run to get there.
struct StateAccess {
    static void setFolderItems(InstallerViewModel& m, QList<FolderItem> v) {
        m.setFolderItems(std::move(v));
    }
    static void setHasFonts(InstallerViewModel& m, bool v) { m.setHasFonts(v); }
    static void setIsInstalling(InstallerViewModel& m, bool v) { m.setIsInstalling(v); }
    static void setShowingImageAlert(InstallerViewModel& m, bool v) {
        m.setShowingImageAlert(v);
    }
    static void setInstallationProgress(InstallerViewModel& m, Text v) { m.setInstallationProgress(std::move(v)); }
    static void setInstallationSummary(InstallerViewModel& m, InstallationSummary v) {
        m.setInstallationSummary(v);
    }
    static void setRunProgress(InstallerViewModel& m, RunProgress v) { m.setRunProgress(v); }
};

} // namespace Orvoinstaller
