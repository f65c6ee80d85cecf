// End to end through the window, the installed trees compared with the shipped ones.
#include "ui/WindowFixture.h"

#include <QMessageBox>
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
                  u"Generators/Sparkle/Sparkle.motn=sparkle"_s,
                  u"post.command=sleep 1; touch \"$(dirname \"$0\")/ran\""_s});
        const QString kinds = w.box.homePath() + u"/Movies/Motion Templates.localized/"_s;
        // A file where the effects' folder belongs: that item fails, the others install.
        w.box.writeFile(u"home/Movies/Motion Templates.localized/Effects.localized"_s);
        w.list()->revealRow(0)->nameField()->selectAll();
        QTest::keyClicks(w.list()->revealRow(0)->nameField(), u"Renamed"_s);

        // Return on the focused button installs, as Space does.
        part::installButton(w.view)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(part::installButton(w.view), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(part::alert(w.view) != nullptr, 20000);
        QCOMPARE(part::alert(w.view)->text(), u"部分插件未能安装"_s);
        QCOMPARE(part::alert(w.view)->informativeText().remove(QChar(0x200B)).remove(QChar(0x2060)),
                 u"1 个插件安装失败，共 3 个\nGlow：无法创建文件夹 “%1Effects.localized”: "
                 "路径中有一项不是文件夹"_s.arg(kinds));
        QTRY_VERIFY(part::installButton(w.view)->isEnabled() &&
                    !part::installButton(w.view)->isBusy());
        QCOMPARE(treeListing(kinds + u"Titles.localized/Renamed"_s),
                 treeListing(w.box.resourcePath() + u"/Titles/Lower Third"_s));

        // "确定", the default, and "在 Finder 中显示"; "确定" leaves the status line.
        QCOMPARE(part::alert(w.view)->buttons().size(), 2);
        QCOMPARE(part::alert(w.view)->defaultButton()->text(), u"确定"_s);
        QTest::mouseClick(part::alert(w.view)->defaultButton(), Qt::LeftButton);
        QVERIFY(!w.vm->showInstallationAlert());
        QTRY_VERIFY(part::alert(w.view) == nullptr);
        QCOMPARE(part::statusLine(w.view)->text(), u"安装完成！"_s);

        // Closed during a second run, which then alone holds the state object and ends, its
        // script included; the program quits only then.
        QVERIFY(QDir(kinds + u"Generators.localized/Sparkle"_s).removeRecursively());
        const QString ran = w.box.resourcePath() + u"/ran"_s;
        QVERIFY(QFile::remove(ran));
        const std::weak_ptr<InstallerViewModel> watched = w.vm;
        QPointer<InstallerWindow> window = w.window.release();
        window->setAttribute(Qt::WA_DeleteOnClose);
        QList<bool> quits; // whether the run went on, at each quit
        PluginInstallerApp::quitWhenDone(window, w.vm, [&] {
            const auto model = watched.lock();
            quits << (model && model->isInstalling()) << QFileInfo::exists(ran);
        });
        QTest::mouseClick(part::installButton(w.view), Qt::LeftButton);
        QTRY_VERIFY(w.vm->isInstalling());
        window->close();
        w.vm.reset();
        QTRY_VERIFY(!window);
        QTRY_VERIFY_WITH_TIMEOUT(watched.expired(), 20000);
        QCoreApplication::processEvents();
        QCOMPARE(quits, (QList<bool>{false, true}));
        QCOMPARE(treeListing(kinds + u"Generators.localized/Sparkle"_s),
                 treeListing(w.box.resourcePath() + u"/Generators/Sparkle"_s));
    }

    // Readable previews show; the alert reveals the folder; uninstall asks, Cancel the default,
    // removes and tells, ten entries listed in full; the button waits while it runs.
    void previewsRevealAndUninstall() {
        Window w({u"Titles/A/a=1"_s, u"Titles/A/small.png=P1 2 1 0 1"_s, u"Titles/B/b=2"_s,
                  u"Titles/B/c1"_s, u"Titles/B/c2"_s, u"Titles/B/c3"_s, u"Titles/B/c4"_s,
                  u"Titles/B/c5"_s, u"Titles/B/large.png=not a picture"_s});
        const auto previewShown = [&](int index) {
            QLabel* preview = w.list()->revealRow(index)->preview();
            return preview->isVisible() && accessibleText(preview) == u"预览"_s;
        };
        // The rows come in the listing's order.
        const int a = w.vm->folderItems()[0].originalName == u"A"_s ? 0 : 1, b = 1 - a;
        QTRY_VERIFY(previewShown(a));
        QVERIFY(!previewShown(b));
        QPushButton* uninstall = find<QPushButton>(w.view, u"卸载已安装的模板…"_s);
        QVERIFY(!uninstall->isEnabled());
        QTest::mouseClick(part::installButton(w.view), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(part::alert(w.view) != nullptr, 20000);
        const QString kinds = w.box.homePath() + u"/Movies/Motion Templates.localized"_s;
        QAbstractButton* reveal = part::alert(w.view)->buttons().value(1);
        QCOMPARE(reveal->text(), u"在 Finder 中显示"_s);
        // A file manager that cannot open it: a small alert says so, the status line does not.
        w.opener->opens = false;
        reveal->click();
        QCOMPARE(w.opener->opened, QList<QUrl>{QUrl::fromLocalFile(kinds)});
        QTRY_VERIFY(!part::alert(w.view));
        QTRY_VERIFY(part::openFailureAlert(w.view) && part::openFailureAlert(w.view)->isVisible());
        QCOMPARE(accessibleText(part::openFailureAlert(w.view)), u"无法打开文件夹"_s);
        // Paths are shown with break opportunities the reader does not see.
        const auto plain = [](QString t) { return t.remove(QChar(0x200B)).remove(QChar(0x2060)); };
        QCOMPARE(plain(part::openFailureAlert(w.view)->informativeText()), kinds);
        QCOMPARE(part::statusLine(w.view)->text(), u"安装完成！"_s);
        part::openFailureAlert(w.view)->buttons().value(0)->click();
        QTRY_VERIFY(!part::openFailureAlert(w.view));

        // Nothing of the user's yet, nothing said to be kept; Cancel, the default, keeps all.
        QTRY_VERIFY(uninstall->isEnabled());
        QTest::mouseClick(uninstall, Qt::LeftButton);
        QTRY_VERIFY(part::uninstallAlert(w.view) && part::uninstallAlert(w.view)->isVisible());
        QMessageBox* asked = part::uninstallAlert(w.view);
        QVERIFY(asked->informativeText().startsWith(u"将移除 9 个文件和 2 个文件夹。\n"_s));
        asked->defaultButton()->click();
        QTRY_VERIFY(part::uninstallAlert(w.view) != asked && uninstall->isEnabled());
        w.box.writeFile(kinds + u"/Titles.localized/A/mine"_s);
        QTest::mouseClick(uninstall, Qt::LeftButton);
        QStringList said;
        for (const char* press : {"卸载", "确定"}) {
            QTRY_VERIFY(part::uninstallAlert(w.view) && part::uninstallAlert(w.view)->isVisible());
            QMessageBox* alert = part::uninstallAlert(w.view);
            said << alert->text() << plain(alert->informativeText());
            for (QAbstractButton* button : alert->buttons()) {
                const bool destructive = alert->buttonRole(button) == QMessageBox::DestructiveRole;
                said << button->text() + (destructive ? u" (destructive)"_s : QString()) +
                            (button == alert->defaultButton() ? u" (default)"_s : QString());
            }
            for (QAbstractButton* button : alert->buttons())
                if (button->text() == QString::fromUtf8(press))
                    button->click();
            // What the click asked is drawn before the uninstall's end can be; once the record
            // is read again, nothing is left to uninstall.
            QCoreApplication::sendPostedEvents(w.view, QEvent::MetaCall);
            QVERIFY(!uninstall->isEnabled() || QByteArray(press) == "确定");
            QTRY_VERIFY(part::uninstallAlert(w.view) != alert && !uninstall->isEnabled());
        }
        const QString files =
            u"\nTitles.localized/A/a\nTitles.localized/A/small.png\n"
            u"Titles.localized/B/b\nTitles.localized/B/c1\nTitles.localized/B/c2\n"
            u"Titles.localized/B/c3\nTitles.localized/B/c4\nTitles.localized/B/c5\n"
            u"Titles.localized/B/large.png\nTitles.localized/B\n\n"
            u"以下文件不是安装程序放入的，"_s;
        const QString rest = u"：\nTitles.localized/A/mine\n\n已安装的字体不会被卸载。"_s;
        const QString counts = u"移除 9 个文件和 1 个文件夹，保留 1 个文件。\n\n以下文件"_s;
        QCOMPARE(said, (QStringList{
                           u"卸载已安装的模板？"_s,
                           u"将"_s + counts + u"和文件夹将被移除："_s + files + u"将保留"_s + rest,
                           u"取消 (default)"_s, u"卸载 (destructive)"_s, u"卸载完成"_s,
                           u"已"_s + counts + u"和文件夹已移除："_s + files + u"已保留"_s + rest,
                           u"确定"_s}));
        QTRY_COMPARE(accessibleText(w.list()->revealRow(b)->nameField(), QAccessible::Description),
                     u"将新建文件夹"_s);
        QCOMPARE(accessibleText(w.list()->revealRow(a)->nameField(), QAccessible::Description),
                 u"将合并到已有文件夹"_s);
    }

    // A run's progress bar and "取消安装", which stops the script; the alert says so. A name
    // set meanwhile is for the next run.
    void progressAndCancelWhileARunGoesOn() {
        Window w(
            {u"Titles/A/a=abc"_s, u"post.command=touch \"$(dirname \"$0\")/started\"; sleep 30"_s});
        QTest::mouseClick(part::installButton(w.view), Qt::LeftButton);
        QTRY_VERIFY(find<QPushButton>(w.view, u"取消安装"_s)->isVisible() &&
                    find<QPushButton>(w.view, u"取消安装"_s)->isEnabled());
        // Set as voice control sets it, the name is the one the next run goes under.
        FolderRow* row = w.list()->revealRow(0);
        QVERIFY(!row->nameField()->isReadOnly() && row->picker()->isEnabled());
        QAccessible::queryAccessibleInterface(row->nameField())
            ->setText(QAccessible::Value, u"Voice"_s);
        QCOMPARE(w.vm->folderItems()[0].newName, u"Voice"_s);
        QVERIFY(part::progressBar(w.view)->isVisible());
        QAccessibleInterface* bar =
            QAccessible::queryAccessibleInterface(part::progressBar(w.view));
        QVERIFY(bar && bar->role() == QAccessible::ProgressBar && bar->valueInterface());
        QCOMPARE(bar->text(QAccessible::Name), u"安装进度"_s);
        QTRY_VERIFY(QFileInfo::exists(w.box.resourcePath() + u"/started"_s));
        QCOMPARE(bar->valueInterface()->currentValue().toInt(), 1000); // the template is in

        QTest::mouseClick(find<QPushButton>(w.view, u"取消安装"_s), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(part::alert(w.view) != nullptr, 10000);
        QCOMPARE(part::alert(w.view)->text(), u"安装已取消"_s);
        QCOMPARE(part::alert(w.view)->informativeText(), u"安装已取消：已安装 1 个，共 1 个"_s);
        QTRY_VERIFY(!find<QPushButton>(w.view, u"取消安装"_s)->isVisible() &&
                    !part::progressBar(w.view)->isVisible());
        const QString titles =
            w.box.homePath() + u"/Movies/Motion Templates.localized/Titles.localized/"_s;
        QVERIFY(QFileInfo::exists(titles + u"A/a"_s) && !QFileInfo::exists(titles + u"Voice"_s));
    }
};

QTEST_MAIN(InstallFromWindowTest)
#include "tst_install_from_window.moc"
