// The command line of the built program, end to end: a copy of its bundle around a small
// pack, a sandbox for a home folder, no display.
#include "platform/RealFileSystem.h"
#include "support/TestPlatform.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>

using namespace Orvoinstaller::Testing;

namespace {

const QStringList kinds{"Titles", "Effects", "Generators", "Transitions"};
const QStringList names{"T", "E", "G", "X"}; // of the pack's one template per kind

struct Outcome {
    int status = -1;
    QByteArray out, err;
};

} // namespace

class CommandLine : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
    QString m_executable, m_resources, m_home;

    QString installed(const QString& relative) const {
        return m_home + "/Movies/Motion Templates.localized/" + relative;
    }
    void write(const QString& path, const QByteArray& content) const {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QProcess* start(const QStringList& arguments) {
        auto* program = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        env.remove("HOME");
        if (!m_home.isEmpty()) {
            env.insert("HOME", m_home);
            env.insert("XDG_DATA_HOME", m_home + "/data");
        }
        program->setProcessEnvironment(env);
        program->start(m_executable, arguments);
        return program;
    }
    Outcome run(const QStringList& arguments) {
        QProcess* program = start(arguments);
        Outcome outcome;
        if (program->waitForFinished(120000) && program->exitStatus() == QProcess::NormalExit)
            outcome.status = program->exitCode();
        outcome.out = program->readAllStandardOutput();
        outcome.err = program->readAllStandardError();
        delete program;
        return outcome;
    }
    QStringList outLines(const Outcome& outcome) const {
        return QString::fromUtf8(outcome.out).split('\n', Qt::SkipEmptyParts);
    }

private Q_SLOTS:
    // The executable finds its pack beside itself: a bundle of our own holds a pack of one
    // template per kind, so the window's order is known.
    void initTestCase() {
        namespace fs = std::filesystem;
        const QFileInfo built(QStringLiteral(PLUGININSTALLER_EXECUTABLE));
        const QString contents = m_root.filePath("Sandbox.app/Contents");
        QVERIFY(QDir().mkpath(contents + "/MacOS"));
        m_executable = contents + "/MacOS/" + built.fileName();
        std::error_code linked;
        fs::create_hard_link(built.filePath().toStdString(), m_executable.toStdString(), linked);
        if (linked)
            fs::copy_file(built.filePath().toStdString(), m_executable.toStdString());
        QVERIFY(QFile::copy(built.absolutePath() + "/../Info.plist", contents + "/Info.plist"));
        m_resources = contents + "/Resources";
        for (int i = 0; i < kinds.size(); ++i)
            write(m_resources + "/" + kinds[i] + "/" + names[i] + "/file", kinds[i].toUtf8());
    }
    void init() {
        m_home = m_root.filePath("home");
        QDir(m_home).removeRecursively();
        QDir().mkpath(m_home);
        QFile::remove(m_resources + "/post.command");
    }

    void list_data() {
        QTest::addColumn<QStringList>("folders"); // installed beforehand
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("states"); // in the window's order
        QTest::newRow("nothing installed")
            << QStringList() << QStringList() << QStringList{"new", "new", "new", "new"};
        QTest::newRow("installed folders")
            << QStringList{"Effects.localized/E", "Transitions.localized/X"} << QStringList()
            << QStringList{"new", "merge", "new", "merge"};
        QTest::newRow("a file is no merge") << QStringList() << QStringList{"Titles.localized/T"}
                                            << QStringList{"new", "new", "new", "new"};
    }
    void list() {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, files);
        QFETCH(QStringList, states);
        for (const QString& folder : folders)
            QDir().mkpath(installed(folder));
        for (const QString& file : files)
            write(installed(file), "mine");
        const Outcome outcome = run({"--list"});
        QCOMPARE(outcome.status, 0);
        QStringList expected;
        for (int i = 0; i < kinds.size(); ++i)
            expected << kinds[i] + '\t' + names[i] + '\t' + states[i];
        QCOMPARE(outLines(outcome), expected);
    }

    // Each row: the arguments, what stands in the home folder and the pack's script, then
    // the exit status and, kind by kind, "newName result" and the script's "result code".
    void install_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("before"); // a folder or a file of that name, or nothing
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<QString>("scriptResult");
        const QStringList plain{"T installed", "E installed", "G installed", "X installed"};
        QTest::newRow("renamed, merged")
            << QStringList{"--name", "Titles/T=Mine", "--name", "effects/E=E 2", "--checksum"}
            << "Titles.localized/Mine/" << QByteArray("exit 0") << 0
            << QStringList{"Mine merged", "E 2 installed", "G installed", "X installed"} << "ok 0";
        QTest::newRow("a template fails")
            << QStringList() << "Generators.localized/G" << QByteArray() << 1
            << QStringList{"T installed", "E installed", "G failed", "X installed"} << "absent";
        QTest::newRow("the script fails")
            << QStringList() << "" << QByteArray("echo no; exit 3") << 1 << plain << "failed 3";
        QTest::newRow("no script") << QStringList{"--no-script"} << ""
                                   << QByteArray("echo no; exit 3") << 0 << plain << "skipped";
    }
    void install() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, before);
        QFETCH(QByteArray, script);
        QFETCH(int, status);
        QFETCH(QStringList, results);
        QFETCH(QString, scriptResult);
        if (before.endsWith('/'))
            write(installed(before + "mine"), "mine");
        else if (!before.isEmpty())
            write(installed(before), "a file");
        if (!script.isEmpty())
            write(m_resources + "/post.command", script);

        const Outcome outcome = run(arguments + QStringList{"--install", "--json"});
        QCOMPARE(outcome.status, status);
        QVERIFY2(!outcome.err.contains('\r'), "no progress line where no terminal is");
        QJsonParseError error;
        const QJsonObject report = QJsonDocument::fromJson(outcome.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonArray templates = report["templates"].toArray();
        QCOMPARE(templates.size(), kinds.size());
        for (int i = 0; i < kinds.size(); ++i) {
            const QJsonObject entry = templates[i].toObject();
            const QString newName = results[i].section(' ', 0, -2);
            const QString result = results[i].section(' ', -1);
            const QString destination = installed(kinds[i] + ".localized/" + newName);
            QCOMPARE(entry["kind"].toString(), kinds[i]);
            QCOMPARE(entry["name"].toString(), names[i]);
            QCOMPARE(entry["newName"].toString(), newName);
            QCOMPARE(entry["destination"].toString(), destination);
            QCOMPARE(entry["result"].toString(), result);
            QCOMPARE(entry.contains("error"), result == "failed");
            if (result != "failed")
                QCOMPARE(treeListing(destination).filter("file = "),
                         QStringList{"file = " + QString(kinds[i].toUtf8().toHex())});
        }
        if (before.endsWith('/')) // the user's own file stays
            QVERIFY(QFileInfo::exists(installed(before + "mine")));
        QCOMPARE(report["fonts"].toObject()["result"].toString(), "skipped");
        const QJsonObject ran = report["script"].toObject();
        QCOMPARE(ran["result"].toString(), scriptResult.section(' ', 0, 0));
        if (scriptResult.contains(' '))
            QCOMPARE(ran["exitCode"].toInt(), scriptResult.section(' ', 1).toInt());
        if (scriptResult == "failed 3")
            QCOMPARE(ran["output"].toString(), "no\n");
    }

    // Wrong arguments write nothing at all, not even the templates folder or its lock.
    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("templates"); // besides the pack's own
        QTest::newRow("JSON of a list") << QStringList{"--list", "--json"} << QStringList();
        // Either could be meant: A as "1=2", or A=1 as "2".
        QTest::newRow("ambiguous name") << QStringList{"--install", "--name", "Titles/A=1=2"}
                                        << QStringList{"Titles/A", "Titles/A=1"};
        QTest::newRow("unknown option") << QStringList{"--install", "--bogus"} << QStringList();
        // Mistyped alone, it must not open a window a script cannot close.
        QTest::newRow("mistyped mode") << QStringList{"--lst"} << QStringList();
        QTest::newRow("no such template")
            << QStringList{"--install", "--name", "Titles/Z=A"} << QStringList();
        QTest::newRow("no such kind")
            << QStringList{"--install", "--name", "Fonts/T=A"} << QStringList();
        QTest::newRow("slash in the name")
            << QStringList{"--install", "--name", "Titles/T=a/b"} << QStringList();
        QTest::newRow("hidden name")
            << QStringList{"--install", "--name", "Titles/T=.t"} << QStringList();
        QTest::newRow("two modes") << QStringList{"--list", "--install"} << QStringList();
        QTest::newRow("dry-run installing")
            << QStringList{"--install", "--dry-run"} << QStringList();
    }
    void usageErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, templates);
        for (const QString& folder : templates)
            write(m_resources + "/" + folder + "/file", "f");
        write(installed("Titles.localized/T/mine"), "mine");
        const QStringList before = treeListing(m_home);
        const Outcome outcome = run(arguments);
        for (const QString& folder : templates)
            QDir(m_resources + "/" + folder).removeRecursively();
        QCOMPARE(outcome.status, 2);
        QVERIFY(!outcome.err.isEmpty());
        QCOMPARE(treeListing(m_home), before);
    }

    // What keeps a run from starting is said on standard error; nothing is written.
    void badInput_data() {
        QTest::addColumn<QString>("blocked"); // what is wrong
        QTest::newRow("no pack") << "pack";
        QTest::newRow("no home") << "home";
        QTest::newRow("templates folder blocked") << "Movies";
    }
    void badInput() {
        QFETCH(QString, blocked);
        const QString aside = m_root.filePath("aside");
        if (blocked == "pack")
            QVERIFY(QDir().rename(m_resources, aside));
        if (blocked == "Movies")
            write(m_home + "/Movies", "a file");
        const QStringList before = treeListing(m_home);
        const QString home = m_home;
        if (blocked == "home")
            m_home.clear();
        const Outcome outcome = run({"--install", "--json"});
        m_home = home;
        if (blocked == "pack")
            QVERIFY(QDir().rename(aside, m_resources));
        QCOMPARE(outcome.status, 1);
        QVERIFY(outcome.err.contains(blocked == "home" ? "HOME" : blocked.toUtf8()));
        QCOMPARE(treeListing(m_home), before);
        // A script reading the report still gets one, where there were templates to list.
        if (blocked != "pack") {
            const QJsonArray templates =
                QJsonDocument::fromJson(outcome.out).object()["templates"].toArray();
            QVERIFY(!templates.isEmpty());
            for (const QJsonValue& entry : templates)
                QCOMPARE(entry.toObject()["result"].toString(), "failed");
        }
    }

    // After an installation the user adds a file to one template and changes a file of
    // another: an uninstall keeps both and says so, a dry run changes nothing, and without a
    // manifest nothing is removed.
    void uninstall_data() {
        QTest::addColumn<bool>("installFirst");
        QTest::addColumn<bool>("dryRun");
        QTest::addColumn<int>("status");
        QTest::newRow("uninstall") << true << false << 0;
        QTest::newRow("dry run") << true << true << 0;
        QTest::newRow("no manifest") << false << false << 1;
    }
    void uninstall() {
        QFETCH(bool, installFirst);
        QFETCH(bool, dryRun);
        QFETCH(int, status);
        if (installFirst)
            QCOMPARE(run({"--install", "--no-script"}).status, 0);
        const QString added = installed("Titles.localized/T/added"),
                      changed = installed("Effects.localized/E/file");
        write(added, "mine");
        write(changed, "changed");
        const QStringList before = treeListing(m_home);
        const Outcome outcome =
            run(dryRun ? QStringList{"--uninstall", "--dry-run"} : QStringList{"--uninstall"});
        QCOMPARE(outcome.status, status);
        if (dryRun || !installFirst) {
            QCOMPARE(treeListing(m_home), before);
            if (!installFirst)
                QVERIFY(outcome.err.contains("nothing removed"));
            return;
        }
        QCOMPARE(outLines(outcome).filter("kept: ").size(), 2);
        QVERIFY(outLines(outcome).filter("kept: ").filter(added).size() == 1);
        QVERIFY(outLines(outcome).filter("kept: ").filter(changed).size() == 1);
        QCOMPARE(
            treeListing(installed("")).filter(" = "),
            QStringList({"Effects.localized/E/file = " + QString(QByteArray("changed").toHex()),
                         "Titles.localized/T/added = " + QString(QByteArray("mine").toHex())}));
    }

    // Another installer holds the templates folder: the run says it waits, on standard error,
    // and goes on once it is free.
    void waitsForAnotherInstaller() {
        QDir().mkpath(installed(""));
        Orvoinstaller::RealFileSystem fs;
        auto other = fs.tryLock(installed(".orvo-install.lock"));
        QVERIFY(other && other.value());
        QProcess* program = start({"--install", "--no-script"});
        QVERIFY(QTest::qWaitFor(
            [&] { return program->readAllStandardError().contains("正在等待另一个安装程序完成"); },
            60000));
        QVERIFY(!QFileInfo::exists(installed("Titles.localized/T")));
        std::move(other).value().reset();
        QVERIFY(program->waitForFinished(60000));
        QCOMPARE(program->exitCode(), 0);
        QVERIFY(QFileInfo::exists(installed("Titles.localized/T/file")));
        delete program;
    }

    // Stopped by a signal while the script runs: the script is ended, the summary says so.
    void aSignalCancels() {
        write(m_resources + "/post.command", "touch \"$HOME/started\"; sleep 60");
        QProcess* program = start({"--install"});
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(m_home + "/started"); }, 60000));
        program->terminate();
        QVERIFY(program->waitForFinished(20000));
        QCOMPARE(program->exitStatus(), QProcess::NormalExit);
        QCOMPARE(program->exitCode(), 1);
        QVERIFY(program->readAllStandardOutput().contains("Cancelled: 4 of 4"));
        delete program;
    }
};

QTEST_GUILESS_MAIN(CommandLine)
#include "tst_command_line.moc"
