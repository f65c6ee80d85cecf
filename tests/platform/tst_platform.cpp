// The platform layer: interface language, trace on standard output, running programs.
#include "install/EditorRestart.h"
#include "model/InstallerViewModel.h"
#include "platform/Language.h"
#include "platform/Output.h"
#include "support/TestPlatform.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;
using namespace Qt::Literals::StringLiterals;

class PlatformTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { Language::use(QString()); }

    // The first preferred language the program speaks wins; Chinese when it speaks none.
    void choose_data() {
        QTest::addColumn<QStringList>("preferred");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("English") << QStringList{u"en-US"_s} << "en";
        QTest::newRow("English, POSIX spelling") << QStringList{u"en_GB"_s, u"zh"_s} << "en";
        QTest::newRow("Chinese before English") << QStringList{u"zh-Hans-CN"_s, u"en"_s} << "";
        QTest::newRow("French, then English") << QStringList{u"fr-FR"_s, u"en-GB"_s} << "en";
        QTest::newRow("German, then Taiwanese Chinese, then English")
            << QStringList{u"de"_s, u"zh-TW"_s, u"en"_s} << "";
        QTest::newRow("French alone") << QStringList{u"fr"_s} << "";
        QTest::newRow("the C locale") << QStringList{u"C"_s} << "";
        QTest::newRow("nothing") << QStringList() << "";
    }

    void choose() {
        QFETCH(QStringList, preferred);
        QFETCH(QString, chosen);
        QCOMPARE(Language::choose(preferred, Language::translations()), chosen);
    }

    // What the system says goes out in the user's language, with the kind a script tests; a
    // "%2" typed in a path stays as typed, and a language not there leaves it in Chinese.
    void systemErrorsInTheUsersLanguage_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("code");
        const auto row = [](const char* name, const char* operation, const QString& chinese,
                            const char* english, const char* code) {
            QTest::newRow(name) << QString(operation) << chinese << QString(english)
                                << QString(code);
        };
        row("a file where a folder should be", "create", u"路径中有一项不是文件夹"_s,
            "a part of the path is not a folder", "exists");
        row("nothing there", "list", u"没有这个文件或文件夹"_s, "no such file or folder",
            "missing");
        row("a FIFO", "copy", u"不是普通文件、文件夹或链接"_s, "is not a file, folder or link",
            "unsafe");
    }
    void systemErrorsInTheUsersLanguage() {
        QFETCH(QString, operation);
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        QFETCH(QString, code);
        Sandbox box;
        const QString file = box.writeFile(u"a%2b"_s);
        const QString fifo = box.path(u"fifo"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const Platform platform = box.platform();
        FileSystem& fs = *platform.fileSystem;
        const Failure failure = operation == u"create" ? fs.createDirectories(file + u"/sub"_s)
                                : operation == u"list"
                                    ? Failure(fs.entryNames(box.path(u"none"_s)).error())
                                    : fs.copyItem(fifo, box.path(u"copy"_s));
        QVERIFY(failure);
        QCOMPARE(errorCode(failure->kind), code);
        QVERIFY2(failure->text.translated().contains(chinese),
                 qPrintable(failure->text.translated()));
        QVERIFY(Language::use(u"en"_s));
        QVERIFY2(failure->text.translated().contains(english),
                 qPrintable(failure->text.translated()));
        QVERIFY(operation != u"create" || failure->text.translated().contains(u"a%2b/sub”"_s));
        QVERIFY(failure->description().contains(chinese));
        QVERIFY(!Language::use(u"xx"_s) && failure->text.translated().contains(chinese));
    }

    // In English the trace stays Chinese while the status line speaks English.
    void traceStaysChinese() {
        QVERIFY(Language::use(u"en"_s));
        Sandbox box;
        box.makeResourceDir(u"Titles/A"_s);
        auto queue = std::make_shared<ManualQueue>();
        auto model = std::make_shared<InstallerViewModel>(box.platform(queue));
        model->renameTemplate(model->folderItems().at(0).id, QString());
        model->requestInstallPlugins();
        QVERIFY(queue->runWhile(
            [&] { return model->installationProgress() != u"Installation complete."_s; }));
        QCOMPARE(box.lines().filter(u"处理项目失败"_s),
                 QStringList{u"处理项目失败: A, 错误: 名称为空，不能用作文件夹名"_s});
        QCOMPARE(model->installationAlertMessage(),
                 u"1 of 1 plug-ins could not be installed.\nA: The name is empty and cannot "
                 u"be used as a folder name."_s);
    }

    // Each turn's lines go out when it ends; a thread without an event loop's at once.
    void linesReachAPipeAtTheEndOfEachTurn() {
        int fds[2];
        QVERIFY(::pipe(fds) == 0);
        std::fflush(stdout);
        const int saved = ::dup(STDOUT_FILENO);
        ::dup2(fds[1], STDOUT_FILENO);
        ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
        const auto piped = [&] {
            QByteArray bytes;
            char buffer[4096];
            for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
                bytes.append(buffer, n);
            return bytes;
        };
        StdoutOutput output;
        QList<QByteArray> seen;
        for (int turn = 1; turn <= 3; ++turn) {
            output.line(QStringLiteral("第 %1 轮").arg(turn));
            output.line(QStringLiteral("second line"));
            seen << piped();
            QCoreApplication::processEvents();
            seen << piped();
        }
        std::thread([&] { output.line(QStringLiteral("from a worker")); }).join();
        seen << piped();
        std::fflush(stdout);
        ::dup2(saved, STDOUT_FILENO);
        ::close(saved);
        ::close(fds[0]);
        ::close(fds[1]);

        QCOMPARE(seen,
                 QList<QByteArray>({"", "第 1 轮\nsecond line\n", "", "第 2 轮\nsecond line\n", "",
                                    "第 3 轮\nsecond line\n", "from a worker\n"}));
    }

    // The editor is found by its executable path while it runs.
    void findsTheEditorWhileItRuns() {
        const SystemRunningPrograms programs;
        const auto before = programs.executablePaths();
        QVERIFY(before.ok());
        QVERIFY(before.value().contains(QCoreApplication::applicationFilePath()));

        // A stand-in at the editor's place in its bundle.
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

QTEST_GUILESS_MAIN(PlatformTest)
#include "tst_platform.moc"
