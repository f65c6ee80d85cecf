// Locating the resource folder: every row of its failure table, the list rendering, and the
// bundle rule for executables inside and outside an .app folder.
#include "discovery/NameList.h"
#include "model/InstallerViewModel.h"
#include "support/FailingFileSystem.h"
#include "support/TestPlatform.h"
#include "support/Trace.h"

#include <QDir>
#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

const QString kId = QStringLiteral("com.example.installer");

QString start() { return QStringLiteral("开始查找资源路径..."); }
QString idLine(const QString& id = kId) { return QStringLiteral("Bundle 标识符: ") + id; }
QString pathLine(const QString& p) { return QStringLiteral("Bundle 路径: ") + p; }
QString found(const QString& p) { return QStringLiteral("找到资源路径: ") + p; }
QString listing(const QString& list) { return QStringLiteral("资源目录内容: ") + list; }
QString cannotList(const QString& why) { return QStringLiteral("无法访问资源目录: ") + why; }
QString fallback(const QString& p) { return QStringLiteral("尝试备选资源路径: ") + p; }
QString fallbackListing(const QString& list) { return QStringLiteral("备选路径内容: ") + list; }
QString cannotListFallback(const QString& why) { return QStringLiteral("无法访问备选资源目录: ") + why; }
QString nothing() { return QStringLiteral("❌ 无法找到可用的资源路径"); }

// A state object over `platform`, with the construction's trace thrown away.
std::shared_ptr<InstallerViewModel> quietModel(const Sandbox& box, Platform platform) {
    auto model = std::make_shared<InstallerViewModel>(std::move(platform));
    box.clearLines();
    return model;
}

Platform withBundle(Platform platform, std::optional<QString> id, QString bundlePath,
                    std::optional<QString> resources) {
    platform.bundle = std::make_shared<FixedBundle>(std::move(id), std::move(bundlePath),
                                                    std::move(resources));
    return platform;
}

} // namespace

class ResourcePath : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readableBundleResourcesAreUsed() {
        Sandbox box;
        box.writeResourceFile(QStringLiteral("tutorial_url.txt"));
        auto model = quietModel(box, box.platform());
        QCOMPARE(model->findResourcePath(), std::optional<QString>(box.resourcePath()));
        QCOMPARE(box.lines(), (QStringList{start(), idLine(), pathLine(box.bundlePath()),
                                           found(box.resourcePath()),
                                           listing(QStringLiteral("[\"tutorial_url.txt\"]"))}));
    }

    void emptyResourceFolderIsAccepted() {
        Sandbox box;
        box.makeResourceDir({});
        auto model = quietModel(box, box.platform());
        QCOMPARE(model->findResourcePath(), std::optional<QString>(box.resourcePath()));
        QCOMPARE(box.lines().last(), listing(QStringLiteral("[]")));
        QCOMPARE(box.lines().size(), 5);
    }

    void bundleWithoutIdentifierPrintsUnknown() {
        Sandbox box;
        box.makeResourceDir({});
        auto model = quietModel(
            box, withBundle(box.platform(), std::nullopt, box.bundlePath(), box.resourcePath()));
        model->findResourcePath();
        QCOMPARE(box.lines().at(1), QStringLiteral("Bundle 标识符: 未知"));
    }

    void unlistableResourcesFallBackToReadableFallback() {
        Sandbox box;
        box.makeResourceDir({});
        box.writeFile(QStringLiteral("Resources/only.txt"));
        auto failing = std::make_shared<FailingFileSystem>(box.platform().fileSystem);
        Platform platform = box.platform();
        platform.fileSystem = failing;
        auto model = quietModel(box, platform);
        failing->fail(FailingFileSystem::Operation::entryNames, box.resourcePath());

        const QString a = box.path(QStringLiteral("Resources"));
        QCOMPARE(model->findResourcePath(), std::optional<QString>(a));
        const QStringList expected{start(), idLine(), pathLine(box.bundlePath()),
                                   found(box.resourcePath()), cannotList(QStringLiteral("…")),
                                   fallback(a), fallbackListing(QStringLiteral("[\"only.txt\"]"))};
        QCOMPARE(maskValues(box.lines(), {cannotList({})}), expected);
        QVERIFY(box.lines().at(4).contains(box.resourcePath()));
    }

    // Without a fake: something that is not a folder stands where the resources must be.
    void resourcesThatAreAFileFallBack() {
        Sandbox box;
        const QString file = box.writeFile(QStringLiteral("apps/Installer.app/Contents/Resources"));
        box.makeDir(QStringLiteral("Resources"));
        auto model =
            quietModel(box, withBundle(box.platform(), kId, box.bundlePath(), file));
        const QString a = box.path(QStringLiteral("Resources"));
        QCOMPARE(model->findResourcePath(), std::optional<QString>(a));
        const QStringList expected{start(), idLine(), pathLine(box.bundlePath()), found(file),
                                   cannotList({}), fallback(a), fallbackListing(QStringLiteral("[]"))};
        QCOMPARE(maskValues(box.lines(), {cannotList({})}), maskValues(expected, {cannotList({})}));
        QVERIFY(box.lines().at(4).size() > cannotList({}).size());
    }

    void noBundleResourcesUsesReadableFallback() {
        Sandbox box;
        box.makeDir(QStringLiteral("Resources/Titles"));
        auto model = quietModel(box, box.platform());  // no Contents/Resources: no R
        const QString a = box.path(QStringLiteral("Resources"));
        QCOMPARE(model->findResourcePath(), std::optional<QString>(a));
        QCOMPARE(box.lines(), (QStringList{start(), idLine(), pathLine(box.bundlePath()), fallback(a),
                                           fallbackListing(QStringLiteral("[\"Titles\"]"))}));
    }

    void fallbackIsTwoLevelsAboveTheBundle() {
        Sandbox box;
        const QString bundle = box.path(QStringLiteral("a/b/c.app"));
        box.makeDir(QStringLiteral("a/b/c.app/Resources"));
        box.makeDir(QStringLiteral("a/b/Resources"));
        box.makeDir(QStringLiteral("a/Resources"));
        auto model = quietModel(box, withBundle(box.platform(), kId, bundle, std::nullopt));
        QCOMPARE(model->findResourcePath(),
                 std::optional<QString>(box.path(QStringLiteral("a/Resources"))));
    }

    void noResourcesAndNoFallback_data() {
        QTest::addColumn<bool>("bundleHasResources");
        QTest::addColumn<bool>("fallbackIsFile");
        QTest::newRow("no R, A missing") << false << false;
        QTest::newRow("no R, A is a file") << false << true;
        QTest::newRow("R unlistable, A missing") << true << false;
        QTest::newRow("R unlistable, A is a file") << true << true;
    }
    void noResourcesAndNoFallback() {
        QFETCH(bool, bundleHasResources);
        QFETCH(bool, fallbackIsFile);
        Sandbox box;
        const QString a = box.path(QStringLiteral("Resources"));
        if (fallbackIsFile)
            box.writeFile(QStringLiteral("Resources"));
        box.makeResourceDir({});
        auto failing = std::make_shared<FailingFileSystem>(box.platform().fileSystem);
        Platform platform = withBundle(box.platform(), kId, box.bundlePath(),
                                       bundleHasResources ? std::optional(box.resourcePath())
                                                          : std::nullopt);
        platform.fileSystem = failing;
        auto model = quietModel(box, platform);
        failing->fail(FailingFileSystem::Operation::entryNames, box.resourcePath());

        QCOMPARE(model->findResourcePath(), std::nullopt);
        QStringList expected{start(), idLine(), pathLine(box.bundlePath())};
        if (bundleHasResources)
            expected << found(box.resourcePath()) << cannotList(QStringLiteral("…"));
        expected << fallback(a) << nothing();
        QCOMPARE(maskValues(box.lines(), {cannotList({})}), expected);
    }

    void unlistableFallbackGivesNothing_data() {
        QTest::addColumn<bool>("bundleHasResources");
        QTest::newRow("no R") << false;
        QTest::newRow("R unlistable") << true;
    }
    void unlistableFallbackGivesNothing() {
        QFETCH(bool, bundleHasResources);
        Sandbox box;
        box.makeResourceDir({});
        const QString a = box.makeDir(QStringLiteral("Resources"));
        auto failing = std::make_shared<FailingFileSystem>(box.platform().fileSystem);
        Platform platform = withBundle(box.platform(), kId, box.bundlePath(),
                                       bundleHasResources ? std::optional(box.resourcePath())
                                                          : std::nullopt);
        platform.fileSystem = failing;
        auto model = quietModel(box, platform);
        failing->fail(FailingFileSystem::Operation::entryNames, box.resourcePath());
        failing->fail(FailingFileSystem::Operation::entryNames, a);

        QCOMPARE(model->findResourcePath(), std::nullopt);
        QStringList expected{start(), idLine(), pathLine(box.bundlePath())};
        if (bundleHasResources)
            expected << found(box.resourcePath()) << cannotList(QStringLiteral("…"));
        expected << fallback(a) << cannotListFallback(QStringLiteral("…")) << nothing();
        QCOMPARE(maskValues(box.lines(), {cannotList({}), cannotListFallback({})}), expected);
        QVERIFY(box.lines().at(expected.size() - 2).contains(a));
    }

    void twoCallsPrintTwoWholeTraces() {
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Effects"));
        auto model = quietModel(box, box.platform());
        model->findResourcePath();
        const QStringList once = box.lines();
        QCOMPARE(once.size(), 5);
        box.makeResourceDir(QStringLiteral("Fonts"));  // nothing is cached between calls
        box.clearLines();
        model->findResourcePath();
        model->findResourcePath();
        const QStringList twice = resourceFoundTrace(kId, box.bundlePath(), box.resourcePath());
        QCOMPARE(box.lines(), twice + twice);
        QVERIFY(box.lines().at(4).contains(QStringLiteral("\"Fonts\"")));
    }

    // Names are listed as stored: blanks, Chinese, quotes and backslashes, hidden ones too.
    void oddNamesAreListedAsStored_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("rendered");
        QTest::newRow("blanks") << QStringLiteral("My  Titles ") << QStringLiteral("[\"My  Titles \"]");
        QTest::newRow("chinese") << QStringLiteral("字幕 标题") << QStringLiteral("[\"字幕 标题\"]");
        QTest::newRow("quotes") << QStringLiteral("say \"hi\"")
                                << QStringLiteral("[\"say \\\"hi\\\"\"]");
        QTest::newRow("backslash") << QStringLiteral("a\\b\\") << QStringLiteral("[\"a\\\\b\\\\\"]");
        QTest::newRow("hidden") << QStringLiteral(".DS_Store") << QStringLiteral("[\".DS_Store\"]");
    }
    void oddNamesAreListedAsStored() {
        QFETCH(QString, name);
        QFETCH(QString, rendered);
        Sandbox box;
        box.writeResourceFile(name);
        auto model = quietModel(box, box.platform());
        model->findResourcePath();
        QCOMPARE(box.lines().at(4), listing(rendered));
    }

    void bundlePathWithOddCharactersIsPrintedAsStored() {
        Sandbox box;
        const QString bundle = box.path(QStringLiteral("x \"y\"/安装 \\器.app"));
        box.makeDir(QStringLiteral("x \"y\"/安装 \\器.app/Res"));
        auto model = quietModel(
            box, withBundle(box.platform(), QStringLiteral("id \"q\""), bundle, bundle + "/Res"));
        QCOMPARE(model->findResourcePath(), std::optional<QString>(bundle + "/Res"));
        QCOMPARE(box.lines().mid(1, 3),
                 (QStringList{idLine(QStringLiteral("id \"q\"")), pathLine(bundle),
                              found(bundle + "/Res")}));
    }

    void nameListRendering_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("rendered");
        QTest::newRow("empty") << QStringList{} << QStringLiteral("[]");
        QTest::newRow("order kept") << QStringList{"b", "a", "C"} << QStringLiteral("[\"b\", \"a\", \"C\"]");
        QTest::newRow("escapes") << QStringList{"\\\"", "\"\\"}
                                 << QStringLiteral("[\"\\\\\\\"\", \"\\\"\\\\\"]");
        QTest::newRow("empty name") << QStringList{QString()} << QStringLiteral("[\"\"]");
    }
    void nameListRendering() {
        QFETCH(QStringList, names);
        QFETCH(QString, rendered);
        QCOMPARE(nameListText(names), rendered);
    }

    // X.app/Contents/MacOS/X: the bundle is X.app, identifier from its Info.plist.
    void executableInsideAppBundle() {
        Sandbox box;
        const QString app = box.makeDir(QStringLiteral("dist/Orvo 安装器.app"));
        box.makeDir(QStringLiteral("dist/Orvo 安装器.app/Contents/MacOS"));
        box.writeFile(QStringLiteral("dist/Orvo 安装器.app/Contents/Info.plist"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
            "<plist version=\"1.0\">\n"
            "<dict>\n"
            "\t<key>CFBundleExecutable</key>\n"
            "\t<string>CFBundleIdentifier</string>\n"
            "\t<key>CFBundleIdentifier</key>\n"
            "\t<string>com.orvo.test</string>\n"
            "\t<key>LSMinimumSystemVersion</key>\n"
            "\t<string>11.5</string>\n"
            "</dict>\n"
            "</plist>\n");
        const ExecutableBundle bundle(app + QStringLiteral("/Contents/MacOS"));
        QCOMPARE(bundle.bundlePath(), app);
        QCOMPARE(bundle.identifier(), std::optional<QString>(QStringLiteral("com.orvo.test")));
        QCOMPARE(bundle.resourcePath(), std::nullopt);  // Contents/Resources does not exist yet
        box.makeDir(QStringLiteral("dist/Orvo 安装器.app/Contents/Resources"));
        QCOMPARE(bundle.resourcePath(), std::optional<QString>(app + "/Contents/Resources"));
    }

    void appBundleWithoutIdentifier_data() {
        QTest::addColumn<QByteArray>("plist");
        QTest::addColumn<bool>("writePlist");
        QTest::newRow("no Info.plist") << QByteArray() << false;
        QTest::newRow("no identifier key") << QByteArray(
            "<plist><dict><key>CFBundleName</key><string>X</string></dict></plist>") << true;
        QTest::newRow("not XML") << QByteArray("CFBundleIdentifier = x;") << true;
    }
    void appBundleWithoutIdentifier() {
        QFETCH(QByteArray, plist);
        QFETCH(bool, writePlist);
        Sandbox box;
        const QString app = box.makeDir(QStringLiteral("X.app/Contents/MacOS"));
        if (writePlist)
            box.writeFile(QStringLiteral("X.app/Contents/Info.plist"), plist);
        QCOMPARE(ExecutableBundle(app).identifier(), std::nullopt);
        QCOMPARE(ExecutableBundle(app).bundlePath(), box.path(QStringLiteral("X.app")));
    }

    // Anything else: the executable's folder is the bundle, its Resources the resources.
    void executableOutsideAppBundle_data() {
        QTest::addColumn<QString>("exeDir");
        QTest::newRow("plain folder") << QStringLiteral("bin");
        QTest::newRow("MacOS without Contents") << QStringLiteral("X.app/MacOS");
        QTest::newRow("Contents/MacOS not in .app") << QStringLiteral("X/Contents/MacOS");
    }
    void executableOutsideAppBundle() {
        QFETCH(QString, exeDir);
        Sandbox box;
        const QString dir = box.makeDir(exeDir);
        box.writeFile(exeDir + QStringLiteral("/../Info.plist"),
                      "<plist><dict><key>CFBundleIdentifier</key><string>no</string></dict></plist>");
        const ExecutableBundle bundle(dir);
        QCOMPARE(bundle.bundlePath(), dir);
        QCOMPARE(bundle.identifier(), std::nullopt);
        QCOMPARE(bundle.resourcePath(), std::nullopt);
        box.makeDir(exeDir + QStringLiteral("/Resources"));
        QCOMPARE(bundle.resourcePath(), std::optional<QString>(dir + QStringLiteral("/Resources")));
    }
};

QTEST_GUILESS_MAIN(ResourcePath)
#include "tst_resource_path.moc"
