#include "model/InstallerViewModel.h"
#include "platform/RealFileSystem.h"
#include "support/EngineSupport.h"
#include "support/TestPlatform.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

const QString templates = QStringLiteral("/Movies/Motion Templates.localized/");

// A sandbox whose main queue and script runner the test drives turn by turn.
struct RunFixture {
    Sandbox box;
    std::shared_ptr<SteppingQueue> queue = std::make_shared<SteppingQueue>();
    std::shared_ptr<FakeProcessRunner> runner = std::make_shared<FakeProcessRunner>(queue);
    std::shared_ptr<HookedFileSystem> fileSystem;
    std::shared_ptr<InstallerViewModel> model;
    std::unique_ptr<ChangeRecorder> recorder;

    // Call once the resource folder is laid out: construction scans it.
    void start() {
        Platform platform = box.platform(queue);
        fileSystem = std::make_shared<HookedFileSystem>(platform.fileSystem, nullptr);
        platform.fileSystem = fileSystem;
        platform.processRunner = runner;
        model = std::make_shared<InstallerViewModel>(platform);
        while (queue->runOne()) {
        } // the tutorial address
        box.clearLines();
        forgetSummary();
        recorder = std::make_unique<ChangeRecorder>(*model);
    }
    // So that the run's summary shows as a change even when it equals the last one.
    void forgetSummary() { model->setInstallationSummary({-1, -1}); }
    QStringList run() {
        model->installPlugins();
        runTurns(*queue, *recorder);
        return recorder->changes();
    }
    QString installed(const QString& relative) const {
        return box.homePath() + templates + relative;
    }
    QStringList runLines() const {
        // Leaves out the resource folder's own trace, which its own tests cover.
        QStringList lines;
        for (const QString& line : box.lines())
            if (line.startsWith("处理项目失败: ") || line.startsWith("脚本"))
                lines << line;
        return lines;
    }
};

QStringList ending(int failed, int total) {
    return {"|",
            "installationProgress=安装完成！",
            QStringLiteral("installationSummary=%1 of %2 failed").arg(failed).arg(total),
            "showInstallationAlert=true",
            "|",
            "isInstalling=false"};
}

const QStringList starting = {"isInstalling=true", "installationProgress=开始安装..."};

} // namespace

class InstallationRunTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptyListGoesStraightToCompletion() {
        RunFixture f;
        f.box.makeResourceDir("Titles");
        f.start();
        QCOMPARE(f.run(), (starting + ending(0, 0)));
        QVERIFY(f.runner->calls.isEmpty());
        QCOMPARE(f.model->installationAlertMessage(), "插件安装成功！");
        QVERIFY(f.fileSystem->operations.isEmpty());
    }

    void emptyListWithScript() {
        RunFixture f;
        const QString script = f.box.writeResourceFile("post.command", "exit 0\n");
        f.start();
        QCOMPARE(f.run(), (starting + QStringList{"installationProgress=执行安装后脚本...", "|"} +
                           ending(0, 0)));
        QCOMPARE(f.runner->calls, QStringList{"/bin/sh " + script});
    }

    void secondOfThreeFailsAndTheRunCarriesOn() {
        RunFixture f;
        f.box.writeResourceFile("Titles/A/a.moti", "a");
        f.box.writeResourceFile("Effects/B/b.moef", "b");
        f.box.writeResourceFile("Generators/C/c.motn", "c");
        f.box.writeResourceFile("post.command", "exit 0\n");
        // The effects kind folder cannot be made: a file stands in its place.
        f.box.writeFile("home" + templates + "Effects.localized", "in the way");
        f.start();
        const QStringList changes = f.run();

        const QStringList lines = f.runLines();
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines[0].startsWith("处理项目失败: B, 错误: "));
        const QString description = lines[0].mid(QStringLiteral("处理项目失败: B, 错误: ").size());
        QVERIFY2(description.contains(f.installed("Effects.localized")), qPrintable(description));

        QCOMPARE(changes, (starting +
                           QStringList{
                               "installationProgress=正在安装: A",
                               "|",
                               "installationProgress=已安装: A",
                               "installationProgress=正在安装: B",
                               "|",
                               "installationProgress=安装 B 失败: " + description,
                               "installationProgress=正在安装: C",
                               "|",
                               "installationProgress=已安装: C",
                               "installationProgress=执行安装后脚本...",
                               "|",
                           } +
                           ending(1, 3)));
        QVERIFY(QFile::exists(f.installed("Titles.localized/A/a.moti")));
        QVERIFY(QFile::exists(f.installed("Generators.localized/C/c.motn")));
        QCOMPARE(f.model->installationAlertMessage(), "1 个插件安装失败，共 3 个");
        QVERIFY(!f.model->isInstalling());
        QCOMPARE(f.model->installationProgress(), "安装完成！");
        QVERIFY(f.model->showInstallationAlert());
    }

    void copiesUnderNewNameAndMergesIntoExisting() {
        RunFixture f;
        f.box.writeResourceFile("Titles/A/a.moti", "a");
        f.box.writeResourceFile("Titles/A/.hidden", "h");
        f.box.writeResourceFile("Effects/B/shared", "new");
        f.box.writeFile("home" + templates + "Effects.localized/B/shared", "old");
        f.box.writeFile("home" + templates + "Effects.localized/B/mine", "kept");
        f.start();
        f.model->setNewName(f.model->folderItems()[0].id(), "Renamed");
        f.forgetSummary();
        f.recorder = std::make_unique<ChangeRecorder>(*f.model);
        QCOMPARE(f.run(), (starting +
                           QStringList{
                               "installationProgress=正在安装: A",
                               "|",
                               "installationProgress=已安装: Renamed",
                               "installationProgress=正在安装: B",
                               "|",
                               "installationProgress=已安装: B",
                           } +
                           ending(0, 2)));
        QCOMPARE(treeListing(f.installed("Titles.localized/Renamed")),
                 treeListing(f.box.resourcePath() + "/Titles/A"));
        QCOMPARE(treeListing(f.installed("Effects.localized/B")),
                 QStringList({"mine = " + QByteArray("kept").toHex(),
                              "shared = " + QByteArray("new").toHex()}));
        QVERIFY(f.box.lines().contains("开始合并目录: " + f.box.resourcePath() + "/Effects/B -> " +
                                       f.installed("Effects.localized/B")));
    }

    void unusableNewNameFailsTheItemAndWritesNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::newRow("empty") << QString() << "名称为空，不能用作文件夹名";
        QTest::newRow("dot") << "."
                             << "名称 “.” 不能用作文件夹名：它指向当前或上一级文件夹";
        QTest::newRow("dot dot") << ".."
                                 << "名称 “..” 不能用作文件夹名：它指向当前或上一级文件夹";
        QTest::newRow("slash") << "../x"
                               << "名称 “../x” 不能用作文件夹名：其中含有 “/”";
        QTest::newRow("absolute") << "/Templates"
                                  << "名称 “/Templates” 不能用作文件夹名：其中含有 “/”";
        QTest::newRow("nul") << QString("a") + QChar(0) + "b"
                             << "名称 “a␀b” 不能用作文件夹名：其中含有空字符";
    }
    void unusableNewNameFailsTheItemAndWritesNothing() {
        QFETCH(QString, name);
        QFETCH(QString, description);
        RunFixture f;
        f.box.writeResourceFile("Effects/A/a.moef", "a");
        f.start();
        f.model->setNewName(f.model->folderItems()[0].id(), name);
        f.forgetSummary();
        f.recorder = std::make_unique<ChangeRecorder>(*f.model);
        QCOMPARE(f.run(), (starting +
                           QStringList{"installationProgress=正在安装: A", "|",
                                       "installationProgress=安装 A 失败: " + description} +
                           ending(1, 1)));
        QCOMPARE(f.runLines(), QStringList{"处理项目失败: A, 错误: " + description});
        QVERIFY(f.fileSystem->operations.isEmpty());
        QCOMPARE(treeListing(f.box.homePath()), QStringList());
        QCOMPARE(f.model->installationAlertMessage(), "1 个插件安装失败，共 1 个");
    }

    void runsNeverInterleave() {
        RunFixture f;
        f.box.writeResourceFile("Titles/A/a.moti", "a");
        f.start();
        const QStringList one =
            starting +
            QStringList{"installationProgress=正在安装: A", "|", "installationProgress=已安装: A"} +
            ending(0, 1);
        // A second call while the first is under way does nothing.
        f.model->installPlugins();
        f.model->installPlugins();
        runTurns(*f.queue, *f.recorder);
        QCOMPARE(f.recorder->changes(), one);

        // Two presses before the first queued run has begun: one run.
        f.forgetSummary();
        f.model->setShowInstallationAlert(false); // the user closed the alert
        f.recorder = std::make_unique<ChangeRecorder>(*f.model);
        QSignalSpy finished(f.model.get(), &InstallerViewModel::installationFinished);
        f.model->requestInstallPlugins();
        f.model->requestInstallPlugins();
        runTurns(*f.queue, *f.recorder);
        // The second queued run gets its turn (the fourth) and leaves it unused.
        QCOMPARE(f.recorder->changes(), (QStringList{"|"} + starting +
                                         QStringList{"installationProgress=正在安装: A", "|", "|",
                                                     "installationProgress=已安装: A"} +
                                         ending(0, 1)));
        QCOMPARE(finished.size(), 1);
    }

    void runOutlivesTheWindowsReference() {
        Sandbox box;
        box.writeResourceFile("Titles/A/a.moti", "a");
        auto queue = std::make_shared<SteppingQueue>();
        auto model = std::make_shared<InstallerViewModel>(box.platform(queue));
        std::weak_ptr<InstallerViewModel> watch = model;
        while (queue->runOne()) {
        }
        model->installPlugins();
        model.reset();
        QVERIFY(!watch.expired());
        while (queue->runOne()) {
        }
        QVERIFY(watch.expired());
        QVERIFY(QFile::exists(box.homePath() + templates + "Titles.localized/A/a.moti"));
    }

    void installsTheDemoPackAsItIs() {
        const QString pack = QFINDTESTDATA("../../demo-pack");
        QVERIFY(!pack.isEmpty());
        Sandbox box;
        RealFileSystem fs;
        box.makeDir("apps/Installer.app/Contents");
        QVERIFY(!fs.copyItem(pack, box.resourcePath()));
        auto model = std::make_shared<InstallerViewModel>(box.platform());
        QSignalSpy finished(model.get(), &InstallerViewModel::installationFinished);
        model->requestInstallPlugins();
        QVERIFY(finished.wait(20000));
        for (const char* kind : {"Titles", "Effects", "Generators", "Transitions"})
            QCOMPARE(treeListing(box.homePath() + templates + kind + ".localized"),
                     treeListing(pack + "/" + kind));
        QCOMPARE(box.lines().filter("脚本"), QStringList());
        QCOMPARE(model->installationAlertMessage(), "插件安装成功！");
    }
};

QTEST_GUILESS_MAIN(InstallationRunTest)
#include "tst_installation_run.moc"
