// End to end through the window: a real resource folder, the real install button, the
// alert at the end, and the installed tree compared with the shipped one.
#include "model/InstallerViewModel.h"
#include "support/TestPlatform.h"
#include "ui/Buttons.h"
#include "ui/ContentView.h"
#include "ui/FolderList.h"
#include "ui/FolderPicker.h"
#include "ui/PluginInstallerApp.h"
#include "ui/FakeServices.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

void fillPack(const Sandbox& box) {
    box.writeResourceFile(QStringLiteral("Titles/Lower Third/Lower Third.moti"), "title");
    box.writeResourceFile(QStringLiteral("Titles/Lower Third/.hidden"), "h");
    box.writeResourceFile(QStringLiteral("Titles/Lower Third/Media/small.png"), "png");
    box.writeResourceFile(QStringLiteral("Effects/Glow/Glow.moef"), "glow");
    box.writeResourceFile(QStringLiteral("Transitions/Push 推移/Push.motr"), "push");
    box.writeResourceFile(QStringLiteral("post.command"), "exit 0\n");
}

QString kindFolder(const Sandbox& box, const QString& kind) {
    return box.homePath() + QStringLiteral("/Movies/Motion Templates.localized/") + kind;
}

} // namespace

class InstallFromWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void installsTheWholePackUnderTheChosenNames() {
        Sandbox box;
        fillPack(box);
        // Installed before: the effect is merged into it, its own file stays.
        box.writeFile(QStringLiteral("home/Movies/Motion Templates.localized/Effects.localized/"
                                     "Mine/keep.txt"),
                      "keep");
        FakeServices fakes;
        auto vm = std::make_shared<InstallerViewModel>(box.platform());
        InstallerWindow window(vm, fakes.services());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ContentView* view = window.contentView();
        FolderListView* list = view->folderListPanel()->list();
        QCOMPARE(vm->folderItems().size(), 3);

        // Rename the title by typing, merge the effect through the picker.
        QLineEdit* titleField = list->revealRow(0)->nameField();
        titleField->selectAll();
        for (QChar c : QStringLiteral("标题 Renamed"))
            QTest::sendKeyEvent(QTest::Click, titleField, Qt::Key_unknown, QString(c), Qt::NoModifier);
        fakes.chooser->answers = {kindFolder(box, QStringLiteral("Effects.localized/Mine"))};
        QTest::mouseClick(list->revealRow(1)->picker(), Qt::LeftButton);
        QCOMPARE(vm->folderItems().at(1).newName, QStringLiteral("Mine"));

        QTest::mouseClick(view->installButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(view->alert() != nullptr, 20000);
        QCOMPARE(view->alert()->informativeText(), QStringLiteral("插件安装成功！"));
        QCOMPARE(view->statusLine()->text(), QStringLiteral("安装完成！"));
        QTRY_VERIFY(!vm->isInstalling());
        QTRY_VERIFY(view->installButton()->isEnabled());
        QVERIFY(!view->installButton()->isBusy());

        QCOMPARE(treeListing(kindFolder(box, QStringLiteral("Titles.localized/标题 Renamed"))),
                 treeListing(box.resourcePath() + QStringLiteral("/Titles/Lower Third")));
        QCOMPARE(treeListing(kindFolder(box, QStringLiteral("Transitions.localized/Push 推移"))),
                 treeListing(box.resourcePath() + QStringLiteral("/Transitions/Push 推移")));
        QStringList merged = treeListing(box.resourcePath() + QStringLiteral("/Effects/Glow"));
        merged << QStringLiteral("keep.txt = ") + QString::fromLatin1(QByteArray("keep").toHex());
        merged.sort();
        QCOMPARE(treeListing(kindFolder(box, QStringLiteral("Effects.localized/Mine"))), merged);

        QTest::mouseClick(view->alert()->buttons().first(), Qt::LeftButton);
        QVERIFY(!vm->showInstallationAlert());
        QTRY_VERIFY(view->alert() == nullptr);
        QCOMPARE(view->statusLine()->text(), QStringLiteral("安装完成！"));
    }

    void closingTheWindowDuringARunLetsItFinish() {
        Sandbox box;
        fillPack(box);
        FakeServices fakes;
        auto vm = std::make_shared<InstallerViewModel>(box.platform());
        const std::weak_ptr<InstallerViewModel> watched = vm;
        auto* window = new InstallerWindow(vm, fakes.services());
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTest::mouseClick(window->contentView()->installButton(), Qt::LeftButton);

        // Only the run holds the state object now.
        QPointer<InstallerWindow> gone = window;
        window->close();
        vm.reset();
        QTRY_VERIFY(!gone);
        QTRY_VERIFY_WITH_TIMEOUT(watched.expired(), 20000);

        QCOMPARE(treeListing(kindFolder(box, QStringLiteral("Titles.localized/Lower Third"))),
                 treeListing(box.resourcePath() + QStringLiteral("/Titles/Lower Third")));
        QCOMPARE(treeListing(kindFolder(box, QStringLiteral("Effects.localized/Glow"))),
                 treeListing(box.resourcePath() + QStringLiteral("/Effects/Glow")));
        QCOMPARE(treeListing(kindFolder(box, QStringLiteral("Transitions.localized/Push 推移"))),
                 treeListing(box.resourcePath() + QStringLiteral("/Transitions/Push 推移")));
    }
};

UI_TEST_MAIN(InstallFromWindowTest)
#include "tst_install_from_window.moc"
