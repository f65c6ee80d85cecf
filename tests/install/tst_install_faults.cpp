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
                 {"Titles/Title/a", "Effects/Glow/glow.moef", "Effects/Glow/Media/b",
                  "Effects/Glow/preview", "Transitions/Push/c"})
                e.writeResourceFile(file, "new");
            // The effect was installed before; a folder stands where its new file goes.
            const QString glow = e.installed("Effects.localized/Glow/");
            for (const char* file : {"glow.moef", "Media/b", "preview/old", "mine"})
                e.writeFile("home" + templates + "Effects.localized/Glow/" + file, "old");
            e.start();
            QString failed;
            e.fs->hook = [&](const QString& operation, const QString&, const QString& to) {
                if (e.fs->operations != failAt)
                    return Status();
                failed = operation;
                QFile partial(to); // a copy cut short, as a full disk leaves it
                if (operation == "copyItem" && partial.open(QIODevice::WriteOnly))
                    partial.write("ne");
                return Status(Error{"injected"});
            };
            const QStringList changes = e.record();
            const QByteArray label = "failing change " + QByteArray::number(failAt);

            QCOMPARE(changes.mid(changes.size() - 3),
                     QStringList({"showInstallationAlert=true", "|", "isInstalling=false"}));
            QCOMPARE(e.model->installationAlertMessage(),
                     QString(failAt ? "1 个插件安装失败，共 3 个" : "插件安装成功！"));
            const QStringList failures = e.failureLines();
            QCOMPARE(failures.size(), failAt ? 1 : 0);
            const QString item = failAt ? failures[0].section(", ", 0, 0).section(": ", 1) : "";
            if (failAt) {
                QVERIFY2(QStringList({"Title", "Glow", "Push"}).contains(item), label.constData());
                QCOMPARE(failures[0], "处理项目失败: " + item + ", 错误: injected");
                QVERIFY(changes.contains("installationProgress=安装 " + item + " 失败: injected"));
            }

            // No temporary is left behind, unless its removal was what failed.
            const QStringList hidden =
                treeListing(e.homePath()).filter(QRegularExpression("(^|/)\\."));
            QVERIFY2(hidden.isEmpty() || failed == "removeItem", label.constData());
            const bool folder = QFileInfo(glow + "preview").isDir();
            for (const char* file : {"glow.moef", "Media/b", folder ? "preview/old" : "preview"}) {
                const QByteArray content = contentOf(glow + file);
                QVERIFY2(content == "new" || (item == "Glow" && content == "old"),
                         (label + ' ' + file).constData());
            }
            QCOMPARE(contentOf(glow + "mine"), "old");
            QVERIFY(item == "Title" || contentOf(e.installed("Titles.localized/Title/a")) == "new");
            QVERIFY(item == "Push" ||
                    contentOf(e.installed("Transitions.localized/Push/c")) == "new");
            if (failAt == 0)
                operations = e.fs->operations;
        }
        QVERIFY2(operations >= 8, qPrintable(QString::number(operations)));
    }
};

QTEST_GUILESS_MAIN(InstallFaults)
#include "tst_install_faults.moc"
