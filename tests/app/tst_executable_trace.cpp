// The built program's start-up trace on the demo pack, on standard output.
#include "support/TestPlatform.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Orvoinstaller::Testing;

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

        // 21 lines; read a moment longer for a complaint about the tutorial address.
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

        QStringList titles{"Lower Third", "Orvo 标题 Basic"};
        if (trace.value(7).contains(titles[1])) // within a kind the order is the file system's
            titles.swapItemsAt(0, 1);
        const QStringList scan = scanTrace(resources, "Titles", titles) +
                                 scanTrace(resources, "Effects", {"Orvo 光效 Glow"}) +
                                 scanTrace(resources, "Generators", {"Orvo Gradient 背景"}) +
                                 scanTrace(resources, "Transitions", {"Orvo 推移 Push"}) +
                                 QStringList{QStringLiteral("扫描完成，共找到 5 个文件夹")};
        const QStringList locate =
            locateTrace(QStringLiteral(PLUGININSTALLER_BUNDLE_ID), bundle, resources);
        // The tutorial address locates the resources again and reads its file without fault.
        QCOMPARE(maskPlatformWording(trace),
                 locate + QStringList{"资源目录权限: …"} + scan + locate);
    }
};

QTEST_GUILESS_MAIN(ExecutableTrace)
#include "tst_executable_trace.moc"
