// Merging into an installed folder, and the tree copy beneath every install and merge.
#include "support/EngineSupport.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

QString hex(const QByteArray& content) {
    return QString::fromLatin1(content.toHex());
}

} // namespace

class MergeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A shared file is replaced (a link too, without following it), the destination's own
    // and hidden files stay, a hidden source file is left out, and a folder on both sides
    // is merged in turn.
    void mergesLevelByLevel() {
        Engine e;
        e.start();
        const QString src = e.path("src"), dst = e.path("dst");
        e.writeFile("src/a/b/file", "new");
        e.writeFile("src/.hidden", "not copied");
        QVERIFY(QFile::link("a/b/file", src + "/link"));
        e.writeFile("dst/a/b/file", "old");
        e.writeFile("dst/mine", "kept");
        e.writeFile("dst/.hidden", "kept");
        e.writeFile("elsewhere/keep", "untouched");
        QVERIFY(QFile::link(e.path("elsewhere"), dst + "/link"));
        QVERIFY(!e.model->mergeDirectories(src, dst));
        QCOMPARE(treeListing(dst),
                 QStringList({".hidden = " + hex("kept"), "a/", "a/b/", "a/b/file = " + hex("new"),
                              "link = " + hex("new"), "mine = " + hex("kept")}));
        QCOMPARE(QFileInfo(dst + "/link").symLinkTarget(), dst + "/a/b/file");
        QCOMPARE(treeListing(e.path("elsewhere")), QStringList{"keep = " + hex("untouched")});
        QCOMPARE(e.lines(), QStringList({"开始合并目录: " + src + " -> " + dst,
                                         "开始合并目录: " + src + "/a -> " + dst + "/a",
                                         "开始合并目录: " + src + "/a/b -> " + dst + "/a/b",
                                         "目录合并完成: " + src + "/a/b",
                                         "目录合并完成: " + src + "/a", "目录合并完成: " + src}));
    }

    // A source folder over a destination file fails at its first entry, naming it, and
    // completes neither level (an empty one in that place passes). A copy that fails
    // part-way keeps what was copied before it.
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

        e.fs->hook = [&e](const QString&, const QString&, const QString&) {
            return e.fs->operations == 2 ? Status(Error{"设备上没有空间"}) : std::nullopt;
        };
        for (const char* name : {"three/a", "three/b", "three/c"})
            e.writeFile(name);
        e.fs->operations = 0;
        const Status partWay = e.model->mergeDirectories(e.path("three"), dst);
        QVERIFY(partWay && partWay->description == "设备上没有空间");
        QCOMPARE(treeListing(dst).size(), 2);
        QCOMPARE(e.lines().size(), 3); // one more start line, and still no completion line
    }

    // What `cp -R` keeps, the copy keeps: hidden entries, links as links (dangling ones
    // too), every byte of a large file. It never writes over anything, not even a link.
    void copyTree() {
        Sandbox box;
        RealFileSystem fs;
        QByteArray big(3 * 1024 * 1024 + 17, '\0');
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(big.data()), big.size() / 4);
        box.writeFile("src/big.mov", big);
        box.writeFile("src/.dir/deep/file");
        QVERIFY(QFile::link(".dir/deep/file", box.path("src/relative-link")));
        QVERIFY(QFile::link("/nowhere/at/all", box.path("src/dangling")));
        QVERIFY(!fs.copyItem(box.path("src"), box.path("copy")));
        QCOMPARE(treeListing(box.path("copy")), treeListing(box.path("src")));
        QCOMPARE(QFileInfo(box.path("copy/relative-link")).symLinkTarget(),
                 box.path("copy/.dir/deep/file"));
        QCOMPARE(QFileInfo(box.path("copy/dangling")).symLinkTarget(), "/nowhere/at/all");

        const QString file = box.writeFile("file", "new");
        QVERIFY(fs.copyItem(box.path("src"), box.path("copy")));
        QVERIFY(fs.copyItem(file, box.path("copy/.dir/deep/file")));
        QVERIFY(fs.copyItem(file, box.path("copy/dangling")));
        QVERIFY(!QFileInfo::exists("/nowhere/at/all"));
        QCOMPARE(treeListing(box.path("copy")), treeListing(box.path("src")));
    }
};

QTEST_GUILESS_MAIN(MergeTest)
#include "tst_merge.moc"
