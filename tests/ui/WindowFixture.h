#pragma once

#include "model/InstallerViewModel.h"
#include "support/FindWidget.h"
#include "support/TestPlatform.h"
#include "ui/Buttons.h"
#include "ui/FolderList.h"
#include "ui/FolderPicker.h"
#include "ui/PluginInstallerApp.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace Orvoinstaller::Testing {

inline QString accessibleText(QWidget* widget, QAccessible::Text text = QAccessible::Name) {
    return QAccessible::queryAccessibleInterface(widget)->text(text);
}

// Answers the folder dialog with `answer` (nothing: cancelled); records where it opened.
struct FakeChooser : FolderChooser {
    std::optional<QString> chooseFolder(const QString& startFolder) override {
        startFolders << startFolder;
        return answer;
    }
    std::optional<QString> answer;
    QStringList startFolders;
};

// Records the addresses it is asked to open instead of opening them; answers `opens`.
struct FakeOpener : UrlOpener {
    bool open(const QUrl& url) override {
        opened << url;
        return opens;
    }
    QList<QUrl> opened;
    bool opens = true;
};

// The window, shown and active, over a resource folder holding `files` ("path[=content]")
// and a home holding `homeFolders`; `adjust` replaces some of the sandbox's services.
struct Window {
    explicit Window(const QStringList& files, const QStringList& homeFolders = {},
                    const Branding& branding = Branding::defaults(),
                    const std::function<void(Platform&, const Sandbox&)>& adjust = {}) {
        for (const QString& file : files)
            box.writeResourceFile(file.section(u'=', 0, 0), file.section(u'=', 1).toUtf8());
        for (const QString& folder : homeFolders)
            box.makeDir(box.homePath() + u'/' + folder);
        Platform platform = box.platform();
        if (adjust)
            adjust(platform, box);
        vm = std::make_shared<InstallerViewModel>(platform);
        window = std::make_unique<InstallerWindow>(vm, UiServices{chooser, opener, branding});
        view = window->contentView();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    FolderListView* list() const { return part::folderListPanel(view)->list(); }

    Sandbox box;
    std::shared_ptr<FakeChooser> chooser = std::make_shared<FakeChooser>();
    std::shared_ptr<FakeOpener> opener = std::make_shared<FakeOpener>();
    std::shared_ptr<InstallerViewModel> vm;
    std::unique_ptr<InstallerWindow> window;
    ContentView* view = nullptr;
};

} // namespace Orvoinstaller::Testing
