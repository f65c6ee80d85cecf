// The scan of the resource kind folders: items, trace, fonts flag and notifications.
#include "model/InstallerViewModel.h"
#include "support/FailingFileSystem.h"
#include "support/TestPlatform.h"
#include "support/Trace.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

const QString kId = QStringLiteral("com.example.installer");
const QString kPermissions = QStringLiteral("资源目录权限: ");

QString scanning(const QString& path) { return QStringLiteral("正在扫描文件夹: ") + path; }
QString cannotAccess(const QString& path) { return QStringLiteral("无法访问文件夹: ") + path; }
QString foundFolder(const QString& name, const QString& kind) {
    return QStringLiteral("找到文件夹: ") + name + QStringLiteral(" in ") + kind;
}
QString summary(int n) { return QStringLiteral("扫描完成，共找到 %1 个文件夹").arg(n); }

// The lines of one scan, from the permissions line on, with its value masked.
QStringList scanTrace(const Sandbox& box) {
    const QStringList lines = maskValues(box.lines(), {kPermissions});
    const auto from = lines.indexOf(kPermissions + QStringLiteral("…"));
    return from < 0 ? lines : lines.mid(from);
}

struct Expected {
    QString name;
    FolderType type;
};

void checkItems(const Sandbox& box, const InstallerViewModel& model, const QList<Expected>& expected) {
    const auto& items = model.folderItems();
    QCOMPARE(items.size(), expected.size());
    QSet<QUuid> ids;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const FolderItem& item = items[i];
        QCOMPARE(item.originalName, expected[i].name);
        QCOMPARE(item.newName, expected[i].name);
        QCOMPARE(item.type, expected[i].type);
        QCOMPARE(item.path, box.resourcePath() + QLatin1Char('/') +
                                resourceFolderName(item.type) + QLatin1Char('/') + item.originalName);
        QVERIFY(!item.id().isNull());
        ids.insert(item.id());
    }
    QCOMPARE(ids.size(), items.size());
}

} // namespace

class FolderScan : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void onlyEffectsFolder() {
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Effects/A"));
        box.makeResourceDir(QStringLiteral("Effects/B"));
        box.writeResourceFile(QStringLiteral("tutorial_url.txt"), "https://e.com/");
        InstallerViewModel model(box.platform());

        const QString r = box.resourcePath();
        const QStringList order = namesInListingOrder(r + QStringLiteral("/Effects"));
        QStringList expected{kPermissions + QStringLiteral("…"),
                             scanning(r + "/Titles"), cannotAccess(r + "/Titles"),
                             scanning(r + "/Effects")};
        for (const QString& name : order)
            expected << foundFolder(name, QStringLiteral("Effects"));
        expected << scanning(r + "/Generators") << cannotAccess(r + "/Generators")
                 << scanning(r + "/Transitions") << cannotAccess(r + "/Transitions") << summary(2);
        // The scan's own lines sit between the two resource traces of construction.
        const QStringList locate = resourceFoundTrace(kId, box.bundlePath(), r);
        QCOMPARE(maskValues(box.lines(), {kPermissions}), locate + expected + locate);
        checkItems(box, model, {{order[0], FolderType::effects}, {order[1], FolderType::effects}});
        QVERIFY(!model.hasFonts());
    }

    // Kinds come out in table order, each in its folder's listing order; nothing is
    // de-duplicated across kinds.
    void allKindsInKindOrder() {
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Transitions/Same"));
        box.makeResourceDir(QStringLiteral("Generators/G"));
        box.makeResourceDir(QStringLiteral("Effects/Same"));
        box.makeResourceDir(QStringLiteral("Titles/T2"));
        box.makeResourceDir(QStringLiteral("Titles/T1"));
        InstallerViewModel model(box.platform());
        const QStringList titles = namesInListingOrder(box.resourcePath() + "/Titles");
        checkItems(box, model,
                   {{titles[0], FolderType::titles},
                    {titles[1], FolderType::titles},
                    {QStringLiteral("Same"), FolderType::effects},
                    {QStringLiteral("G"), FolderType::generators},
                    {QStringLiteral("Same"), FolderType::transitions}});
        QCOMPARE(scanTrace(box).at(2), foundFolder(titles[0], QStringLiteral("Titles")));
        QVERIFY(scanTrace(box).contains(foundFolder(QStringLiteral("Same"), QStringLiteral("Transitions"))));
        QVERIFY(scanTrace(box).contains(summary(5)));
    }

    // Only the non-hidden folders directly inside a kind folder are plug-ins.
    void strayFilesHiddenAndNestedFoldersAreNotItems() {
        Sandbox box;
        box.writeResourceFile(QStringLiteral("Titles/readme.txt"));
        box.writeResourceFile(QStringLiteral("Titles/.DS_Store"));
        box.makeResourceDir(QStringLiteral("Titles/.hidden/Inner"));
        box.makeResourceDir(QStringLiteral("Titles/A/B/C"));
        box.writeResourceFile(QStringLiteral("Titles/A/file.moti"));
        box.makeResourceDir(QStringLiteral("Other/Z"));        // not a kind folder
        box.makeResourceDir(QStringLiteral("titles/lower"));   // names are not case-folded
        box.writeResourceFile(QStringLiteral("post.command"));
        InstallerViewModel model(box.platform());
        checkItems(box, model, {{QStringLiteral("A"), FolderType::titles}});
        const QString r = box.resourcePath();
        QCOMPARE(scanTrace(box).mid(1, 3),
                 (QStringList{scanning(r + "/Titles"), foundFolder(QStringLiteral("A"), QStringLiteral("Titles")),
                              scanning(r + "/Effects")}));
    }

    void kindFolderThatIsAFileCannotBeAccessed() {
        Sandbox box;
        box.writeResourceFile(QStringLiteral("Generators"));
        box.makeResourceDir(QStringLiteral("Transitions/X"));
        InstallerViewModel model(box.platform());
        const QString g = box.resourcePath() + "/Generators";
        const QStringList trace = scanTrace(box);
        QCOMPARE(trace.mid(5, 2), (QStringList{scanning(g), cannotAccess(g)}));
        checkItems(box, model, {{QStringLiteral("X"), FolderType::transitions}});
    }

    void unreadableKindFolderIsSkipped() {
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Titles/A"));
        box.makeResourceDir(QStringLiteral("Effects/B"));
        const QString t = box.resourcePath() + "/Titles";
        auto failing = std::make_shared<FailingFileSystem>(box.platform().fileSystem);
        failing->fail(FailingFileSystem::Operation::visibleEntries, t);
        Platform platform = box.platform();
        platform.fileSystem = failing;
        InstallerViewModel model(platform);
        QCOMPARE(scanTrace(box).mid(1, 2), (QStringList{scanning(t), cannotAccess(t)}));
        checkItems(box, model, {{QStringLiteral("B"), FolderType::effects}});
    }

    void entriesWithoutFolderFlagAreSkippedSilently() {
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Titles/A"));
        box.makeResourceDir(QStringLiteral("Effects/B"));
        auto failing = std::make_shared<FailingFileSystem>(box.platform().fileSystem);
        failing->fail(FailingFileSystem::Operation::directoryFlag, box.resourcePath() + "/Titles");
        Platform platform = box.platform();
        platform.fileSystem = failing;
        InstallerViewModel model(platform);
        checkItems(box, model, {{QStringLiteral("B"), FolderType::effects}});
        QCOMPARE(scanTrace(box).mid(1, 2),
                 (QStringList{scanning(box.resourcePath() + "/Titles"), scanning(box.resourcePath() + "/Effects")}));
    }

    void unreadableAttributesAreReportedAndScanGoesOn() {
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Titles/A"));
        auto failing = std::make_shared<FailingFileSystem>(box.platform().fileSystem);
        failing->fail(FailingFileSystem::Operation::attributes, box.resourcePath());
        Platform platform = box.platform();
        platform.fileSystem = failing;
        InstallerViewModel model(platform);
        const QStringList lines = box.lines();
        QCOMPARE(lines.at(5), QStringLiteral("无法获取资源目录属性: injected failure (operation 3) at “%1”")
                                  .arg(box.resourcePath()));
        QCOMPARE(lines.at(6), scanning(box.resourcePath() + "/Titles"));
        checkItems(box, model, {{QStringLiteral("A"), FolderType::titles}});
    }

    void permissionsLineRendersAllAttributesOnOneLine() {
        Sandbox box;
        box.makeResourceDir({});
        InstallerViewModel model(box.platform());
        const QString line = box.lines().at(5);
        QVERIFY2(line.startsWith(kPermissions) && line.size() > kPermissions.size() + 2, qPrintable(line));
        QVERIFY(!line.contains(QLatin1Char('\n')));
    }

    void noResourceFolderStopsBeforeTheSummary() {
        Sandbox box;
        InstallerViewModel model(box.platform());
        const QStringList locate{QStringLiteral("开始查找资源路径..."),
                                 QStringLiteral("Bundle 标识符: ") + kId,
                                 QStringLiteral("Bundle 路径: ") + box.bundlePath(),
                                 QStringLiteral("尝试备选资源路径: ") + box.path(QStringLiteral("Resources")),
                                 QStringLiteral("❌ 无法找到可用的资源路径")};
        QCOMPARE(box.lines(), locate + QStringList{QStringLiteral("❌ 无法找到资源文件夹")} + locate);
        QVERIFY(model.folderItems().isEmpty());
        QVERIFY(!model.hasFonts());

        // A later scan without resources leaves earlier state exactly as it was.
        model.setHasFonts(true);
        model.setFolderItems({FolderItem(QUuid::createUuid(), "k", "k", FolderType::titles, "/k")});
        QSignalSpy spy(&model, &InstallerViewModel::objectWillChange);
        model.scanFolders();
        QCOMPARE(spy.count(), 0);
        QCOMPARE(model.folderItems().size(), 1);
        QVERIFY(model.hasFonts());
    }

    void fontsFlag_data() {
        QTest::addColumn<QStringList>("dirs");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("hasFonts");
        QTest::newRow("a font file") << QStringList{"Fonts"} << QStringList{"Fonts/a.ttf"} << true;
        QTest::newRow("only a sub-folder") << QStringList{"Fonts/Family"} << QStringList{} << true;
        QTest::newRow("only hidden files") << QStringList{"Fonts"}
                                           << QStringList{"Fonts/.a.ttf", "Fonts/.DS_Store"} << false;
        QTest::newRow("empty") << QStringList{"Fonts"} << QStringList{} << false;
        QTest::newRow("missing") << QStringList{"Titles"} << QStringList{} << false;
        QTest::newRow("a file named Fonts") << QStringList{} << QStringList{"Fonts"} << false;
        QTest::newRow("lower-case fonts") << QStringList{"fonts"} << QStringList{"fonts/a.ttf"} << false;
    }
    void fontsFlag() {
        QFETCH(QStringList, dirs);
        QFETCH(QStringList, files);
        QFETCH(bool, hasFonts);
        Sandbox box;
        box.makeResourceDir({});
        for (const QString& dir : dirs)
            box.makeResourceDir(dir);
        for (const QString& file : files)
            box.writeResourceFile(file);
        InstallerViewModel model(box.platform());
        QCOMPARE(model.hasFonts(), hasFonts);
        // No line for the fonts: the tutorial's resource trace follows the summary.
        const QStringList trace = scanTrace(box);
        QCOMPARE(trace.at(trace.indexOf(summary(0)) + 1), QStringLiteral("开始查找资源路径..."));
    }

    void unreadableFontsFolderMeansNoFonts() {
        Sandbox box;
        box.writeResourceFile(QStringLiteral("Fonts/a.ttf"));
        auto failing = std::make_shared<FailingFileSystem>(box.platform().fileSystem);
        failing->fail(FailingFileSystem::Operation::visibleEntries, box.resourcePath() + "/Fonts");
        Platform platform = box.platform();
        platform.fileSystem = failing;
        InstallerViewModel model(platform);
        QVERIFY(!model.hasFonts());
        QCOMPARE(failing->failureCount(), 1);
    }

    // Empty the list, one per item, one for the fonts flag.
    void notificationsOfAScan_data() {
        QTest::addColumn<int>("folders");
        QTest::addColumn<int>("notifications");
        QTest::newRow("three folders") << 3 << 5;
        QTest::newRow("none") << 0 << 2;
    }
    void notificationsOfAScan() {
        QFETCH(int, folders);
        QFETCH(int, notifications);
        Sandbox box;
        box.makeResourceDir({});
        for (int i = 0; i < folders; ++i)
            box.makeResourceDir(QStringLiteral("%1/F%2").arg(i % 2 ? "Titles" : "Effects").arg(i));
        InstallerViewModel model(box.platform());
        QSignalSpy spy(&model, &InstallerViewModel::objectWillChange);
        model.scanFolders();
        QCOMPARE(spy.count(), notifications);
        QCOMPARE(model.folderItems().size(), folders);
    }

    // A rescan starts from an empty list: items are not kept from the previous scan.
    void rescanReplacesTheList() {
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Titles/A"));
        InstallerViewModel model(box.platform());
        const QUuid first = model.folderItems().at(0).id();
        model.scanFolders();
        QCOMPARE(model.folderItems().size(), 1);
        QVERIFY(model.folderItems().at(0).id() != first);
    }

    // Names are scanned and printed exactly as stored.
    void oddNamesAreScannedAsStored_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("blanks") << QStringLiteral(" Lower  Third ");
        QTest::newRow("chinese") << QStringLiteral("Orvo 标题 基础");
        QTest::newRow("quotes") << QStringLiteral("say \"hi\" 'there'");
        QTest::newRow("backslashes") << QStringLiteral("back\\slash\\");
        QTest::newRow("decomposed accent") << QStringLiteral("Cafe\u0301");
    }
    void oddNamesAreScannedAsStored() {
        QFETCH(QString, name);
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Transitions/") + name);
        InstallerViewModel model(box.platform());
        checkItems(box, model, {{name, FolderType::transitions}});
        QVERIFY(scanTrace(box).contains(foundFolder(name, QStringLiteral("Transitions"))));
    }

    // The resource folder disappears after it was found: everything fails, nothing crashes.
    void resourceFolderVanishingMidScan() {
        Sandbox box;
        box.makeResourceDir(QStringLiteral("Titles/A"));
        box.writeResourceFile(QStringLiteral("Fonts/a.ttf"));
        struct Vanishing : FailingFileSystem {
            using FailingFileSystem::FailingFileSystem;
            Result<QStringList> entryNames(const QString& dir) const override {
                auto names = FailingFileSystem::entryNames(dir);
                QDir(dir).removeRecursively();
                return names;
            }
        };
        Platform platform = box.platform();
        platform.fileSystem = std::make_shared<Vanishing>(platform.fileSystem);
        InstallerViewModel model(platform);
        const QString r = box.resourcePath();
        const QStringList scan = box.lines().mid(5, 10);
        QVERIFY(scan.at(0).startsWith(QStringLiteral("无法获取资源目录属性: ")));
        QCOMPARE(scan.mid(1),
                 (QStringList{scanning(r + "/Titles"), cannotAccess(r + "/Titles"),
                              scanning(r + "/Effects"), cannotAccess(r + "/Effects"),
                              scanning(r + "/Generators"), cannotAccess(r + "/Generators"),
                              scanning(r + "/Transitions"), cannotAccess(r + "/Transitions"),
                              summary(0)}));
        QVERIFY(model.folderItems().isEmpty());
        QVERIFY(!model.hasFonts());
    }
};

QTEST_GUILESS_MAIN(FolderScan)
#include "tst_folder_scan.moc"
