// Faults an installation must survive, and merges and copies that cannot be completed.
#include "support/EngineSupport.h"

#include <QRegularExpression>
#include <QtTest>

#include <filesystem>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "<missing>";
}

} // namespace

class InstallFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // At any one failing file operation, the run ends as usual and names the failed item,
    // the other items are complete, and no installed file is lost, left half-written or
    // joined by a stray temporary.
    void everyFileOperationMayFail() {
        int operations = 0; // counted by the first run, which fails nothing
        for (int failAt = 0; failAt <= operations; ++failAt) {
            Engine e;
            for (const char* file :
                 {"Titles/T/t", "Effects/G/g", "Effects/G/Media/m", "Transitions/P/p"})
                e.writeResourceFile(file, "new");
            // The effect was installed before, with a file of the user's own.
            for (const char* file : {"g", "Media/m", "mine"})
                e.writeFile(e.installed("Effects.localized/G/") + file, "old");
            e.start();
            e.fs->failAt = failAt;
            const QStringList changes = e.record([&] { e.model->installPlugins(); });
            const QStringList failures = e.lines().filter("处理项目失败: ");
            const QString item = failures.value(0).section(", ", 0, 0).section(": ", 1);
            const QString why = failures.value(0).section(", 错误: ", 1);
            QCOMPARE(failures.size(), failAt ? 1 : 0);
            QVERIFY(!failAt ||
                    (QStringList({"T", "G", "P"}).contains(item) && why.startsWith("injected ")));
            QVERIFY(!failAt ||
                    changes.contains("installationProgress=安装 " + item + " 失败: " + why));
            QCOMPARE(changes.last(), "isInstalling=false");
            QCOMPARE(e.model->installationAlertMessage(),
                     QString(failAt ? "1 个插件安装失败，共 3 个" : "插件安装成功！"));

            // No temporary is left behind, unless its removal was what failed; every installed
            // file holds its old content or, unless its item failed, its new one.
            const QStringList hidden =
                treeListing(e.homePath()).filter(QRegularExpression("(^|/)\\."));
            QVERIFY(hidden.isEmpty() || why == "injected removeItem");
            const QString g = e.installed("Effects.localized/G/");
            for (const char* file : {"g", "Media/m"})
                QVERIFY(contentOf(g + file) == "new" ||
                        (item == "G" && contentOf(g + file) == "old"));
            QCOMPARE(contentOf(g + "mine"), "old");
            QVERIFY(item == "T" || contentOf(e.installed("Titles.localized/T/t")) == "new");
            QVERIFY(item == "P" || contentOf(e.installed("Transitions.localized/P/p")) == "new");
            if (failAt == 0)
                operations = e.fs->operations;
        }
        QVERIFY(operations >= 8);
    }

    // A source folder over a destination file fails at its first entry, naming it, and
    // completes neither level. A copy that fails part-way keeps what was copied before it.
    // Nothing is copied over anything, not even over a dangling link.
    void failuresStopTheMerge() {
        Engine e;
        e.start();
        const QString full = e.path("full"), dst = e.path("dst");
        e.writeFile("full/x/inner");
        e.writeFile("dst/x", "a file");
        const Status error = e.model->mergeDirectories(full, dst);
        QVERIFY(error && error->description.contains(full + "/x/inner"));
        QCOMPARE(treeListing(dst), QStringList{"x = " + e.hex("a file")});
        QCOMPARE(e.lines(), QStringList({"开始合并目录: " + full + " -> " + dst,
                                         "开始合并目录: " + full + "/x -> " + dst + "/x"}));

        for (const char* name : {"three/a", "three/b", "three/c"})
            e.writeFile(name);
        e.fs->failAt = e.fs->operations + 2;
        const Status partWay = e.model->mergeDirectories(e.path("three"), dst);
        QVERIFY(partWay && partWay->description == "injected copyItem");
        QCOMPARE(treeListing(dst).filter(" = " + e.hex("x")).size(), 1);
        QCOMPARE(e.lines().size(), 3); // one more start line, and still no completion line

        QVERIFY(QFile::link("/nowhere/at/all", dst + "/dangling"));
        QVERIFY(e.fs->copyItem(e.path("three"), dst));
        QVERIFY(e.fs->copyItem(e.path("full/x/inner"), dst + "/dangling"));
        QVERIFY(!QFileInfo::exists("/nowhere/at/all"));
    }

    // Quotes, backslashes and line breaks install as stored; a name that is not UTF-8 or too
    // long for the file system fails with a reason, and takes nothing else down.
    void awkwardNamesInstallOrFailClearly() {
        Engine e;
        for (const char* name : {"say \"hi\" \\ there", "two\nlines", "Long"})
            e.writeResourceFile(QString("Titles/%1/t").arg(name), name);
        const std::filesystem::path notUtf8 =
            std::filesystem::path(e.resourcePath().toStdString()) / "Effects" / "bad\xff";
        std::filesystem::create_directories(notUtf8);
        e.start();
        QList<FolderItem> items = e.model->folderItems();
        for (FolderItem& item : items)
            if (item.originalName == "Long")
                item.newName = QString(300, 'x');
        e.model->setFolderItems(items);
        e.record([&] { e.model->installPlugins(); });
        std::filesystem::remove_all(notUtf8); // Qt cannot name it to clean it up

        for (const char* name : {"say \"hi\" \\ there", "two\nlines"})
            QCOMPARE(contentOf(e.installed("Titles.localized/") + name + "/t"), name);
        const QStringList failures = e.lines().filter("处理项目失败: ");
        QCOMPARE(failures.size(), 2);
        QVERIFY(failures[0].startsWith("处理项目失败: Long, 错误: ") &&
                failures[0].endsWith("File name too long"));
        QVERIFY(failures[1].endsWith("名称不是有效的 UTF-8 文本，无法按原名读取"));
        QCOMPARE(e.model->installationAlertMessage(), "2 个插件安装失败，共 4 个");
    }
};

QTEST_GUILESS_MAIN(InstallFaults)
#include "tst_install_faults.moc"
