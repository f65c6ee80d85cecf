// The copy under every install and merge: what `cp -R` keeps, it keeps.
#include "platform/RealFileSystem.h"
#include "support/TestPlatform.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtTest>

#include <sys/stat.h>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

mode_t modeOf(const QString& path) {
    struct stat st;
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

class CopyTreeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void copiesTheWholeTreeUnderANewName() {
        Sandbox box;
        RealFileSystem fs;
        QByteArray big(3 * 1024 * 1024 + 17, '\0');
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(big.data()), big.size() / 4);
        box.writeFile("src/big.mov", big);
        box.writeFile("src/empty", "");
        box.writeFile("src/.hidden", "h");
        box.writeFile("src/.dir/deep/er/file", "d");
        box.makeDir("src/emptyFolder");
        box.writeFile("src/模板 名称/标题.moti", "中文");
        QVERIFY(QFile::link("模板 名称/标题.moti", box.path("src/relative-link")));
        QVERIFY(QFile::link("/nowhere/at/all", box.path("src/dangling")));

        box.makeDir("out");
        QVERIFY(!fs.copyItem(box.path("src"), box.path("out/renamed")));
        QCOMPARE(treeListing(box.path("out/renamed")), treeListing(box.path("src")));
        QCOMPARE(QFileInfo(box.path("out/renamed/dangling")).symLinkTarget(), "/nowhere/at/all");
        QVERIFY(QFileInfo(box.path("out/renamed/relative-link")).isSymLink());
    }

    void keepsPermissionBitsLikeCpR() {
        Sandbox box;
        RealFileSystem fs;
        const QString script = box.writeFile("src/run.sh", "#!/bin/sh\n");
        const QString readOnly = box.writeFile("src/locked", "r");
        const QString folder = box.makeDir("src/private");
        ::chmod(QFile::encodeName(script).constData(), 0755);
        ::chmod(QFile::encodeName(readOnly).constData(), 0444);
        ::chmod(QFile::encodeName(folder).constData(), 0700);
        const mode_t mask = ::umask(022);
        QVERIFY(!fs.copyItem(box.path("src"), box.path("dst")));
        ::umask(mask);
        QCOMPARE(modeOf(box.path("dst/run.sh")), mode_t(0755));
        QCOMPARE(modeOf(box.path("dst/locked")), mode_t(0444));
        QCOMPARE(modeOf(box.path("dst/private")), mode_t(0700));
    }

    void refusesAnOccupiedDestination() {
        Sandbox box;
        RealFileSystem fs;
        box.writeFile("src/a", "new");
        box.writeFile("dst/a", "old");
        box.writeFile("file", "new");
        QVERIFY(QFile::link("missing-target", box.path("link")));
        QVERIFY(fs.copyItem(box.path("src"), box.path("dst")));
        QVERIFY(fs.copyItem(box.path("file"), box.path("dst/a")));
        QVERIFY(fs.copyItem(box.path("file"), box.path("link"))); // a dangling link is something
        QCOMPARE(treeListing(box.path("dst")), QStringList({"a = " + QByteArray("old").toHex()}));
        QVERIFY(!QFileInfo::exists(box.path("missing-target")));
    }

    void failureNamesBothEndsAndTheEntry() {
        Sandbox box;
        RealFileSystem fs;
        box.writeFile("src/a", "1");
        const QString longName = QString(300, QLatin1Char('n'));
        const Status error = fs.copyItem(box.path("src/a"), box.path("dst/") + longName);
        QVERIFY(error);
        QVERIFY2(error->description.contains(box.path("src/a")), qPrintable(error->description));
        QVERIFY(error->description.contains(longName));
    }
};

QTEST_GUILESS_MAIN(CopyTreeTest)
#include "tst_copy_tree.moc"
