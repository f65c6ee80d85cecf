// The built program's command line, end to end: a copied bundle, a sandbox home, no display.
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

#include <csignal>
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
    QStringList m_env; // NAME=value, for one run

    QString installed(const QString& relative) const {
        return m_home + "/Movies/Motion Templates.localized/" + relative;
    }
    QProcess* start(const QStringList& arguments) {
        auto* program = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "HOME"})
            env.remove(name);
        if (!m_home.isEmpty()) {
            env.insert("HOME", m_home);
            env.insert("XDG_DATA_HOME", m_home + "/data");
        }
        for (const QString& variable : m_env) {
            if (variable.startsWith("STDOUT=")) // where standard output goes, not a variable
                program->setStandardOutputFile(variable.section('=', 1));
            else
                env.insert(variable.section('=', 0, 0), variable.section('=', 1));
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
    // Where `value` misfits `schema` (the subset of JSON Schema the docs use; no unnamed keys).
    static void misfit(const QJsonValue& value, QJsonObject schema, const QJsonObject& root,
                       const QString& at, QStringList& wrong) {
        if (schema.contains("$ref"))
            schema = root["$defs"][schema["$ref"].toString().section('/', -1)].toObject();
        const QString type = schema["type"].toString();
        if ((schema.contains("enum") && !schema["enum"].toArray().contains(value)) ||
            (type == "object" && !value.isObject()) || (type == "array" && !value.isArray()) ||
            (type == "string" && !value.isString()) || (type == "boolean" && !value.isBool()) ||
            (type == "integer" && value.toDouble(0.5) != value.toInteger()))
            wrong << at;
        for (const QJsonValue& key : schema["required"].toArray())
            if (!value.toObject().contains(key.toString()))
                wrong << at + "." + key.toString();
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            const QJsonValue named = schema["properties"][it.key()];
            const QJsonValue sub = named.isObject() ? named : schema["additionalProperties"];
            sub.isObject() ? misfit(*it, sub.toObject(), root, at + "." + it.key(), wrong)
                           : void(wrong << at + "." + it.key());
        }
        for (const QJsonValue& item : value.toArray())
            misfit(item, schema["items"].toObject(), root, at + "[]", wrong);
    }
    // Where a report misfits docs/NAME.schema.json.
    static QStringList misfits(const QJsonObject& report, const QString& name) {
        QFile file(PLUGININSTALLER_SOURCE_DIR "/docs/" + name + ".schema.json");
        const QJsonObject schema = file.open(QIODevice::ReadOnly)
                                       ? QJsonDocument::fromJson(file.readAll()).object()
                                       : QJsonObject();
        QStringList wrong;
        if (schema.isEmpty())
            wrong << "no schema";
        misfit(report, schema, schema, "document", wrong);
        return wrong;
    }

private Q_SLOTS:
    // A bundle of our own with one template per kind, so the window's order is known.
    void initTestCase() {
        qputenv("LANGUAGE", "en"); // the program speaks the first it has of these
        namespace fs = std::filesystem;
        const QFileInfo built(QStringLiteral(PLUGININSTALLER_EXECUTABLE));
        const QString contents = m_root.filePath("Sand box.app/Contents");
        QVERIFY(QDir().mkpath(contents + "/MacOS"));
        m_executable = contents + "/MacOS/" + built.fileName();
        std::error_code linked;
        fs::create_hard_link(built.filePath().toStdString(), m_executable.toStdString(), linked);
        if (linked)
            fs::copy_file(built.filePath().toStdString(), m_executable.toStdString());
        QVERIFY(QFile::copy(built.absolutePath() + "/../Info.plist", contents + "/Info.plist"));
        m_resources = contents + "/Resources";
        for (int i = 0; i < kinds.size(); ++i)
            writeFileAt(m_resources + "/" + kinds[i] + "/" + names[i] + "/file", kinds[i].toUtf8());
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
        QTest::newRow("installed folders")
            << QStringList{"Effects.localized/E", "Transitions.localized/X"} << QStringList()
            << QStringList{"new", "merge", "new", "merge"};
        QTest::newRow("a file is no merge") << QStringList() << QStringList{"Titles.localized/T"}
                                            << QStringList{"new", "new", "new", "new"};
        // A template whose name is not UTF-8 is left out, said, and fails the command.
        QTest::newRow("a name not UTF-8")
            << QStringList() << QStringList{"!"} << QStringList{"new", "new", "new", "new"};
    }
    void list() {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, files);
        QFETCH(QStringList, states);
        for (const QString& folder : folders)
            QDir().mkpath(installed(folder));
        const QString packFolder = files.value(0) == "!" ? files.takeFirst() : "";
        for (const QString& file : files)
            writeFileAt(installed(file), "mine");
        const std::string unreadable = m_resources.toStdString() + "/Effects/bad\xff";
        if (!packFolder.isEmpty())
            QVERIFY(std::filesystem::create_directories(unreadable));
        QStringList expected;
        for (int i = 0; i < kinds.size(); ++i)
            expected << kinds[i] + '\t' + names[i] + '\t' + states[i];
        const Outcome outcome = run({"--list"});
        QCOMPARE(outcome.status, packFolder.isEmpty() ? 0 : 1);
        QVERIFY2(packFolder.isEmpty() ? outcome.err.isEmpty() : outcome.err.contains("UTF-8"),
                 outcome.err.constData());
        QCOMPARE(outLines(outcome), expected);
        const QJsonDocument json = QJsonDocument::fromJson(run({"--list", "--json"}).out);
        QCOMPARE(json["format"].toInt(), 1);
        QStringList rows;
        for (const QJsonValue row : json["templates"].toArray())
            rows << row["kind"].toString() + '\t' + row["name"].toString() + '\t' +
                        row["state"].toString();
        QCOMPARE(rows, expected);
        if (!packFolder.isEmpty()) {
            const Outcome install = run({"--install", "--json", "--no-script"});
            std::filesystem::remove_all(unreadable);
            QCOMPARE(install.status, 1);
            QCOMPARE(QJsonDocument::fromJson(install.out)["packErrors"].toArray().size(), 1);
        }
    }

    // Rows: arguments, home, script; status, "newName result" per kind, script's result.
    void install_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("before"); // a folder or a file of that name, or nothing
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<QString>("scriptResult");
        const QStringList plain{"T installed", "E installed", "G installed", "X installed"};
        QTest::newRow("installed before")
            << QStringList() << "*" << QByteArray() << 0
            << QStringList{"T unchanged", "E unchanged", "G unchanged", "X unchanged"} << "absent";
        QTest::newRow("renamed, merged")
            << QStringList{"--name", "Titles/T=Mine", "--name", "effects/E=E 2", "--checksum"}
            << "Titles.localized/Mine/" << QByteArray("exit 0") << 0
            << QStringList{"Mine merged", "E 2 installed", "G installed", "X installed"} << "ok 0";
        QTest::newRow("a template fails")
            << QStringList() << "Generators.localized/G" << QByteArray() << 1
            << QStringList{"T installed", "E installed", "G failed:exists", "X installed"}
            << "absent";
        QTest::newRow("the script fails")
            << QStringList() << "" << QByteArray("echo no; exit 3") << 1 << plain << "failed 3";
        QTest::newRow("no script") << QStringList{"--no-script"} << ""
                                   << QByteArray("echo no; exit 3") << 0 << plain << "skipped";
        QTest::newRow("fonts asked, none in the pack")
            << QStringList{"--fonts"} << "" << QByteArray() << 0 << plain << "absent";
    }
    void install() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, before);
        QFETCH(QByteArray, script);
        QFETCH(int, status);
        QFETCH(QStringList, results);
        QFETCH(QString, scriptResult);
        if (before == "*")
            QCOMPARE(run({"--install", "--no-script"}).status, 0);
        else if (before.endsWith('/'))
            writeFileAt(installed(before + "mine"), "mine");
        else if (!before.isEmpty())
            writeFileAt(installed(before), "a file");
        if (!script.isEmpty())
            writeFileAt(m_resources + "/post.command", script);

        const Outcome outcome = run(arguments + QStringList{"--install", "--json"});
        QCOMPARE(outcome.status, status);
        QVERIFY2(!outcome.err.contains('\r'), "no progress line where no terminal is");
        const QJsonObject report = QJsonDocument::fromJson(outcome.out).object();
        QCOMPARE(misfits(report, "install-report"), QStringList());
        const QJsonArray templates = report["templates"].toArray();
        QCOMPARE(templates.size(), kinds.size());
        for (int i = 0; i < kinds.size(); ++i) {
            const QJsonObject entry = templates[i].toObject();
            const QString newName = results[i].section(' ', 0, -2);
            const QString result = results[i].section(' ', -1).section(':', 0, 0);
            QCOMPARE(report["summary"][result].toInt(), results.filter(" " + result).size());
            const QString destination = installed(kinds[i] + ".localized/" + newName);
            QStringList fields;
            for (const char* field : {"kind", "name", "newName", "destination", "result"})
                fields << entry[field].toString();
            QCOMPARE(fields, QStringList({kinds[i], names[i], newName, destination, result}));
            QCOMPARE(entry["error"]["code"].toString(), results[i].section(':', 1));
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

    // What goes to which stream, in which language; wrong arguments (2) write nothing.
    void messages_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("env");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QStringList>("templates"); // besides the pack's own
        const auto row = [](const char* name, const QStringList& arguments, int status,
                            const QString& out, const QString& err, const QStringList& env = {},
                            const QStringList& templates = {}) {
            QTest::newRow(name) << arguments << env << status << out << err << templates;
        };
        const QString summary = "Done: 4 templates: 3 installed, 1 merged, 0 unchanged, 0 failed, "
                                "0 cancelled; script: none; fonts: skipped";
        const QStringList zh{"LANGUAGE=zh_CN:en"};
        row("installs", {"--install"}, 0, summary, "");
        row("in Chinese", {"--install"}, 0, "完成：共 4 个模板：新安装 3 个，合并 1 个", "", zh);
        row("quiet", {"--install", "--quiet"}, 0, "", "");
        row("quiet, asked for JSON", {"--install", "--quiet", "--json"}, 0, "\"format\": 1", "");
        row("verbose", {"--install", "--verbose"}, 0, summary, "开始查找资源路径");
        row("quiet, a failure", {"--install", "--quiet", "--name", "Generators/G=Blocked"}, 1,
            "1 failed", "Generators/Blocked could not be installed: “");
        // Mistyped, with a display or without, it must not open a window a script cannot close.
        row("mistyped mode", {"--lst"}, 2, "", "Unknown option: --lst\nTry ");
        row("short option, display", {"-l"}, 2, "", "Unknown option: -l",
            {"QT_QPA_PLATFORM=offscreen"});
        row("unknown, in Chinese", {"-x"}, 2, "", "未知选项: -x\n运行 ", zh);
        row("nothing, no display", {}, 2, "", "The window needs a display");
        row("no new name", {"--install", "--name", "Titles/T"}, 2, "", "KIND/OLD=NEW");
        row("no such template", {"--install", "--name", "Titles/TZ=A"}, 2, "", "no such template");
        // Either could be meant: A as "1=2", or A=1 as "2".
        row("ambiguous name", {"--install", "--name", "Titles/A=1=2"}, 2, "", "\"A=1\"", {},
            {"Titles/A", "Titles/A=1"});
        row("slash in the name", {"--install", "--name", "Titles/T=a/b"}, 2, "", "“/”");
        // A newline would split the script's list of installed folders.
        row("newline in the name", {"--install", "--name", "Titles/T=a\nb"}, 2, "",
            "control character");
        row("HOME is the root", {"--install"}, 1, "4 failed", "HOME “/” is not a home folder",
            {"HOME=/"});
        row("a full disk for the list", {"--list"}, 1, "", "", {"STDOUT=/dev/full"});
        row("a full disk for the help", {"--help"}, 1, "", "", {"STDOUT=/dev/full"});
        row("256 bytes", {"--install", "--name", "Titles/T=" + QString(128, u'é')}, 2, "",
            "256 bytes");
        row("two modes", {"--list", "--install"}, 2, "", "one of");
        row("no mode", {"--json"}, 2, "", "one of");
        row("dry-run installing", {"--install", "--dry-run"}, 2, "", "--dry-run goes with");
    }
    void messages() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, env);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QStringList, templates);
        for (const QString& folder : templates)
            writeFileAt(m_resources + "/" + folder + "/file", "f");
        writeFileAt(installed("Titles.localized/T/mine"), "mine");
        writeFileAt(installed("Generators.localized/Blocked"), "a file");
        const QStringList before = treeListing(m_home);
        const QString rooted = "/Movies/Motion Templates.localized";
        const bool wasRooted = QFileInfo::exists(rooted);
        m_env = env;
        const Outcome outcome = run(arguments);
        m_env.clear();
        for (const QString& folder : templates)
            QDir(m_resources + "/" + folder).removeRecursively();
        QCOMPARE(outcome.status, status);
        QCOMPARE(QFileInfo::exists(rooted), wasRooted); // HOME=/ is no home
        for (const auto& [stream, part] : {std::pair{outcome.out, out}, {outcome.err, err}})
            QVERIFY2(part.isEmpty() ? stream.isEmpty() : stream.contains(part.toUtf8()), stream);
        if (status == 2)
            QCOMPARE(treeListing(m_home), before);
    }

    // --help names the program as called; the hint after a usage error runs as pasted.
    void help() {
        const Outcome help = run({"--help"});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.startsWith("Usage: ") &&
                help.out.split('\n')[0].contains(QFileInfo(m_executable).fileName().toUtf8()));
        QVERIFY(!help.out.contains("Sand box.app"));
        QVERIFY(help.out.contains("130") && help.out.contains("Examples:"));
        const QByteArray hint = run({"-x"}).err.split('\n').value(1);
        QProcess shell;
        shell.start("sh", {"-c", QString::fromUtf8(hint.mid(hint.indexOf("Try ") + 4))});
        QVERIFY(shell.waitForFinished(60000));
        QCOMPARE(shell.readAllStandardOutput(), help.out);
    }

    // What keeps a run from starting is said on standard error; nothing is written.
    void badInput_data() {
        QTest::addColumn<QString>("blocked"); // what is wrong
        QTest::newRow("no pack") << "pack";
        QTest::newRow("templates folder blocked") << "Movies";
    }
    void badInput() {
        QFETCH(QString, blocked);
        const QString aside = m_root.filePath("aside");
        writeFileAt(m_resources + "/post.command", "touch ran");
        if (blocked == "pack")
            QVERIFY(QDir().rename(m_resources, aside));
        if (blocked == "Movies")
            writeFileAt(m_home + "/Movies", "a file");
        const QStringList before = treeListing(m_home);
        const Outcome outcome = run({"--install", "--json"});
        if (blocked == "pack")
            QVERIFY(QDir().rename(aside, m_resources));
        QCOMPARE(outcome.status, 1);
        QVERIFY(outcome.err.contains(blocked.toUtf8()));
        QCOMPARE(treeListing(m_home), before);
        QVERIFY(!QFile::remove(m_resources + "/ran")); // nor is the script run
        // A script reading the report still gets one, where there were templates to list.
        if (blocked != "pack") {
            const QJsonArray templates =
                QJsonDocument::fromJson(outcome.out).object()["templates"].toArray();
            QVERIFY(!templates.isEmpty());
            for (const QJsonValue& entry : templates)
                QCOMPARE(entry.toObject()["result"].toString(), "failed");
        }
    }

    // Uninstall keeps what the user added or changed; dry run and no record remove nothing;
    // another home's run keeps its own record; a record that cannot be written fails the run.
    void uninstall_data() {
        QTest::addColumn<bool>("installFirst");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("meanwhile"); // what happens between install and the run
        const auto row = [](const char* name, bool installFirst, const QStringList& arguments,
                            const QString& meanwhile = "user") {
            QTest::newRow(name) << installFirst << arguments << meanwhile;
        };
        row("uninstall", true, {"--uninstall"});
        row("dry run", true, {"--uninstall", "--dry-run"});
        row("no manifest", false, {"--uninstall"});
        row("json", true, {"--uninstall", "--json"}, "");
        row("json, no manifest", false, {"--uninstall", "--json"}, "");
        row("twice", true, {"--uninstall"}, "uninstall");
        row("another home, one data folder", true, {"--uninstall"}, "other home");
        // No folder for the record at all, or the record itself cannot be replaced: the run
        // puts T (back) in place, but cannot fold its journal into the record.
        row("record folder is a file", false, {"--install", "--no-script"}, "blocked");
        row("record is a folder", true, {"--install", "--no-script"}, "folder");
    }
    void uninstall() {
        QFETCH(bool, installFirst);
        QFETCH(QStringList, arguments);
        QFETCH(QString, meanwhile);
        if (installFirst)
            QCOMPARE(run({"--install", "--no-script"}).status, 0);
        const QString data = m_home + "/data/" PLUGININSTALLER_BUNDLE_ID;
        const QString added = installed("Titles.localized/T/added"),
                      changed = installed("Effects.localized/E/file");
        if (meanwhile == "other home") {
            QDir().mkpath(m_root.filePath("other home"));
            m_env = {"HOME=" + m_root.filePath("other home"), "XDG_DATA_HOME=" + m_home + "/data"};
            QCOMPARE(run({"--install", "--no-script"}).status, 0);
            m_env.clear();
        } else if (meanwhile == "blocked") {
            writeFileAt(data, "a file");
        } else if (meanwhile == "folder") {
            const QString record = QDir(data).entryInfoList({"*.json"}).value(0).filePath();
            QVERIFY(QFile::remove(record) && QDir().mkpath(record + "/x"));
            QVERIFY(QDir(installed("Titles.localized/T")).removeRecursively());
        } else if (meanwhile == "uninstall") {
            QCOMPARE(run({"--uninstall"}).status, 0);
        }
        if (meanwhile == "user" || meanwhile == "other home") {
            writeFileAt(added, "mine");
            writeFileAt(changed, "changed");
        }
        const QStringList before = treeListing(m_home);
        const Outcome outcome = run(arguments);
        QCOMPARE(outcome.status, arguments.contains("--install") ? 1 : 0);
        const QStringList lines = outLines(outcome);
        const QJsonObject report = QJsonDocument::fromJson(outcome.out).object();
        if (meanwhile == "blocked" || meanwhile == "folder") {
            QVERIFY2(outcome.err.contains("The install record could not be saved: The install "
                                          "record could not be written"),
                     outcome.err.constData());
        } else if (meanwhile == "uninstall") {
            QCOMPARE(lines,
                     QStringList{"No templates are installed: the install record is empty."});
        } else if (arguments.contains("--json")) {
            QCOMPARE(misfits(report, "uninstall-report"), QStringList());
            QCOMPARE(report["result"].toString(), installFirst ? "done" : "nothing");
            QCOMPARE(report["nothing"].toString(), installFirst ? "" : "no-record");
            QCOMPARE(report["removed"].toArray().size(), installFirst ? 4 : 0);
        } else if (arguments.contains("--dry-run") || !installFirst) {
            QCOMPARE(treeListing(m_home), before);
            if (!installFirst)
                QCOMPARE(lines, QStringList{
                                    "No templates are installed: there is no install record yet."});
        } else {
            const QStringList kept = lines.filter("kept: ");
            QVERIFY2(kept.size() == 2 && kept.filter(added).size() == 1 &&
                         kept.filter(changed).size() == 1,
                     qPrintable(kept.join('\n')));
            // What is kept is still said when nothing else is left.
            QCOMPARE(outLines(run({"--uninstall"})).filter("kept: ").size(), 1);
            QCOMPARE(treeListing(installed("")).filter(" = "),
                     QStringList({"Effects.localized/E/file = 6368616e676564",
                                  "Titles.localized/T/added = 6d696e65"})); // "changed", "mine"
        }
    }

    // Another installer holds the folder: the run says it waits, then goes on.
    void waitsForAnotherInstaller() {
        QDir().mkpath(installed(""));
        Orvoinstaller::RealFileSystem fs;
        auto other = fs.tryLock(installed(".orvo-install.lock"));
        QVERIFY(other && other.value());
        QProcess* program = start({"--install", "--no-script"});
        QVERIFY(QTest::qWaitFor(
            [&] {
                return program->readAllStandardError().contains("Waiting for another installer");
            },
            60000));
        QVERIFY(!QFileInfo::exists(installed("Titles.localized/T")));
        std::move(other).value().reset();
        QVERIFY(program->waitForFinished(60000));
        QCOMPARE(program->exitCode(), 0);
        QVERIFY(QFileInfo::exists(installed("Titles.localized/T/file")));
        delete program;
        // Nor does an uninstall go ahead meanwhile.
        other = fs.tryLock(installed(".orvo-install.lock"));
        QCOMPARE(run({"--uninstall"}).status, 1);
        QVERIFY(QFileInfo::exists(installed("Titles.localized/T/file")));
    }

    // A signal during the script or among many templates cancels at the next safe point.
    void aSignalCancels_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("templates"); // small ones added to the pack
        QTest::newRow("SIGINT, script") << SIGINT << 0;
        QTest::newRow("SIGTERM, script") << SIGTERM << 0;
        QTest::newRow("SIGTERM, templates") << SIGTERM << 400;
        QTest::newRow("SIGKILL, templates") << SIGKILL << 400; // then an uninstall
    }
    void aSignalCancels() {
        QFETCH(int, signal);
        QFETCH(int, templates);
        for (int i = 0; i < templates; ++i)
            writeFileAt(m_resources + QString("/Titles/S%1/f").arg(i, 3, 10, QChar('0')), "s");
        writeFileAt(m_resources + "/post.command", "touch \"$HOME/started\"; sleep 60");
        QProcess* program = start({"--install", templates ? "--json" : "--verbose"});
        const QString first =
            templates ? installed("Titles.localized/S000/f") : m_home + "/started";
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(first); }, 60000));
        ::kill(static_cast<pid_t>(program->processId()), signal);
        QVERIFY(program->waitForFinished(20000));
        if (signal == SIGKILL) {
            delete program;
            // Whatever the killed run put in place, its record knows: all of it goes.
            const Outcome outcome = run({"--uninstall"});
            QCOMPARE(outcome.status, 0);
            QCOMPARE(treeListing(installed("")).filter(QRegularExpression("^[^/]+/.")),
                     QStringList());
            return;
        }
        QCOMPARE(program->exitStatus(), QProcess::NormalExit);
        QCOMPARE(program->exitCode(), 128 + signal);
        const QByteArray summary = program->readAllStandardOutput();
        // The last template, never begun, still says why it was not installed.
        const QJsonValue last = QJsonDocument::fromJson(summary)["templates"][403];
        QVERIFY2(templates ? last["error"]["code"] == "cancelled"
                           : summary.startsWith("Cancelled: 4 templates: 4 installed") &&
                                 summary.contains("; script: cancelled;"),
                 summary.constData());
        if (templates) {
            const int done = QDir(installed("Titles.localized"))
                                 .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                                 .size();
            QVERIFY2(done < templates, qPrintable(QString::number(done)));
            QVERIFY(!QFileInfo::exists(m_home + "/started"));
        }
        delete program;
    }
};

QTEST_GUILESS_MAIN(CommandLine)
#include "tst_command_line.moc"
