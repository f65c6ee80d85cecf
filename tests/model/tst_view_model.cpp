// The completion alert's message, and the edit of an item's new name after it.
#include "model/InstallerViewModel.h"
#include "support/EngineSupport.h"

#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

const QString why = "：“…/Titles.localized/T%1” 已存在，但不是文件夹";

class ViewModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What failed and why (ten at most), or a full disk; a restart if the editor runs.
    void alertAfterARun_data() {
        QTest::addColumn<int>("templates");
        QTest::addColumn<int>("failing");         // the first ones, a file where their folder goes
        QTest::addColumn<QStringList>("running"); // empty: the list cannot be read
        QTest::addColumn<qint64>("freeBytes");    // -1: as the disk says
        QTest::addColumn<QString>("alert");       // title, then message
        const QString editor = "/Applications/Final Cut Pro.app/Contents/MacOS/Final Cut Pro";
        const QString restart = "\n请重新启动 Final Cut Pro 以载入新模板";
        QTest::newRow("running") << 1 << 0 << QStringList{"/sbin/launchd", editor} << -1LL
                                 << "安装完成！\n插件安装成功！" + restart;
        QTest::newRow("running elsewhere, one of two failed")
            << 2 << 1 << QStringList{"/Users/me/Desktop" + editor.mid(13)} << -1LL
            << "部分插件未能安装\n1 个插件安装失败，共 2 个{failures}" + restart;
        // {failures}: the first ten failed rows, in the list's order (the file system's).
        const QString twelve = "插件未能安装\n12 个插件安装失败，共 12 个{failures}";
        QTest::newRow("twelve failed, list unreadable")
            << 12 << 12 << QStringList() << -1LL << twelve + "\n…还有 2 个";
        QTest::newRow("ten failed")
            << 10 << 10 << QStringList() << -1LL << QString(twelve).replace("12 个", "10 个");
        QTest::newRow("disk too small") << 2 << 0 << QStringList{} << 3LL
                                        << "插件未能安装\n磁盘空间不足：需要 4 bytes，可用 3 bytes";
        // Neither the editor's helper nor a program inside its bundle is the editor.
        QTest::newRow("disk just large enough, not running")
            << 2 << 0 << QStringList{"/sbin/launchd", editor + " Helper", editor + "/x"} << 4LL
            << "安装完成！\n插件安装成功！";
    }

    void alertAfterARun() {
        QFETCH(int, templates);
        QFETCH(int, failing);
        QFETCH(QStringList, running);
        QFETCH(qint64, freeBytes);
        QFETCH(QString, alert);
        Sandbox box;
        for (int i = 0; i < templates; ++i)
            box.writeResourceFile(QString("Titles/T%1/a").arg(i), "ab");
        for (int i = 0; i < failing; ++i)
            box.writeFile(
                QString("home/Movies/Motion Templates.localized/Titles.localized/T%1").arg(i));
        if (running.isEmpty())
            box.programs->answer = Error::saying(QStringLiteral("injected"), EPERM);
        else
            box.programs->answer = running;
        auto queue = std::make_shared<ManualQueue>();
        Platform platform = box.platform(queue);
        if (freeBytes >= 0)
            platform.fileSystem = std::make_shared<FullVolume>(box.homePath(), freeBytes);
        auto model = std::make_shared<InstallerViewModel>(platform);
        box.clearLines();
        model->requestInstallPlugins();
        QVERIFY(queue->runWhile(
            [&] { return !model->showInstallationAlert() || model->isInstalling(); }));
        QString said = model->installationAlertTitle() + '\n' + model->installationAlertMessage();
        said.replace(box.homePath() + "/Movies/Motion Templates.localized", "…");
        QString failures;
        for (const FolderItem& item : model->folderItems())
            if (const int i = item.originalName.mid(1).toInt();
                i < failing && failures.count('\n') < 10)
                failures += '\n' + item.originalName + QString(why).arg(i);
        QCOMPARE(said, QString(alert).replace("{failures}", failures));
        const bool full = alert.contains("磁盘");
        QCOMPARE(box.lines().filter("程序"), QStringList());
        QCOMPARE(model->rowFailures().size(), full ? templates : failing);
        QCOMPARE(model->installationProgress(),
                 full ? alert.section('\n', 1) : QString("安装完成！"));
        if (full)
            QVERIFY(!QFileInfo::exists(box.homePath() + "/Movies/Motion Templates.localized/"
                                                        "Titles.localized/T0"));
        // A rename, announced before it is stored and then told for its row, keeps the name as
        // typed and takes the row's mark away; an unknown id is ignored.
        const int last = int(model->folderItems().size()) - 1;
        const FolderItem before = model->folderItems()[last];
        QStringList heard;
        connect(model.get(), &InstallerViewModel::objectWillChange, this,
                [&] { heard << "will change from " + model->folderItems()[last].newName; });
        connect(model.get(), &InstallerViewModel::templateRenamed, this,
                [&](int index) { heard << "renamed " + QString::number(index); });
        const QString typed = QStringLiteral(" 带 \"引号\" \\ ");
        model->renameTemplate(before.id, typed);
        model->renameTemplate(QUuid::createUuid(), QStringLiteral("x"));
        QCOMPARE(heard, QStringList({"will change from " + before.newName,
                                     "renamed " + QString::number(last)}));
        QCOMPARE(model->folderItems()[last].newName, typed);
        QVERIFY(!model->rowFailures().contains(before.id));
    }
};

QTEST_GUILESS_MAIN(ViewModel)
#include "tst_view_model.moc"
