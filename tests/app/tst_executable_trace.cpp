// Starts the built program on the demo pack and checks its start-up trace on standard output.
// Only the output is looked at, never the window.
#include "discovery/NameList.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class ExecutableTrace : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startUpTraceOfTheDemoPack() {
        if (!PLUGININSTALLER_DEMO_PACK)
            QSKIP("the build lays another pack into the bundle");
        const QString executable = QFileInfo(PLUGININSTALLER_EXECUTABLE).canonicalFilePath();
        const QString bundle = QDir::cleanPath(QFileInfo(executable).absolutePath() + "/../..");
        const QString resources = bundle + QStringLiteral("/Contents/Resources");
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(executable, {});
        QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));

        // Both resource traces and the scan are 21 lines; a complaint about the tutorial
        // address would follow at once, so read a moment longer.
        QByteArray output;
        QStringList trace;
        QDeadlineTimer deadline(120000);
        for (int more = 2;
             more > 0 && !deadline.hasExpired() && program.state() == QProcess::Running;) {
            program.waitForReadyRead(200);
            output += program.readAllStandardOutput();
            trace = QString::fromUtf8(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            if (trace.size() >= 21 && output.endsWith('\n'))
                --more;
        }
        program.kill();
        program.waitForFinished();

        const QStringList listing = QDir(resources).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
        const QStringList locate{
            QStringLiteral("开始查找资源路径..."),
            QStringLiteral("Bundle 标识符: " PLUGININSTALLER_BUNDLE_ID),
            QStringLiteral("Bundle 路径: ") + bundle,
            QStringLiteral("找到资源路径: ") + resources,
            QStringLiteral("资源目录内容: ") + Orvoinstaller::nameListText(listing),
        };
        auto scanOf = [&](const QString& kind, const QStringList& names) {
            QStringList lines{QStringLiteral("正在扫描文件夹: ") + resources + QLatin1Char('/') +
                              kind};
            for (const QString& name : names)
                lines << QStringLiteral("找到文件夹: ") + name + QStringLiteral(" in ") + kind;
            return lines;
        };
        QStringList titles{"Lower Third", "Orvo 标题 Basic"};
        if (trace.value(7).contains(titles[1])) // within a kind the order is the file system's
            titles.swapItemsAt(0, 1);
        const QStringList scan = scanOf("Titles", titles) + scanOf("Effects", {"Orvo 光效 Glow"}) +
                                 scanOf("Generators", {"Orvo Gradient 背景"}) +
                                 scanOf("Transitions", {"Orvo 推移 Push"}) +
                                 QStringList{QStringLiteral("扫描完成，共找到 5 个文件夹")};
        // The rendering of the attributes is the platform's.
        trace.replaceInStrings(QRegularExpression(QStringLiteral("^(资源目录权限: ).+$")), "\\1…");
        // The tutorial address locates the resources again and reads its file without fault.
        QCOMPARE(trace, locate + QStringList{"资源目录权限: …"} + scan + locate);
    }
};

QTEST_GUILESS_MAIN(ExecutableTrace)
#include "tst_executable_trace.moc"
