// The enable and look rules of the main view, in each state of the state object.
#include "model/InstallerViewModel.h"
#include "support/TestPlatform.h"
#include "ui/ViewRules.h"

#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

class ViewRulesTest : public QObject {
    Q_OBJECT

    std::shared_ptr<ManualQueue> queue = std::make_shared<ManualQueue>();

    std::shared_ptr<InstallerViewModel> model(const Sandbox& box) {
        queue = std::make_shared<ManualQueue>();
        return std::make_shared<InstallerViewModel>(box.platform(queue));
    }

private Q_SLOTS:
    void noFoldersDisablesOnlyTheInstallButton() {
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Fonts"));
        box.writeResourceFile(QStringLiteral("Fonts/a.ttf"));
        box.writeResourceFile(QStringLiteral("tutorial_url.txt"), "https://example.com/t");
        auto vm = model(box);
        queue->runAll();
        const ViewRules rules = viewRules(*vm);
        QVERIFY(!rules.showsFolderList);
        QVERIFY(!rules.installEnabled);
        QVERIFY(!rules.installBusy);  // blue fill, disabled
        QVERIFY(rules.fontsEnabled);
        QVERIFY(rules.locationEnabled);
        QVERIFY(rules.tutorialEnabled);
    }

    void noFontsAndNoAddressYet() {
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Titles/A"));
        box.writeResourceFile(QStringLiteral("tutorial_url.txt"), "https://example.com/t");
        auto vm = model(box);
        ViewRules rules = viewRules(*vm);
        QVERIFY(rules.showsFolderList);
        QVERIFY(rules.installEnabled);
        QVERIFY(!rules.fontsEnabled);
        // The address arrives on a later turn.
        QVERIFY(!rules.tutorialEnabled);
        queue->runAll();
        rules = viewRules(*vm);
        QVERIFY(rules.tutorialEnabled);
        QVERIFY(!rules.fontsEnabled);
    }

    void anUnusableAddressKeepsTheTutorialButtonDisabled() {
        Sandbox box;
        box.writeResourceFile(QStringLiteral("tutorial_url.txt"), "   ");
        auto vm = model(box);
        queue->runAll();
        QVERIFY(!viewRules(*vm).tutorialEnabled);
    }

    void whileInstallingAndAfterTheRun() {
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Effects/A"));
        box.writeResourceFile(QStringLiteral("Fonts/a.ttf"));
        auto vm = model(box);
        queue->runAll();

        vm->setIsInstalling(true);
        vm->setInstallationProgress(QStringLiteral("开始安装..."));
        ViewRules rules = viewRules(*vm);
        QVERIFY(rules.installBusy);
        QVERIFY(!rules.installEnabled);
        QVERIFY(!rules.fontsEnabled);
        QVERIFY(rules.locationEnabled);
        QVERIFY(rules.tutorialEnabled);
        QVERIFY(rules.showsStatusLine);
        QCOMPARE(rules.statusText, QStringLiteral("开始安装..."));

        // The real run, from the button's request to its end.
        vm->setIsInstalling(false);
        vm->requestInstallPlugins();
        queue->runAll();
        rules = viewRules(*vm);
        QVERIFY(!rules.installBusy);
        QVERIFY(rules.installEnabled);
        QVERIFY(rules.fontsEnabled);
        QVERIFY(rules.alertPresented);
        QCOMPARE(rules.statusText, QStringLiteral("安装完成！"));
    }

    void statusLineFollowsTheTextExactly() {
        Sandbox box;
        auto vm = model(box);
        QVERIFY(!viewRules(*vm).showsStatusLine);
        vm->setInstallationProgress(QStringLiteral(" "));
        QVERIFY(viewRules(*vm).showsStatusLine);
        vm->setInstallationProgress(QString());
        QVERIFY(!viewRules(*vm).showsStatusLine);
    }

    void sheetAndAlertFollowTheirFlags() {
        Sandbox box;
        auto vm = model(box);
        QVERIFY(!viewRules(*vm).sheetPresented);
        vm->setShowingImageAlert(true);
        QVERIFY(viewRules(*vm).sheetPresented);
        vm->setShowInstallationAlert(true);
        QVERIFY(viewRules(*vm).alertPresented);
    }
};

QTEST_GUILESS_MAIN(ViewRulesTest)
#include "tst_view_rules.moc"
