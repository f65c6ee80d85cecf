#include "model/InstallerViewModel.h"
#include "platform/RealFileSystem.h"
#include "support/EngineSupport.h"
#include "support/TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

struct MergeFixture {
    Sandbox box;
    std::shared_ptr<HookedFileSystem> fileSystem;
    std::shared_ptr<InstallerViewModel> model;
    QString src = box.makeDir(QStringLiteral("src"));
    QString dst = box.path(QStringLiteral("dst"));

    explicit MergeFixture(HookedFileSystem::Hook hook = {}) {
        Platform platform = box.platform(std::make_shared<ManualQueue>());
        fileSystem = std::make_shared<HookedFileSystem>(platform.fileSystem, std::move(hook));
        platform.fileSystem = fileSystem;
        model = std::make_shared<InstallerViewModel>(platform);
        box.clearLines();
    }
    Status merge() { return model->mergeDirectories(src, dst); }
};

} // namespace

class MergeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void destinationIsTheKindFolderUnderHome() {
        Sandbox box;
        auto model = std::make_shared<InstallerViewModel>(box.platform());
        const QString templates =
            box.homePath() + QStringLiteral("/Movies/Motion Templates.localized/");
        QCOMPARE(model->destinationPath(FolderType::titles), templates + "Titles.localized");
        QCOMPARE(model->destinationPath(FolderType::effects), templates + "Effects.localized");
        QCOMPARE(model->destinationPath(FolderType::generators),
                 templates + "Generators.localized");
        QCOMPARE(model->destinationPath(FolderType::transitions),
                 templates + "Transitions.localized");
        QVERIFY(!QFileInfo::exists(box.homePath() + QStringLiteral("/Movies")));
    }

    void missingDestinationIsCreatedAndFilledEntryByEntry() {
        MergeFixture f;
        f.dst = f.box.path(QStringLiteral("a/b/dst"));
        f.box.writeFile(QStringLiteral("src/one"), "1");
        f.box.writeFile(QStringLiteral("src/sub/two"), "2");
        QVERIFY(!f.merge());
        QCOMPARE(treeListing(f.dst), treeListing(f.src));
        QCOMPARE(f.fileSystem->operations.first(), "createDirectories " + f.dst);
        QCOMPARE(f.fileSystem->operations.size(), 3); // one copy per entry, not one in all
        QCOMPARE(f.box.lines(), QStringList({"开始合并目录: " + f.src + " -> " + f.dst,
                                             "目录合并完成: " + f.src}));
    }

    void emptySourceGivesEmptyDestination() {
        MergeFixture f;
        QVERIFY(!f.merge());
        QVERIFY(QFileInfo(f.dst).isDir());
        QVERIFY(QDir(f.dst).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QCOMPARE(f.box.lines().size(), 2);
    }

    void replacesSharedFilesKeepsTheRestAndSkipsHiddenOnes() {
        MergeFixture f;
        f.box.writeFile(QStringLiteral("src/shared"), "new");
        f.box.writeFile(QStringLiteral("src/.hidden"), "source hidden");
        f.box.writeFile(QStringLiteral("src/.newhidden"), "never copied");
        f.box.writeFile(QStringLiteral("src/folderInTheWay"), "file over folder");
        f.box.writeFile(QStringLiteral("dst/shared"), "old");
        f.box.writeFile(QStringLiteral("dst/mine"), "kept");
        f.box.writeFile(QStringLiteral("dst/.hidden"), "destination hidden");
        f.box.writeFile(QStringLiteral("dst/folderInTheWay/inner"), "gone");
        QVERIFY(!f.merge());
        QCOMPARE(treeListing(f.dst),
                 QStringList({".hidden = " + QByteArray("destination hidden").toHex(),
                              "folderInTheWay = " + QByteArray("file over folder").toHex(),
                              "mine = " + QByteArray("kept").toHex(),
                              "shared = " + QByteArray("new").toHex()}));
    }

    void nestedFoldersMergeLevelByLevel() {
        MergeFixture f;
        f.box.writeFile(QStringLiteral("src/a/b/file"), "new");
        f.box.writeFile(QStringLiteral("src/a/fresh/.hidden"), "copied whole");
        f.box.writeFile(QStringLiteral("dst/a/b/file"), "old");
        f.box.writeFile(QStringLiteral("dst/a/b/other"), "kept");
        QVERIFY(!f.merge());
        QCOMPARE(contentOf(f.dst + "/a/b/file"), QByteArray("new"));
        QCOMPARE(contentOf(f.dst + "/a/b/other"), QByteArray("kept"));
        // A folder missing on the other side is copied whole, hidden entries included.
        QCOMPARE(contentOf(f.dst + "/a/fresh/.hidden"), QByteArray("copied whole"));
        QCOMPARE(f.box.lines(), QStringList({
                                    "开始合并目录: " + f.src + " -> " + f.dst,
                                    "开始合并目录: " + f.src + "/a -> " + f.dst + "/a",
                                    "开始合并目录: " + f.src + "/a/b -> " + f.dst + "/a/b",
                                    "目录合并完成: " + f.src + "/a/b",
                                    "目录合并完成: " + f.src + "/a",
                                    "目录合并完成: " + f.src,
                                }));
    }

    void sourceFolderOverADestinationFile() {
        MergeFixture f;
        f.box.writeFile(QStringLiteral("src/x/inner"), "1");
        f.box.writeFile(QStringLiteral("dst/x"), "a file");
        const Status error = f.merge();
        QVERIFY(error);
        QVERIFY2(error->description.contains(f.src + "/x/inner"), qPrintable(error->description));
        QCOMPARE(contentOf(f.dst + "/x"), QByteArray("a file"));
        // Only the two start lines: neither level completed.
        QCOMPARE(f.box.lines(), QStringList({"开始合并目录: " + f.src + " -> " + f.dst,
                                             "开始合并目录: " + f.src + "/x -> " + f.dst + "/x"}));

        MergeFixture empty;
        empty.box.makeDir(QStringLiteral("src/x"));
        empty.box.writeFile(QStringLiteral("dst/x"), "a file");
        QVERIFY(!empty.merge());
        QCOMPARE(contentOf(empty.dst + "/x"), QByteArray("a file"));
    }

    void failedCopyStopsAndKeepsWhatWasCopied() {
        // The second new entry cannot be written; the first stays, nothing comes after.
        int copies = 0;
        MergeFixture f([&copies](const QString& op, const QString& from, const QString&) -> Status {
            if (op == "copyItem" && ++copies == 2)
                return Error{"无法复制 “" + from + "”: 设备上没有空间"};
            return std::nullopt;
        });
        f.box.writeFile(QStringLiteral("src/a"));
        f.box.writeFile(QStringLiteral("src/b"));
        f.box.writeFile(QStringLiteral("src/c"));
        f.box.makeDir(QStringLiteral("dst"));
        const Status error = f.merge();
        QVERIFY(error);
        QVERIFY(error->description.endsWith("设备上没有空间"));
        QCOMPARE(QDir(f.dst).entryList(QDir::Files).size(), 1);
        QCOMPARE(f.box.lines().size(), 1);
    }

    // A replacement that cannot be made leaves the installed entry as it was and no
    // temporary copy beside it, whatever stood there.
    void failedReplacementKeepsTheInstalledEntry() {
        MergeFixture f([](const QString& op, const QString&, const QString& to) -> Status {
            if (op != "copyItem")
                return std::nullopt;
            QFile partial(to); // half a copy, as a full disk would leave it
            partial.open(QIODevice::WriteOnly);
            partial.write("ne");
            return Error{"无法复制到 “" + to + "”: 设备上没有空间"};
        });
        f.box.writeFile(QStringLiteral("src/file"), "new");
        f.box.writeFile(QStringLiteral("src/folder"), "new");
        f.box.writeFile(QStringLiteral("dst/file"), "installed");
        f.box.writeFile(QStringLiteral("dst/folder/inner"), "installed");
        const QStringList before = treeListing(f.dst);
        QVERIFY(f.merge());
        QCOMPARE(treeListing(f.dst), before);

        f.src = f.box.makeDir(QStringLiteral("src2"));
        f.box.writeFile(QStringLiteral("src2/folder"), "new");
        QVERIFY(f.merge());
        QCOMPARE(treeListing(f.dst), before);
    }

    void failedMoveIntoPlaceKeepsTheInstalledEntry() {
        MergeFixture f([](const QString& op, const QString& from, const QString& to) -> Status {
            if (op == "replaceItem" && to.endsWith("/folder") && QFileInfo(from).isFile())
                return Error{"无法移动到 “" + to + "”"};
            return std::nullopt;
        });
        f.box.writeFile(QStringLiteral("src/folder"), "new");
        f.box.writeFile(QStringLiteral("dst/folder/inner"), "installed");
        const QStringList before = treeListing(f.dst);
        QVERIFY(f.merge());
        QCOMPARE(treeListing(f.dst), before);
    }

    // An installed file with the same bytes and permission bits is left as it is; any
    // difference, even of the same size, brings the source's copy.
    void identicalFilesAreLeftInPlace() {
        MergeFixture f;
        f.box.writeFile(QStringLiteral("src/same"), "abc");
        f.box.writeFile(QStringLiteral("src/sameSize"), "abc");
        f.box.writeFile(QStringLiteral("src/mode"), "abc");
        f.box.writeFile(QStringLiteral("src/longer"), "abc");
        f.box.writeFile(QStringLiteral("dst/same"), "abc");
        f.box.writeFile(QStringLiteral("dst/sameSize"), "abd");
        f.box.writeFile(QStringLiteral("dst/mode"), "abc");
        f.box.writeFile(QStringLiteral("dst/longer"), "abcd");
        QFile::setPermissions(f.dst + "/mode", QFile::ReadOwner);
        QVERIFY(QFile::link("same", f.dst + "/link"));
        f.box.writeFile(QStringLiteral("src/link"), "abc"); // a link is never the same file
        QVERIFY(!f.merge());
        QCOMPARE(f.fileSystem->operations.filter("copyItem").size(), 4);
        QVERIFY(!f.fileSystem->operations.filter("copyItem " + f.src + "/same ").size());
        for (const char* name : {"same", "sameSize", "mode", "longer", "link"})
            QCOMPARE(contentOf(f.dst + "/" + name), QByteArray("abc"));
        QCOMPARE(QFile::permissions(f.dst + "/mode"), QFile::permissions(f.src + "/mode"));
        QVERIFY(!QFileInfo(f.dst + "/link").isSymLink());
    }

    void replacesLinksAndKeepsLinksAsLinks() {
        MergeFixture f;
        f.box.writeFile(QStringLiteral("src/real"), "data");
        QVERIFY(QFile::link("real", f.src + "/link"));
        f.box.writeFile(QStringLiteral("dst/real"), "old");
        f.box.writeFile(QStringLiteral("elsewhere/keep"), "untouched");
        QVERIFY(QFile::link(f.box.path("elsewhere"), f.dst + "/link"));
        QVERIFY(!f.merge());
        QCOMPARE(QFileInfo(f.dst + "/link").symLinkTarget(), f.dst + "/real");
        QCOMPARE(contentOf(f.box.path("elsewhere/keep")), QByteArray("untouched"));
    }
};

QTEST_GUILESS_MAIN(MergeTest)
#include "tst_merge.moc"
