// The installation run and the font installation, change by change and turn by turn.
#include "support/EngineSupport.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

// A whole run: its start, `steps` (status texts, and "|" for a turn), its end.
QStringList runTrace(const QStringList& steps, int failed, int total) {
    QStringList trace = {"isInstalling=true", "installationProgress=开始安装..."};
    for (const QString& step : steps)
        trace << (step == "|" ? step : "installationProgress=" + step);
    return trace << "|"
                 << "installationProgress=安装完成！"
                 << QString("installationSummary=%1 of %2 failed").arg(failed).arg(total)
                 << "showInstallationAlert=true"
                 << "|"
                 << "isInstalling=false";
}

QString hex(const QByteArray& content) {
    return QString::fromLatin1(content.toHex());
}

} // namespace

class InstallationRunTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wholeRun_data() {
        QTest::addColumn<bool>("items");
        QTest::addColumn<bool>("script");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("why");
        const QString dots = "名称 “%1” 不能用作文件夹名：它指向当前或上一级文件夹";
        QTest::newRow("empty list") << false << false << ""
                                    << "";
        QTest::newRow("empty list, script") << false << true << ""
                                            << "";
        QTest::newRow("empty name") << true << false << ""
                                    << "名称为空，不能用作文件夹名";
        QTest::newRow("dot, script") << true << true << "." << dots.arg(".");
        QTest::newRow("dot dot") << true << false << ".." << dots.arg("..");
        QTest::newRow("slash") << true << false << "../x"
                               << "名称 “../x” 不能用作文件夹名：其中含有 “/”";
        QTest::newRow("nul") << true << false << QString("a") + QChar(0) + "b"
                             << "名称 “a␀b” 不能用作文件夹名：其中含有空字符";
    }
    // Of three items, the first is renamed and copied whole, the second has a name it cannot
    // be installed under, the third is merged into an earlier installation.
    void wholeRun() {
        QFETCH(bool, items);
        QFETCH(bool, script);
        QFETCH(QString, name);
        QFETCH(QString, why);
        Engine e;
        e.makeResourceDir("Titles");
        if (items) {
            e.writeResourceFile("Titles/A/.hidden");
            e.writeResourceFile("Effects/B/b.moef");
            e.writeResourceFile("Generators/C/new");
            e.writeFile("home" + templates + "Generators.localized/C/mine", "kept");
        }
        const QString post = script ? e.writeResourceFile("post.command") : QString();
        e.start();
        QStringList steps;
        if (items) {
            e.model->setNewName(e.model->folderItems()[0].id(), "Renamed");
            e.model->setNewName(e.model->folderItems()[1].id(), name);
            steps << "正在安装: A"
                  << "|"
                  << "已安装: Renamed"
                  << "正在安装: B"
                  << "|"
                  << "安装 B 失败: " + why << "正在安装: C"
                  << "|"
                  << "已安装: C";
        }
        if (script)
            steps << "执行安装后脚本..."
                  << "|";
        QCOMPARE(e.record(), runTrace(steps, items ? 1 : 0, items ? 3 : 0));
        QCOMPARE(e.failureLines(),
                 items ? QStringList{"处理项目失败: B, 错误: " + why} : QStringList());
        QCOMPARE(e.runner->calls, script ? QStringList{"/bin/sh " + post} : QStringList());
        QCOMPARE(e.model->installationAlertMessage(),
                 QString(items ? "1 个插件安装失败，共 3 个" : "插件安装成功！"));
        QVERIFY(!QFileInfo::exists(e.installed("Effects.localized"))); // nothing written for B
        if (items) {
            QCOMPARE(treeListing(e.installed("Titles.localized/Renamed")),
                     treeListing(e.resourcePath() + "/Titles/A"));
            QCOMPARE(treeListing(e.installed("Generators.localized/C")),
                     QStringList({"mine = " + hex("kept"), "new = " + hex("x")}));
        }
    }

    // A second press before the first run has ended makes no second run, and a run keeps
    // the state object alive until it ends.
    void runsNeverInterleave() {
        Engine e;
        e.writeResourceFile("Titles/A/a.moti");
        e.start();
        QSignalSpy finished(e.model.get(), &InstallerViewModel::installationFinished);
        const QStringList changes = e.record([&] {
            e.model->requestInstallPlugins();
            e.model->requestInstallPlugins();
        });
        // The second run has its turn (the second) while the first is under way.
        QCOMPARE(changes,
                 QStringList{"|"} + runTrace({"正在安装: A", "|", "|", "已安装: A"}, 0, 1));
        QCOMPARE(finished.size(), 1);

        const std::weak_ptr<InstallerViewModel> watch = e.model;
        e.model->installPlugins();
        e.model->disconnect(); // stop recording
        e.model.reset();       // the window lets go
        QVERIFY(!watch.expired());
        e.queue->runAll();
        QVERIFY(watch.expired());
    }

    void installsTheDemoPackAsItIs() {
        const QString pack = QFINDTESTDATA("../../demo-pack");
        QVERIFY(!pack.isEmpty());
        Sandbox box;
        box.makeDir("apps/Installer.app/Contents");
        QVERIFY(!RealFileSystem().copyItem(pack, box.resourcePath()));
        auto model = std::make_shared<InstallerViewModel>(box.platform());
        QSignalSpy finished(model.get(), &InstallerViewModel::installationFinished);
        model->requestInstallPlugins();
        QVERIFY(finished.wait(20000));
        for (const char* kind : {"Titles", "Effects", "Generators", "Transitions"})
            QCOMPARE(treeListing(box.homePath() + templates + kind + ".localized"),
                     treeListing(pack + "/" + kind));
        QCOMPARE(box.lines().filter("脚本"), QStringList());
        QCOMPARE(model->installationAlertMessage(), QString("插件安装成功！"));
    }

    // Visible fonts are copied, never over an installed one; a refused copy is reported.
    void fonts() {
        Engine bare; // no resource folder: nothing happens
        bare.start();
        QCOMPARE(bare.record([&] { bare.model->installFonts(); }), QStringList());

        Engine e;
        e.makeResourceDir("Titles");
        e.start();
        const auto install = [&] { return e.record([&] { e.model->installFonts(); }); };
        const QString failed = "installationProgress=字体安装失败: ";
        const QStringList missing = install();
        QVERIFY2(missing.size() == 1 && missing[0].startsWith(failed) &&
                     missing[0].contains(e.resourcePath() + "/Fonts"),
                 qPrintable(missing.join(" / ")));
        e.makeResourceDir("Fonts");
        QCOMPARE(install(), QStringList{"installationProgress=字体安装完成"});
        QCOMPARE(treeListing(e.fontsPath()), QStringList());
        e.writeResourceFile("Fonts/A.ttf", "a");
        e.writeResourceFile("Fonts/.License.txt");
        e.writeResourceFile("Fonts/Family/B.otf", "b");
        e.writeFile("Library/Fonts/A.ttf", "the user's own");
        QCOMPARE(install(), QStringList{"(same value)"}); // still finished
        const int copies = e.fs->operations;
        QCOMPARE(install(), QStringList{"(same value)"});
        QCOMPARE(e.fs->operations, copies); // the second time nothing is even tried
        QCOMPARE(treeListing(e.fontsPath()),
                 QStringList({"A.ttf = " + hex("the user's own"), "Family/",
                              "Family/B.otf = " + hex("b")}));
        e.fs->hook = [](const QString&, const QString& from, const QString&) -> Status {
            return Error{"设备上没有空间: " + from};
        };
        const QString font = e.writeResourceFile("Fonts/C.ttf");
        QCOMPARE(install(), QStringList{failed + "设备上没有空间: " + font});
    }
};

QTEST_GUILESS_MAIN(InstallationRunTest)
#include "tst_installation_run.moc"
