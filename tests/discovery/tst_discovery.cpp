// Resource discovery: the resource folder, the template scan, the tutorial address.
#include "base/Branding.h"
#include "discovery/Discovery.h"
#include "discovery/TutorialUrl.h"
#include "model/InstallerViewModel.h"
#include "platform/RealFileSystem.h"
#include "support/TestPlatform.h"

#include <QDir>
#include <QtTest>

#include <sys/stat.h>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

// Fails to list chosen folders, which permissions cannot arrange when the tests run as root.
struct UnlistableFileSystem : RealFileSystem {
    using RealFileSystem::RealFileSystem;
    Result<std::vector<Entry>> entries(const QString& dir, bool withHidden) const override {
        if (unlistable.contains(dir))
            return Error::saying(QStringLiteral("cannot list “%1”").arg(dir), EACCES);
        return RealFileSystem::entries(dir, withHidden);
    }
    QStringList unlistable;
};

QStringList located(const Sandbox& box, const QString& listing = {}) {
    return locateTrace(QStringLiteral("com.example.installer"), box.bundlePath(),
                       box.resourcePath(), listing);
}

QStringList scanOf(const Sandbox& box, const QString& kind, const QStringList& names) {
    return scanTrace(box.resourcePath(), kind, names);
}

QStringList masked(const Sandbox& box) {
    return maskPlatformWording(box.lines());
}

} // namespace

class Discovery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The locate trace comes once for the scan, once for the (later) tutorial address.
    void onlyAnEffectsFolder() {
        Sandbox box;
        // Enough names that the file system's order is unlikely to be a sorted one.
        for (int i = 1; i <= 12; ++i)
            box.makeResourceDir(QStringLiteral("Effects/Glow %1").arg(i));
        box.writeResourceFile(QStringLiteral("tutorial_url.txt"), "https://e.com/t\n");
        box.writeResourceFile(QStringLiteral("Fonts/.DS_Store"));
        const QString effects = box.resourcePath() + QStringLiteral("/Effects");
        QVERIFY(QFile::link(effects + "/Glow 1", effects + "/Link")); // a link is no template
        InstallerViewModel model(box.platform());

        // The window, the list and the run use the listing as readdir() gives it.
        const auto folders = QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks;
        const QStringList order = QDir(effects).entryList(folders, QDir::Unsorted);
        QVERIFY(order != QDir(effects).entryList(folders));
        const QStringList scan = QStringList{"资源目录权限: …"} + scanOf(box, "Titles", {}) +
                                 scanOf(box, "Effects", order) + scanOf(box, "Generators", {}) +
                                 scanOf(box, "Transitions", {}) +
                                 QStringList{QStringLiteral("扫描完成，共找到 12 个文件夹")};
        const QStringList locate = located(box, R"(["Effects", "Fonts", "tutorial_url.txt"])");
        QCOMPARE(masked(box), locate + scan + locate);
        const QList<FolderItem>& items = model.folderItems();
        QCOMPARE(items.size(), 12);
        for (int i = 0; i < 12; ++i) {
            QCOMPARE((QStringList{items[i].originalName, items[i].newName, items[i].path}),
                     (QStringList{order[i], order[i], effects + '/' + order[i]}));
            QCOMPARE(items[i].type, FolderType::effects);
        }
        QVERIFY(items[0].id != items[1].id && !items[0].id.isNull());
        QVERIFY(!model.hasFonts()); // hidden files do not count

        QVERIFY(!model.tutorialURL());
        QCoreApplication::processEvents();
        QCOMPARE(model.tutorialURL().value_or(QUrl()), QUrl(QStringLiteral("https://e.com/t")));
        // A state object gone before its turn must not be written to.
        delete new InstallerViewModel(box.platform());
        QCoreApplication::processEvents();
    }

    // Unlistable kind folder or Fonts/, or a name not UTF-8, is a failure, not absence.
    void unreadableIsNotAbsent_data() {
        QTest::addColumn<QByteArray>("entry"); // a folder under the resource folder
        QTest::addColumn<bool>("unlistable");
        QTest::addColumn<int>("templates");
        QTest::addColumn<bool>("hasFonts");
        QTest::newRow("kind folder unreadable") << QByteArray("Titles") << true << 1 << false;
        QTest::newRow("Fonts unreadable") << QByteArray("Fonts") << true << 2 << true;
        QTest::newRow("name not UTF-8") << QByteArray("Titles/caf\xe9") << false << 2 << false;
        QTest::newRow("nothing wrong") << QByteArray("Titles/B") << false << 3 << false;
    }
    void unreadableIsNotAbsent() {
        QFETCH(QByteArray, entry);
        QFETCH(bool, unlistable);
        QFETCH(int, templates);
        QFETCH(bool, hasFonts);
        Sandbox box;
        box.makeResourceDir("Titles/A");
        box.makeResourceDir("Effects/E");
        ::mkdir((QFile::encodeName(box.resourcePath()) + '/' + entry).constData(), 0755);
        auto fs = std::make_shared<UnlistableFileSystem>(box.homePath());
        if (unlistable)
            fs->unlistable << box.resourcePath() + '/' + QString::fromLatin1(entry);
        const PackContents pack = scanPack(*fs, box.resourcePath(), box.output());
        QCOMPARE(pack.templates.size(), templates);
        QCOMPARE(pack.hasFonts, hasFonts);
        const QStringList failed = box.lines().filter("❌ ");
        QCOMPARE(pack.failures.size(), failed.size());
        QCOMPARE(failed.size(), templates == 3 ? 0 : 1);
        if (!failed.isEmpty())
            QVERIFY2(failed[0].contains(box.resourcePath() + "/" + entry.split('/')[0]),
                     qPrintable(failed[0]));
        // The window says so before anything is installed.
        Platform platform = box.platform(std::make_shared<ManualQueue>());
        platform.fileSystem = fs;
        const InstallerViewModel model(platform);
        QCOMPARE(model.installationProgress().startsWith("模板包有一部分无法读取: "),
                 !failed.isEmpty());
    }

    // Stray files, hidden and nested folders, a kind folder that is a file; names as stored.
    void aPackWithStrayEntries() {
        Sandbox box;
        const QString odd = QStringLiteral(" say \"hi\" \\ 推移 ");
        box.makeResourceDir(QStringLiteral("Titles/Lower  Third/Inner"));
        box.writeResourceFile(QStringLiteral("Titles/readme.txt"));
        box.makeResourceDir(QStringLiteral("Titles/.hidden"));
        box.makeResourceDir(QStringLiteral("Effects/Orvo 光效"));
        box.writeResourceFile(QStringLiteral("Generators"));
        box.makeResourceDir(QStringLiteral("Transitions/") + odd);
        box.makeResourceDir(QStringLiteral("Fonts/Family"));
        InstallerViewModel model(box.platform(std::make_shared<ManualQueue>()));

        QCOMPARE(
            masked(box).mid(5, 15),
            QStringList{"资源目录权限: …"} + scanOf(box, "Titles", {"Lower  Third"}) +
                scanOf(box, "Effects", {"Orvo 光效"}) + scanOf(box, "Generators", {}) +
                scanOf(box, "Transitions", {odd}) +
                QStringList{QStringLiteral("扫描完成，共找到 3 个文件夹")} +
                located(box, R"(["Effects", "Fonts", "Generators", "Titles", "Transitions"])"));
        QCOMPARE(model.folderItems().at(2).newName, odd);
        QVERIFY(model.hasFonts()); // a sub-folder is enough
        model.scanFolders();       // again: the list is made afresh, not added to
        QCOMPARE(model.folderItems().size(), 3);
    }

    // Nothing after the failed location; a scan that cannot find the pack leaves the last
    // good one's list alone.
    void noResourceFolder() {
        Sandbox box;
        auto queue = std::make_shared<ManualQueue>();
        InstallerViewModel model(box.platform(queue));
        const QStringList locate = located(box).mid(0, 3)
                                   << QStringLiteral("尝试备选资源路径: ") + box.path("Resources")
                                   << QStringLiteral("❌ 无法找到可用的资源路径");
        QCOMPARE(box.lines(),
                 locate + QStringList{QStringLiteral("❌ 无法找到资源文件夹")} + locate);
        QCOMPARE(queue->runAll(), 0);
        QVERIFY(model.folderItems().isEmpty() && !model.hasFonts() && !model.tutorialURL());

        box.makeDir(QStringLiteral("Resources/Fonts/Family")); // the fallback, found later
        box.makeDir(QStringLiteral("Resources/Titles/A"));
        model.scanFolders();
        QVERIFY(model.hasFonts() && model.folderItems().size() == 1);
        QVERIFY(QDir(box.path(QStringLiteral("Resources"))).removeRecursively());
        model.scanFolders();
        QVERIFY(model.hasFonts() && model.folderItems().size() == 1);
    }

    // The failure table, by what stands at resource folder R and fallback A.
    void resourceLocation_data() {
        QTest::addColumn<QStringList>("lines"); // after the first three
        QTest::addColumn<QString>("result");
        const QString r = QStringLiteral("找到资源路径: $R");
        const QString rFails = QStringLiteral("无法访问资源目录: …");
        const QString a = QStringLiteral("尝试备选资源路径: $A");
        const QString aFails = QStringLiteral("无法访问备选资源目录: …");
        const QString aListed = QStringLiteral("备选路径内容: [\"y\", \"z\"]");
        const QString none = QStringLiteral("❌ 无法找到可用的资源路径");
        QTest::newRow("R empty, A listable") << QStringList{r, "资源目录内容: []"} << "$R";
        QTest::newRow("R oddly named file, A missing")
            << QStringList{r, "资源目录内容: [\" 字 \\\"q\\\" \\\\\"]"} << "$R";
        QTest::newRow("R unlistable, A listable") << QStringList{r, rFails, a, aListed} << "$A";
        QTest::newRow("R none, A listable") << QStringList{a, aListed} << "$A";
        QTest::newRow("R none, A missing") << QStringList{a, none} << "";
        QTest::newRow("R unlistable, A file") << QStringList{r, rFails, a, none} << "";
        QTest::newRow("R none, A unlistable") << QStringList{a, aFails, none} << "";
        QTest::newRow("R unlistable, A unlistable")
            << QStringList{r, rFails, a, aFails, none} << "";
    }
    void resourceLocation() {
        QFETCH(QStringList, lines);
        QFETCH(QString, result);
        const QString setup = QString::fromUtf8(QTest::currentDataTag());
        Sandbox box;
        if (setup.startsWith("R empty"))
            box.makeResourceDir({});
        else if (!setup.startsWith("R none"))
            box.writeResourceFile(QStringLiteral(" 字 \"q\" \\"));
        if (setup.endsWith("A file"))
            box.writeFile(QStringLiteral("Resources"));
        else if (!setup.endsWith("A missing"))
            for (const char* name : {"Resources/y", "Resources/z"})
                box.writeFile(QString::fromUtf8(name));
        auto fileSystem = std::make_shared<UnlistableFileSystem>(box.homePath());
        if (setup.startsWith("R unlistable"))
            fileSystem->unlistable << box.resourcePath();
        if (setup.endsWith("A unlistable"))
            fileSystem->unlistable << box.path("Resources");
        Platform platform = box.platform(std::make_shared<ManualQueue>());
        platform.fileSystem = fileSystem;
        InstallerViewModel model(platform);
        box.clearLines();

        const QString r = box.resourcePath(), a = box.path("Resources");
        lines.replaceInStrings("$R", r).replaceInStrings("$A", a);
        QCOMPARE(model.findResourcePath().value_or(QString()),
                 result.replace("$R", r).replace("$A", a));
        QCOMPARE(masked(box), located(box).mid(0, 3) + lines);
    }

    // X.app/Contents/MacOS is in a bundle with its Info.plist id; elsewhere, no id.
    void bundleRule() {
        Sandbox box;
        for (const QString& contents :
             {QStringLiteral("安装 器.app/Contents"), QStringLiteral("X/Contents")})
            box.writeFile(
                contents + "/Info.plist",
                "<plist><dict><key>CFBundleName</key><string>CFBundleIdentifier</string>"
                "<key>CFBundleIdentifier</key><string>com.orvo.test</string></dict></plist>");
        const ExecutableBundle app(box.makeDir(QStringLiteral("安装 器.app/Contents/MacOS")));
        const QString plainDir = box.makeDir(QStringLiteral("X/Contents/MacOS"));
        auto plain = std::make_shared<ExecutableBundle>(plainDir);
        QCOMPARE(app.bundlePath(), box.path(QStringLiteral("安装 器.app")));
        QCOMPARE(app.identifier().value_or(QString()), QStringLiteral("com.orvo.test"));
        QCOMPARE(plain->bundlePath(), plainDir);
        QVERIFY(!plain->identifier() && !plain->resourcePath() && !app.resourcePath());
        box.makeDir(QStringLiteral("安装 器.app/Contents/Resources"));
        box.makeDir(QStringLiteral("X/Contents/MacOS/Resources"));
        QCOMPARE(app.resourcePath().value_or(QString()), app.bundlePath() + "/Contents/Resources");
        QCOMPARE(plain->resourcePath().value_or(QString()), plainDir + "/Resources");

        // An identifier that is named but empty is no identifier either.
        box.writeFile(QStringLiteral("Empty.app/Contents/Info.plist"),
                      "<plist><dict><key>CFBundleIdentifier</key><string></string></dict></plist>");
        const auto empty = std::make_shared<ExecutableBundle>(
            box.makeDir(QStringLiteral("Empty.app/Contents/MacOS")));
        for (const auto& bundle :
             {std::shared_ptr<Bundle>(plain), std::shared_ptr<Bundle>(empty)}) {
            Platform platform = box.platform(std::make_shared<ManualQueue>());
            platform.bundle = bundle;
            box.clearLines();
            InstallerViewModel model(platform);
            QCOMPARE(box.lines().at(1), QStringLiteral("Bundle 标识符: 未知"));
        }
    }

    // The address table: empty `address` stays absent, null `content` is no file.
    void tutorialAddress_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("complains");
        const QString web = Branding::defaults().tutorialUrl.toString();
        QTest::newRow("address, line break")
            << QByteArray("https://e.com/a?b=1\n") << "https://e.com/a?b=1" << false;
        QTest::newRow("blanks and separators around")
            << QByteArray("\xef\xbb\xbf \t\r\n\u3000\u2028https://e.com/x\u2029\u0085\x0b\x0c")
            << "https://e.com/x" << false;
        QTest::newRow("empty") << QByteArray("") << "" << false;
        QTest::newRow("blanks only") << QByteArray("  \n\t \r\n\u3000") << "" << false;
        QTest::newRow("not an address") << QByteArray("http://[::1") << "" << false;
        QTest::newRow("missing") << QByteArray() << web << true;
        QTest::newRow("not UTF-8") << QByteArray("https://e.com/caf\xe9\n") << web << true;
        // Opening a FIFO would wait for a writer for ever.
        QTest::newRow("a FIFO") << QByteArray("<fifo>") << web << true;
    }
    void tutorialAddress() {
        QFETCH(QByteArray, content);
        QFETCH(QString, address);
        QFETCH(bool, complains);
        Watchdog watchdog(60, "reading tutorial_url.txt");
        Sandbox box;
        box.makeResourceDir({});
        if (content == "<fifo>")
            QVERIFY(::mkfifo(QFile::encodeName(box.resourcePath() + "/tutorial_url.txt"), 0644) ==
                    0);
        else if (!content.isNull())
            box.writeResourceFile(QStringLiteral("tutorial_url.txt"), content);
        auto queue = std::make_shared<ManualQueue>();
        InstallerViewModel model(box.platform(queue));
        QVERIFY(!model.tutorialURL());
        QCOMPARE(queue->runAll(), address.isEmpty() ? 0 : 1);
        QCOMPARE(model.tutorialURL().value_or(QUrl()), QUrl(address));

        // Two resource traces and the scan, then the reason naming the file.
        QCOMPARE(box.lines().size(), complains ? 21 : 20);
        QVERIFY(!complains || (box.lines().last().startsWith(QStringLiteral("无法读取教程URL: ")) &&
                               box.lines().last().contains(QStringLiteral("tutorial_url.txt"))));
    }
};

QTEST_GUILESS_MAIN(Discovery)
#include "tst_discovery.moc"
