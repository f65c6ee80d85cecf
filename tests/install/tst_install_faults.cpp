// An installation survives a failure at any one file operation: the run ends as usual and
// names the failed item, the other items are complete, and no installed file is lost, left
// half-written or joined by a stray temporary.
#include "support/EngineSupport.h"

#include <QRegularExpression>
#include <QtTest>

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
    void everyFileOperationMayFail() {
        int operations = 0; // counted by the first run, which fails nothing
        for (int failAt = 0; failAt <= operations; ++failAt) {
            Engine e;
            for (const char* file :
                 {"Titles/T/t", "Effects/G/g", "Effects/G/Media/m", "Transitions/P/p"})
                e.writeResourceFile(file, "new");
            // The effect was installed before, with a file of the user's own.
            const QString installedG = e.installed("Effects.localized/G/");
            for (const char* file : {"g", "Media/m", "mine"})
                e.writeFile("home" + templates + "Effects.localized/G/" + file, "old");
            e.start();
            e.fs->failAt = failAt;
            const QStringList changes = e.record();
            const std::string label = "failing change " + std::to_string(failAt);

            const QString item =
                failAt ? e.failureLines().value(0).section(", ", 0, 0).section(": ", 1) : "";
            QVERIFY2(!failAt || QStringList({"T", "G", "P"}).contains(item), label.c_str());
            QCOMPARE(e.failureLines(),
                     failAt ? QStringList{"处理项目失败: " + item + ", 错误: injected failure of " +
                                          e.fs->failed}
                            : QStringList());
            QVERIFY(!failAt || changes.contains("installationProgress=安装 " + item +
                                                " 失败: injected failure of " + e.fs->failed));
            QCOMPARE(changes.last(), "isInstalling=false");
            QCOMPARE(e.model->installationAlertMessage(),
                     QString(failAt ? "1 个插件安装失败，共 3 个" : "插件安装成功！"));

            // No temporary is left behind, unless its removal was what failed.
            const QStringList hidden =
                treeListing(e.homePath()).filter(QRegularExpression("(^|/)\\."));
            QVERIFY2(hidden.isEmpty() || e.fs->failed == "removeItem", label.c_str());
            for (const char* file : {"g", "Media/m"})
                QVERIFY2(contentOf(installedG + file) == "new" ||
                             (item == "G" && contentOf(installedG + file) == "old"),
                         label.c_str());
            QCOMPARE(contentOf(installedG + "mine"), "old");
            QVERIFY(item == "T" || contentOf(e.installed("Titles.localized/T/t")) == "new");
            QVERIFY(item == "P" || contentOf(e.installed("Transitions.localized/P/p")) == "new");
            if (failAt == 0)
                operations = e.fs->operations;
        }
        QVERIFY2(operations >= 8, qPrintable(QString::number(operations)));
    }
};

QTEST_GUILESS_MAIN(InstallFaults)
#include "tst_install_faults.moc"
