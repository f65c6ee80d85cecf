// Merges and copies that cannot be completed.
#include "support/EngineSupport.h"

#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

class MergeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A source folder over a destination file fails at its first entry, naming it, and
    // completes neither level (an empty one in that place passes). A copy that fails
    // part-way keeps what was copied before it. Nothing is copied over anything, not even
    // over a dangling link.
    void failuresStopTheMerge() {
        Engine e;
        e.start();
        const QString full = e.path("full"), dst = e.path("dst");
        e.makeDir("empty/x");
        e.writeFile("full/x/inner");
        e.writeFile("dst/x", "a file");
        QVERIFY(!e.model->mergeDirectories(e.path("empty"), dst));
        e.clearLines();
        const Status error = e.model->mergeDirectories(full, dst);
        QVERIFY(error && error->description.contains(full + "/x/inner"));
        QCOMPARE(treeListing(dst), QStringList{"x = " + hex("a file")});
        QCOMPARE(e.lines(), QStringList({"开始合并目录: " + full + " -> " + dst,
                                         "开始合并目录: " + full + "/x -> " + dst + "/x"}));

        for (const char* name : {"three/a", "three/b", "three/c"})
            e.writeFile(name);
        e.fs->failAt = e.fs->operations + 2;
        const Status partWay = e.model->mergeDirectories(e.path("three"), dst);
        QVERIFY(partWay && partWay->description == "injected failure of copyItem");
        QCOMPARE(treeListing(dst).filter(" = " + hex("x")).size(), 1);
        QCOMPARE(e.lines().size(), 3); // one more start line, and still no completion line

        QVERIFY(QFile::link("/nowhere/at/all", dst + "/dangling"));
        QVERIFY(e.fs->copyItem(e.path("three"), dst));
        QVERIFY(e.fs->copyItem(e.path("full/x/inner"), dst + "/x"));
        QVERIFY(e.fs->copyItem(e.path("full/x/inner"), dst + "/dangling"));
        QVERIFY(!QFileInfo::exists("/nowhere/at/all"));
        QCOMPARE(treeListing(dst).filter("x = "), QStringList{"x = " + hex("a file")});
    }
};

QTEST_GUILESS_MAIN(MergeTest)
#include "tst_merge.moc"
