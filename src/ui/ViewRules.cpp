#include "ui/ViewRules.h"

#include "model/InstallerViewModel.h"

namespace Orvoinstaller {

ViewRules viewRules(const InstallerViewModel& model) {
    ViewRules rules;
    rules.showsFolderList = !model.folderItems().isEmpty();
    // Any text, a single blank included, shows the line.
    rules.showsStatusLine = !model.installationProgress().isEmpty();
    rules.statusText = model.installationProgressText().translated();
    // The fill follows isInstalling only: an empty list keeps the blue fill, disabled.
    rules.installBusy = model.isInstalling();
    rules.installEnabled = !model.folderItems().isEmpty() && !model.isInstalling();
    rules.fontsEnabled = model.hasFonts() && !model.isInstalling();
    rules.locationEnabled = true;
    rules.tutorialEnabled = model.tutorialURL().has_value();
    rules.sheetPresented = model.showingImageAlert();
    rules.alertPresented = model.showInstallationAlert();
    return rules;
}

} // namespace Orvoinstaller
