// The state object's change notifications, the edit of an item's new name, the completion
// alert's message.
#include "model/InstallerViewModel.h"
#include "support/StateAccess.h"
#include "support/TestPlatform.h"

#include <QtTest>


using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

class ViewModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A keystroke changes its own row's newName, kept as typed, and announces that row
    // alone: no list-wide change for the window to redraw. Unknown ids are ignored.
    void renamingChangesOneRow() {
        Sandbox box;
        box.makeResourceDir("Titles/A");
        box.makeResourceDir("Effects/B");
        InstallerViewModel model(box.platform(std::make_shared<ManualQueue>()));
        QCOMPARE(model.folderItems().size(), 2);
        const QString typed = QStringLiteral(" 带 \"引号\" \\ ");
        QList<int> renamed;
        int wholeChanges = 0;
        connect(&model, &InstallerViewModel::templateRenamed, &model,
                [&](int index) { renamed << index; });
        connect(&model, &InstallerViewModel::objectWillChange, &model, [&] { ++wholeChanges; });
        const quint64 generation = model.listGeneration();
        model.renameTemplate(model.folderItems()[1].id(), typed);
        model.renameTemplate(model.folderItems()[1].id(), typed); // the same text again
        model.renameTemplate(QUuid::createUuid(), QStringLiteral("x"));
        QCOMPARE(renamed, QList<int>{1});
        QCOMPARE(wholeChanges, 0);
        QCOMPARE(model.listGeneration(), generation);
        QCOMPARE(model.folderItems()[1].newName, typed);
        QCOMPARE(model.folderItems()[1].originalName, QStringLiteral("B"));
        QCOMPARE(model.folderItems()[0].newName, QStringLiteral("A"));
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
            model->renameTemplate(model->folderItems().at(0).id(), QString());
        box.clearLines();
        model->requestInstallPlugins();
        QVERIFY(queue->runWhile([&] { return !model->showInstallationAlert(); }));
        QCOMPARE(model->installationAlertMessage(), message);
        QCOMPARE(box.lines().filter("程序"), QStringList());
    }
};

QTEST_GUILESS_MAIN(ViewModel)
#include "tst_view_model.moc"
