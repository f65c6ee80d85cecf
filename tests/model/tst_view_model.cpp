// The state object's change notifications, the edit of an item's new name, the completion
// alert's message.
#include "model/InstallerViewModel.h"
#include "support/TestPlatform.h"

#include <QtTest>

#include <functional>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

class ViewModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // One notification per assignment, sent while the old value is still in place, also
    // when the new value equals the old one.
    void everyAssignmentNotifiesOnceBeforeStoring() {
        Sandbox box;
        InstallerViewModel model(box.platform(std::make_shared<ManualQueue>()));
        auto state = [&] {
            QString text;
            QDebug(&text) << model.folderItems().size() << model.showingImageAlert()
                          << model.hasFonts() << model.installationProgress()
                          << model.isInstalling() << model.tutorialURL().value_or(QUrl())
                          << model.showInstallationAlert();
            return text;
        };
        QCOMPARE(state(), QStringLiteral("0 false false \"\" false QUrl(\"\") false "));
        const FolderItem item(QUuid::createUuid(), "a", "a", FolderType::effects, "/r/Effects/a");
        const FolderItem other(QUuid::createUuid(), "o", "o", FolderType::titles, "/r/Titles/o");
        const QString edited = QStringLiteral(" 带 \"引号\" \\ ");
        const QList<std::function<void()>> assignments{
            [&] { model.setFolderItems({item}); },
            [&] { model.appendFolderItem(other); },
            [&] { model.setNewName(item.id(), edited); },
            [&] { model.setShowingImageAlert(true); },
            [&] { model.setHasFonts(true); },
            [&] { model.setInstallationProgress(QStringLiteral("开始安装...")); },
            [&] { model.setIsInstalling(true); },
            [&] { model.setTutorialURL(QUrl(QStringLiteral("https://e.com/"))); },
            [&] { model.setShowInstallationAlert(true); },
        };
        for (const auto& assign : assignments) {
            for (int round = 0; round < 2; ++round) {
                QStringList seen;
                QObject guard;
                connect(&model, &InstallerViewModel::objectWillChange, &guard,
                        [&] { seen << state(); });
                const QString before = state();
                assign();
                QCOMPARE(seen, QStringList{before});
            }
        }
        QCOMPARE(state(),
                 QStringLiteral("3 true true \"开始安装...\" true QUrl(\"https://e.com/\") true "));

        // The edit changes only newName of that item, kept as entered; unknown ids are ignored.
        model.setNewName(QUuid::createUuid(), QStringLiteral("x"));
        const FolderItem& first = model.folderItems()[0];
        QVERIFY(first.id() == item.id() && first.type == FolderType::effects);
        QCOMPARE((QStringList{first.originalName, first.newName, first.path}),
                 (QStringList{"a", edited, "/r/Effects/a"}));
        QCOMPARE(model.folderItems()[1].newName, QStringLiteral("o"));
    }

    // The completion alert asks for the editor's restart when it runs as the run ends; a
    // list that cannot be read adds nothing and says nothing.
    void alertAsksForTheEditorsRestart_data() {
        QTest::addColumn<bool>("failing");
        QTest::addColumn<QStringList>("running"); // empty: the list cannot be read
        QTest::addColumn<QString>("message");
        const QString editor = "/Applications/Final Cut Pro.app/Contents/MacOS/Final Cut Pro";
        const QString restart = "\n请重新启动 Final Cut Pro 以载入新模板";
        QTest::newRow("not running")
            << false << QStringList{"/sbin/launchd", editor + " Helper", editor + "/x"}
            << "插件安装成功！";
        QTest::newRow("running") << false << QStringList{"/sbin/launchd", editor}
                                 << "插件安装成功！" + restart;
        QTest::newRow("running elsewhere, a plug-in failed")
            << true << QStringList{"/Users/me/Desktop" + editor.mid(13)}
            << "1 个插件安装失败，共 1 个" + restart;
        QTest::newRow("list unreadable") << false << QStringList() << "插件安装成功！";
    }

    void alertAsksForTheEditorsRestart() {
        QFETCH(bool, failing);
        QFETCH(QStringList, running);
        QFETCH(QString, message);
        Sandbox box;
        box.makeResourceDir("Titles/A");
        if (running.isEmpty())
            box.programs->answer = Error::saying(QStringLiteral("injected"), EPERM);
        else
            box.programs->answer = running;
        auto queue = std::make_shared<ManualQueue>();
        auto model = std::make_shared<InstallerViewModel>(box.platform(queue));
        if (failing)
            model->setNewName(model->folderItems().at(0).id(), QString());
        box.clearLines();
        model->requestInstallPlugins();
        QVERIFY(queue->runWhile([&] { return !model->showInstallationAlert(); }));
        QCOMPARE(model->installationAlertMessage(), message);
        QCOMPARE(box.lines().filter("程序"), QStringList());
    }
};

QTEST_GUILESS_MAIN(ViewModel)
#include "tst_view_model.moc"
