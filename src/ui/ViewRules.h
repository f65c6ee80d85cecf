#pragma once

#include <QString>

namespace Orvoinstaller {

class InstallerViewModel;

// Every look and enable rule of the main view, computed from the state object alone.
// The widgets only copy these values; nothing else decides what is shown or enabled.
struct ViewRules {
    bool showsFolderList = false; // otherwise the empty-state text
    bool showsFilter = false;     // a long list can be narrowed down
    bool showsStatusLine = false;
    QString statusText;
    bool installBusy = false; // progress indicator, "正在安装..." and the gray fill
    bool installEnabled = false;
    bool showsCancel = false; // "取消安装" beside the busy install button
    bool cancelEnabled = false;
    bool showsProgress = false;
    int progressPermille = 0; // bytes done of the run's total
    QString timeLeftText;     // empty until it can be estimated
    bool fontsEnabled = false;
    bool locationEnabled = true;
    bool tutorialEnabled = false;
    bool uninstallEnabled = false;   // the record lists something and nothing else runs
    bool uninstallPresented = false; // the dry run to confirm, or what was removed
    bool sheetPresented = false;
    bool alertPresented = false;

    bool operator==(const ViewRules&) const = default;
};

ViewRules viewRules(const InstallerViewModel& model);

} // namespace Orvoinstaller
