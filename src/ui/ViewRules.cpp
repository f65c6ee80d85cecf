#include "ui/ViewRules.h"

#include "model/InstallerViewModel.h"
#include "ui/ContentView.h"

namespace Orvoinstaller {

ViewRules viewRules(const InstallerViewModel& model) {
    ViewRules rules;
    rules.showsFolderList = !model.folderItems().isEmpty();
    rules.showsFilter = model.folderItems().size() > 12;
    // Any text, a single blank included, shows the line.
    rules.showsStatusLine = !model.installationProgress().isEmpty();
    rules.statusText = model.installationProgress();
    // The fill follows isInstalling only: an empty list keeps the blue fill, disabled.
    rules.installBusy = model.isInstalling();
    rules.installEnabled =
        !model.folderItems().isEmpty() && !model.isInstalling() && !model.hasInvalidNames();
    rules.showsCancel = model.isInstalling();
    rules.cancelEnabled = model.isInstalling() && !model.cancelRequested();
    const RunProgress& progress = model.runProgress();
    rules.showsProgress = model.isInstalling();
    rules.progressPermille = progress.bytesTotal > 0
                                 ? static_cast<int>(progress.bytesDone * 1000 / progress.bytesTotal)
                             : progress.filesTotal > 0
                                 ? static_cast<int>(progress.filesDone * 1000 / progress.filesTotal)
                                 : 0;
    if (progress.secondsLeft && model.isInstalling()) {
        const int seconds = *progress.secondsLeft;
        rules.timeLeftText = seconds < 60
                                 ? ContentView::tr("剩余约 %1 秒").arg(seconds)
                                 : ContentView::tr("剩余约 %1 分钟").arg((seconds + 59) / 60);
    }
    rules.fontsEnabled = model.hasFonts() && !model.isInstalling();
    rules.locationEnabled = true;
    rules.tutorialEnabled = model.tutorialURL().has_value();
    rules.uninstallEnabled = model.hasRecord() && !model.isInstalling() && !model.isUninstalling();
    rules.uninstallPresented = model.uninstallOutcome().has_value();
    rules.sheetPresented = model.showingImageAlert();
    rules.alertPresented = model.showInstallationAlert();
    return rules;
}

} // namespace Orvoinstaller
