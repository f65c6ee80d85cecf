// The system's list of running programs finds the editor by its executable path.
#include "install/EditorRestart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Orvoinstaller;

class RunningProgramsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void findsTheEditorWhileItRuns() {
        const SystemRunningPrograms programs;
        const auto before = programs.executablePaths();
        QVERIFY(before.ok());
        QVERIFY(before.value().contains(QCoreApplication::applicationFilePath()));

        // A stand-in: a program at the editor's place in its bundle.
        QTemporaryDir dir;
        const QString bundle = dir.filePath("Final Cut Pro.app/Contents/MacOS");
        QVERIFY(QDir().mkpath(bundle));
        const QString editor = bundle + "/Final Cut Pro";
        QVERIFY(QFile::copy("/bin/sleep", editor));
        QVERIFY(QFile::setPermissions(editor, QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(!editorIsRunning(&programs));

        QProcess process;
        process.start(editor, {"30"});
        QVERIFY(process.waitForStarted());
        QVERIFY(programs.executablePaths().value().contains(editor));
        QVERIFY(editorIsRunning(&programs));
        process.kill();
        QVERIFY(process.waitForFinished());
        QVERIFY(!editorIsRunning(&programs));
    }
};

QTEST_GUILESS_MAIN(RunningProgramsTest)
#include "tst_running_programs.moc"
