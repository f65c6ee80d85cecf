// End to end through the window: a real resource folder, the real install button, the
// alert at the end, and the installed trees compared with the shipped ones.
#include "ui/WindowFixture.h"

#include <QAccessible>
#include <QProgressBar>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;
using namespace Qt::Literals::StringLiterals;

class InstallFromWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void installTwiceClosingTheWindowDuringTheSecondRun() {
        Window w({u"Titles/Lower Third/Lower Third.moti=title"_s, u"Titles/Lower Third/.hidden"_s,
                  u"Titles/Lower Third/Media/small.png=png"_s, u"Effects/Glow/Glow.moef=glow"_s,
                  u"Generators/Sparkle/Sparkle.motn=sparkle"_s, u"post.command=exit 0"_s});
        const QString kinds = w.box.homePath() + u"/Movies/Motion Templates.localized/"_s;
        // A file where the effects' folder belongs: that item fails, the others install.
        w.box.writeFile(u"home/Movies/Motion Templates.localized/Effects.localized"_s);
        w.list()->revealRow(0)->nameField()->selectAll();
        QTest::keyClicks(w.list()->revealRow(0)->nameField(), u"Renamed"_s);

        // Return on the focused button installs, as Space does.
        w.view->installButton()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w.view->installButton(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(w.view->alert() != nullptr, 20000);
        QCOMPARE(w.view->alert()->text(), u"部分插件未能安装"_s);
        QCOMPARE(w.view->alert()->informativeText(),
                 u"1 个插件安装失败，共 3 个\nGlow：无法创建文件夹 “%1Effects.localized”: "
                 "Not a directory"_s.arg(kinds));
        QTRY_VERIFY(w.view->installButton()->isEnabled() && !w.view->installButton()->isBusy());
        // The failed row's mark says why, to the eye and to assistive technologies.
        FolderRow* glow = w.list()->revealRow(1);
        QCOMPARE(glow->nameField()->text(), u"Glow"_s); // after the titles
        const QString why = w.view->alert()->informativeText().section(u'：', 1);
        QCOMPARE(QAccessible::queryAccessibleInterface(glow->nameField())
                     ->text(QAccessible::Description),
                 why);
        QCOMPARE(glow->stateIndicator()->toolTip(), why);
        QCOMPARE(treeListing(kinds + u"Titles.localized/Renamed"_s),
                 treeListing(w.box.resourcePath() + u"/Titles/Lower Third"_s));

        // One button, "确定", the default: pressing it clears the flag; the status line stays.
        QCOMPARE(w.view->alert()->buttons().size(), 1);
        QCOMPARE(w.view->alert()->defaultButton()->text(), u"确定"_s);
        QTest::mouseClick(w.view->alert()->defaultButton(), Qt::LeftButton);
        QVERIFY(!w.vm->showInstallationAlert());
        QTRY_VERIFY(w.view->alert() == nullptr);
        QCOMPARE(w.view->statusLine()->text(), u"安装完成！"_s);

        // Closed during a second run, which alone holds the state object then: the run ends,
        // having installed its last item afresh.
        QVERIFY(QDir(kinds + u"Generators.localized/Sparkle"_s).removeRecursively());
        const std::weak_ptr<InstallerViewModel> watched = w.vm;
        QPointer<InstallerWindow> window = w.window.release();
        window->setAttribute(Qt::WA_DeleteOnClose);
        QTest::mouseClick(w.view->installButton(), Qt::LeftButton);
        window->close();
        w.vm.reset();
        QTRY_VERIFY(!window);
        QTRY_VERIFY_WITH_TIMEOUT(watched.expired(), 20000);
        QCOMPARE(treeListing(kinds + u"Generators.localized/Sparkle"_s),
                 treeListing(w.box.resourcePath() + u"/Generators/Sparkle"_s));
    }

    // While a run goes on, a progress bar (as assistive technologies see it) and "取消安装";
    // pressing it stops the post-install script, and the alert says the run was cancelled.
    void progressAndCancelWhileARunGoesOn() {
        Window w(
            {u"Titles/A/a=abc"_s, u"post.command=touch \"$(dirname \"$0\")/started\"; sleep 30"_s});
        QTest::mouseClick(w.view->installButton(), Qt::LeftButton);
        QTRY_VERIFY(w.view->cancelButton()->isVisible() && w.view->cancelButton()->isEnabled());
        // What the run reads cannot change under it.
        FolderRow* row = w.list()->revealRow(0);
        QVERIFY(row->nameField()->isReadOnly() && !row->picker()->isEnabled());
        QAccessible::queryAccessibleInterface(row->nameField())
            ->setText(QAccessible::Value, u"B"_s);
        QCoreApplication::processEvents();
        QCOMPARE(row->nameField()->text(), u"A"_s);
        QCOMPARE(w.view->cancelButton()->text(), u"取消安装"_s);
        QVERIFY(w.view->progressBar()->isVisible());
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(w.view->progressBar());
        QVERIFY(bar && bar->role() == QAccessible::ProgressBar && bar->valueInterface());
        QCOMPARE(bar->text(QAccessible::Name), u"安装进度"_s);
        QTRY_VERIFY(QFileInfo::exists(w.box.resourcePath() + u"/started"_s));
        QCOMPARE(bar->valueInterface()->currentValue().toInt(), 1000); // the template is in

        QTest::mouseClick(w.view->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(w.view->alert() != nullptr, 10000);
        QCOMPARE(w.view->alert()->text(), u"安装已取消"_s);
        QCOMPARE(w.view->alert()->informativeText(), u"安装已取消：已安装 1 个，共 1 个"_s);
        QTRY_VERIFY(!w.view->cancelButton()->isVisible() && !w.view->progressBar()->isVisible());
        QVERIFY(!row->nameField()->isReadOnly() && row->picker()->isEnabled());
    }

    // A name set through the accessibility interface, as voice control sets it, is the name
    // the template is installed under; showing the model's own value writes nothing back.
    void aNameSetByAnAssistiveTechnologyIsInstalled() {
        Window w({u"Titles/A/a"_s});
        QLineEdit* field = w.list()->revealRow(0)->nameField();
        int renamed = 0, changes = 0;
        connect(w.vm.get(), &InstallerViewModel::templateRenamed, w.vm.get(), [&] { ++renamed; });
        connect(w.vm.get(), &InstallerViewModel::objectWillChange, w.vm.get(), [&] { ++changes; });
        QAccessible::queryAccessibleInterface(field)->setText(QAccessible::Value, u"Voice"_s);
        QCOMPARE(w.vm->folderItems()[0].newName, u"Voice"_s);
        QCOMPARE(field->text(), u"Voice"_s);
        QTest::qWait(50);
        QCOMPARE(renamed, 1);
        QCOMPARE(changes, 0);
    }
};

QTEST_MAIN(InstallFromWindowTest)
#include "tst_install_from_window.moc"
