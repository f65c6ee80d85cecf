#include "model/InstallerViewModel.h"
#include "support/EngineSupport.h"
#include "support/TestPlatform.h"

#include <QFile>
#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

struct FontsFixture {
    Sandbox box;
    std::shared_ptr<InstallerViewModel> model;
    std::unique_ptr<ChangeRecorder> recorder;

    void start(HookedFileSystem::Hook hook = {}, QString fontsFolder = {}) {
        Platform platform = box.platform(std::make_shared<ManualQueue>());
        platform.fileSystem =
            std::make_shared<HookedFileSystem>(platform.fileSystem, std::move(hook));
        if (!fontsFolder.isEmpty())
            platform.fontsFolder = fontsFolder;
        model = std::make_shared<InstallerViewModel>(platform);
        model->setInstallationProgress("before");
        recorder = std::make_unique<ChangeRecorder>(*model);
    }
    QStringList install() {
        model->installFonts();
        return recorder->changes();
    }
};

} // namespace

class FontsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void withoutResourceFolderNothingHappens() {
        FontsFixture f;
        f.start();
        QCOMPARE(f.install(), QStringList());
        QCOMPARE(f.model->installationProgress(), "before");
    }

    void missingFontsFolderIsReported() {
        FontsFixture f;
        f.box.makeResourceDir("Titles");
        f.start();
        const QStringList changes = f.install();
        QCOMPARE(changes.size(), 1);
        QVERIFY(changes[0].startsWith("installationProgress=字体安装失败: "));
        QVERIFY2(changes[0].contains(f.box.resourcePath() + "/Fonts"), qPrintable(changes[0]));
    }

    void emptyFontsFolderFinishes() {
        FontsFixture f;
        f.box.makeResourceDir("Fonts");
        f.start();
        QCOMPARE(f.install(), QStringList{"installationProgress=字体安装完成"});
        QCOMPARE(treeListing(f.box.fontsPath()), QStringList());
    }

    void copiesVisibleFontsOnceAndKeepsInstalledOnes() {
        FontsFixture f;
        f.box.writeResourceFile("Fonts/A.ttf", "a");
        f.box.writeResourceFile("Fonts/.License.txt", "hidden");
        f.box.writeResourceFile("Fonts/Family/B.otf", "b");
        f.start();
        QCOMPARE(f.install(), QStringList{"installationProgress=字体安装完成"});
        const QStringList expected = {"A.ttf = " + QByteArray("a").toHex(), "Family/",
                                      "Family/B.otf = " + QByteArray("b").toHex()};
        QCOMPARE(treeListing(f.box.fontsPath()), expected);

        // The second time every font is already there: kept as it is, still no failure.
        f.box.writeFile("Library/Fonts/A.ttf", "the user's own");
        QCOMPARE(f.install(), QStringList({"installationProgress=字体安装完成", "(same value)"}));
        QCOMPARE(treeListing(f.box.fontsPath()),
                 QStringList({"A.ttf = " + QByteArray("the user's own").toHex(), "Family/",
                              "Family/B.otf = " + QByteArray("b").toHex()}));
        QCOMPARE(f.model->isInstalling(), false);
        QCOMPARE(f.model->showInstallationAlert(), false);
    }

    void aFontThatCannotBeWrittenIsReported() {
        FontsFixture f;
        f.box.writeResourceFile("Fonts/A.ttf", "a");
        f.box.writeResourceFile("Fonts/B.ttf", "b");
        f.box.writeResourceFile("Fonts/C.ttf", "c");
        f.start([](const QString& op, const QString& from, const QString&) -> Status {
            if (op == "copyItem" && !from.endsWith("A.ttf"))
                return Error{"无法复制 “" + from + "”: 设备上没有空间"};
            return std::nullopt;
        });
        const QStringList changes = f.install();
        QCOMPARE(changes.size(), 1);
        // The first failure in listing order names its font; the others are still tried.
        QVERIFY(changes[0].startsWith("installationProgress=字体安装失败: 无法复制 “"));
        QVERIFY(changes[0].endsWith("”: 设备上没有空间"));
        QVERIFY(QFile::exists(f.box.fontsPath() + "/A.ttf"));

        FontsFixture missing;
        missing.box.writeResourceFile("Fonts/A.ttf", "a");
        missing.start({}, missing.box.path("no/such/Fonts"));
        const QStringList refused = missing.install();
        QCOMPARE(refused.size(), 1);
        QVERIFY(refused[0].startsWith("installationProgress=字体安装失败: "));
        QVERIFY2(refused[0].contains(missing.box.path("no/such/Fonts/A.ttf")),
                 qPrintable(refused[0]));
    }
};

QTEST_GUILESS_MAIN(FontsTest)
#include "tst_fonts.moc"
