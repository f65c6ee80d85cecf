// The installation run, change by change, and the post-install script with the real shell.
#include "install/Installation.h"
#include "install/Manifest.h"
#include "install/PostInstallScript.h"
#include "platform/QtProcessRunner.h"
#include "support/EngineSupport.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

struct MissingShellRunner : QtProcessRunner {
    void run(const ProcessRequest& request, QObject* context,
             std::function<void(ProcessOutcome)> done) override {
        ProcessRequest missing = request;
        missing.program = "/nonexistent/bin/sh";
        QtProcessRunner::run(missing, context, std::move(done));
    }
};

} // namespace

class InstallationRunTest : public QObject {
    Q_OBJECT
    int m_stdinWriter = -1;

private Q_SLOTS:
    // Our input is a pipe that never ends: a script reading it would wait for ever.
    void initTestCase() {
        int fds[2];
        QVERIFY(::pipe(fds) == 0 && ::dup2(fds[0], STDIN_FILENO) == STDIN_FILENO);
        m_stdinWriter = fds[1];
    }

    // A flood of script output costs bounded memory; the line says how much was left out.
    void scriptOutputStaysBounded() {
        Engine e;
        e.writeResourceFile("post.command", "yes 0123456789abcdef | head -c 40000000; exit 5");
        e.start();
        const auto peakKilobytes = [] {
            rusage usage{};
            ::getrusage(RUSAGE_SELF, &usage);
            return usage.ru_maxrss;
        };
        const long before = peakKilobytes();
        e.record([&] { e.model->installPlugins(); });
        QVERIFY2(peakKilobytes() - before < 64 * 1024,
                 qPrintable(QString("grew by %1 kB").arg(peakKilobytes() - before)));
        const QStringList lines = e.lines().filter("脚本");
        QCOMPARE(lines.size(), 1);
        const QString head = "脚本执行失败: （输出过长，已省略前面的 39934464 字节）\n";
        QVERIFY(lines[0].startsWith(head));
        QCOMPARE(lines[0].size(), head.size() + 65536);
        QVERIFY(lines[0].endsWith("\n0123456789abcdef\n012")); // cut by head
        QCOMPARE(e.model->installationAlertMessage(),
                 "插件已安装，但安装后脚本执行失败\n\n" +
                     QString("0123456789abcdef\n").repeated(4) + "012");
    }

    // Outcomes are decided when each template is done, not when the run was planned.
    void outcomesAreDecidedWhenExecuted_data() {
        QTest::addColumn<QStringList>("names"); // the new name of A, B and C
        QTest::addColumn<bool>("twice");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("outcomes");
        QTest::addColumn<qint64>("free"); // bytes left on the volume at the last run; -1: as it is
        const QStringList abc{"A", "B", "C"};
        const auto row = [](const char* tag, const char* outcomes, const QStringList& names,
                            bool twice = false, bool cancel = false, qint64 free = -1) {
            QTest::newRow(tag) << names << twice << cancel << QString(outcomes) << free;
        };
        row("fresh", "installed installed installed", abc);
        row("two into one", "installed merged installed", {"X", "X", "C"});
        row("a name refused", "installed failed:invalid-name installed", {"A", "..", "C"});
        row("cancelled", "cancelled cancelled cancelled", abc, false, true);
        // Unchanged; room is needed only for what is not already in place.
        row("again, the disk full", "unchanged unchanged unchanged", abc, true, false, 0);
        row("fresh, the disk full", "failed:no-space failed:no-space failed:no-space", abc, false,
            false, 2);
        // Asked for fonts the pack does not bring: the run fails though every template is in.
        row("fonts unreadable", "installed installed installed fonts:failed", abc);
    }
    void outcomesAreDecidedWhenExecuted() {
        QFETCH(QStringList, names);
        QFETCH(bool, twice);
        QFETCH(bool, cancel);
        QFETCH(QString, outcomes);
        QFETCH(qint64, free);
        Sandbox box;
        QList<FolderItem> items;
        for (int i = 0; i < 3; ++i) {
            const QString name(QChar(u'A' + i));
            box.writeResourceFile("Titles/" + name + "/" + name.toLower());
            items << FolderItem{QUuid::createUuid(), name, names[i], FolderType::titles,
                                box.resourcePath() + "/Titles/" + name};
        }
        InstallationReport report;
        for (int round = 0; round <= int(twice); ++round) {
            Platform platform = box.platform();
            if (round == int(twice) && free >= 0)
                platform.fileSystem = std::make_shared<FullVolume>(box.homePath(), free);
            const Installation::Owned run(
                new Installation(platform, items, {false, outcomes.contains("fonts"), false}));
            int started = 0, finished = 0; // heard on this thread: the run emits on the worker
            connect(run.get(), &Installation::started, this, [&] { ++started; });
            connect(run.get(), &Installation::finished, this,
                    [&](const InstallationReport& done) { report = done, ++finished; });
            if (cancel)
                run->cancel();
            run->start();
            QTRY_COMPARE_WITH_TIMEOUT(finished, 1, 20000);
            QCOMPARE(started, cancel ? 0 : 1);
        }
        QStringList seen;
        for (const TemplateResult& result : report.templates) {
            // Also unplanned, it names where its name would have put it.
            QVERIFY(result.destination.endsWith("/Titles.localized/" + names[seen.size()]));
            seen << outcomeName(result.outcome) + (result.outcome == TemplateOutcome::failed
                                                       ? ":" + errorCode(result.error->kind)
                                                       : QString());
        }
        if (report.fonts.state == FontsResult::State::failed)
            seen << "fonts:failed";
        QCOMPARE(seen.join(' '), outcomes);
        QCOMPARE(report.cancelled, cancel);
        QCOMPARE(report.succeeded(), !outcomes.contains("failed") && !cancel);
    }

    void wholeRun_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("why");
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QStringList>("lines");
        const auto row = [](const char* row, QString name, QString why, const QByteArray& script,
                            const QStringList& lines) {
            QTest::newRow(row) << name << why << script << lines;
        };
        const QString dots = "名称 “%1” 不能用作文件夹名：它指向当前或上一级文件夹";
        const QString slash = "名称 “../x” 不能用作文件夹名：其中含有 “/”";
        const QString nul = "名称 “a␀b” 不能用作文件夹名：其中含有空字符";
        const QString failed = "脚本执行失败: ";
        // The script waits for the main thread to put "go" beside it.
        const QByteArray waitForGo = "while [ ! -e \"$(dirname \"$0\")/go\" ]; do sleep 0.02; done";
        const QByteArray megabytes = "head -c 6000000 /dev/zero | tr '\\0' x";
        const QString omitted = "（输出过长，已省略前面的 5934473 字节）\n";
        row("empty list", "", "", "", {});
        row("empty list, script", "", "", "echo out; echo err >&2; " + waitForGo, {});
        row("empty name", "", "名称为空，不能用作文件夹名", "", {});
        row("hidden", ".T",
            "名称 “.T” 不能用作文件夹名：以 “.” 开头的文件夹是隐藏的，Final Cut Pro 不会显示它", "",
            {});
        // Run from the resource folder, told where the templates went and in which language.
        row("dot, script fails", ".", dots.arg("."),
            "[ \"$PWD\" = \"$(cd \"$(dirname \"$0\")\" && pwd)\" ] && echo here; "
            "echo \"${PLUGININSTALLER_TEMPLATES_FOLDER##*/}\"; echo \"$PLUGININSTALLER_INSTALLED\" "
            "| "
            "sed \"s|^$PLUGININSTALLER_TEMPLATES_FOLDER/||\"; echo $PLUGININSTALLER_LANGUAGE; exit "
            "1",
            {failed + "here\nMotion Templates.localized\nTitles.localized/Renamed\n"
                      "Generators.localized/C\nzh\n"});
        row("dot dot, silent script", "..", dots.arg(".."), "exit 1", {failed});
        row("slash, both streams", "../x", slash,
            "echo 出错 >&2; " + megabytes + "; echo e >&2; exit 7",
            {failed + omitted + QString(65534, 'x') + "e\n"});
        // Asked a question, the script reads the end of an empty input, not the installer's.
        row("question", "", "", "read answer; echo \"answer:$answer\"; exit 3",
            {failed + "answer:\n"});
        row("NUL, not UTF-8", QString("a") + QChar(0) + "b", nul, "printf 'caf\\351'; exit 2",
            {failed + "未知错误"});
    }
    // Renamed copy (links, hidden entries, times of files, links and folders), a refused name,
    // a level-by-level merge.
    void wholeRun() {
        QFETCH(QString, name);
        QFETCH(QString, why); // empty for a run with an empty list
        const bool items = !why.isEmpty();
        QFETCH(QByteArray, script);
        QFETCH(QStringList, lines);
        Watchdog watchdog(120, QTest::currentDataTag());
        Engine e;
        e.makeResourceDir("Titles");
        const QString a = e.resourcePath() + "/Titles/A", c = e.resourcePath() + "/Generators/C";
        const QString merged = e.installed("Generators.localized/C");
        QByteArray big(3 * 1024 * 1024 + 17, '\0');
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(big.data()), big.size() / 4);
        const timespec then[2] = {{981173106, 0}, {981173106, 0}}; // 2001-02-03 04:05:06
        const QStringList timed{"/.dir/deep/file", "/.dir/deep", "/link"};
        if (items) {
            e.writeResourceFile("Titles/A/.dir/deep/file");
            QVERIFY(QFile::link(".dir/deep/file", a + "/link"));
            for (const QString& path : timed)
                QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(a + path), then,
                                    AT_SYMLINK_NOFOLLOW) == 0);
            e.writeResourceFile("Effects/B/b.moef");
            e.writeResourceFile("Generators/C/a/b/file", "new");
            e.writeResourceFile("Generators/C/.hidden", "not copied");
            e.writeResourceFile("Generators/C/big.mov", big);
            const QByteArray old = big.chopped(1) + char(big.back() ^ 1); // differs at the end
            e.writeFile(merged + "/big.mov", old);
            QVERIFY(QFile::link("a/b/file", c + "/link"));
            for (const char* file : {"a/b/file", "mine", ".hidden"})
                e.writeFile(merged + "/" + file, "old");
            QVERIFY(QFile::link(e.homePath(), merged + "/link")); // woe if it were followed
            ageFiles(merged);
        }
        if (!script.isEmpty())
            e.writeResourceFile("post.command", script);
        e.start();
        const QString p = "installationProgress=";
        QStringList expected = {"isInstalling=true", p + "开始安装..."};
        if (items) {
            e.model->renameTemplate(e.model->folderItems()[0].id, "Renamed");
            e.model->renameTemplate(e.model->folderItems()[1].id, name);
            expected += {p + "正在安装: A",         p + "已安装: Renamed", p + "正在安装: B",
                         p + "安装 B 失败: " + why, p + "正在安装: C",     p + "已安装: C"};
        }
        if (!script.isEmpty())
            expected += {p + "执行安装后脚本..."}; // a wait, not a turn of the queue
        const QString summary = QString("installationSummary=%1%2")
                                    .arg(items ? "1/3" : "0/0")
                                    .arg(lines.isEmpty() ? "" : ", script failed");
        expected +=
            {p + "安装完成！", "showInstallationAlert=true; " + summary, "isInstalling=false"};
        const QString log = scriptLogPath(e.recordLocation().path);
        QFile::remove(log);
        QTimer::singleShot(50, e.model.get(), [&e] { e.writeResourceFile("go"); });
        // Whatever the script does, it never reaches the run's status or its end; a row
        // renamed while the worker runs does not reach the run.
        const QStringList changes = e.record([&] {
            e.model->installPlugins();
            if (items)
                e.model->renameTemplate(e.model->folderItems()[0].id, "Later");
        });
        QCOMPARE(changes.join("\n"), expected.join("\n"));
        QCOMPARE(e.lines().filter("处理项目失败: "),
                 items ? QStringList{"处理项目失败: B, 错误: " + why} : QStringList());
        QCOMPARE(e.lines().filter("脚本"), lines);
        const QString alert = items ? "1 个插件安装失败，共 3 个" : "插件安装成功！";
        const QString message = e.model->installationAlertMessage();
        const QString named = items ? "\nB：" + why : QString();
        QCOMPARE(message.section("\n\n", 0, 0), lines.isEmpty() ? alert + named
                                                : items ? alert + "；安装后脚本也执行失败" + named
                                                        : "插件已安装，但安装后脚本执行失败");
        // A failed script's last words end the alert; all of them are in its log.
        const QString tail = message.section("\n\n", 1);
        QVERIFY2(lines.isEmpty() ? tail.isEmpty() : lines[0].trimmed().endsWith(tail),
                 qPrintable(message + "\n---\n" + lines.value(0)));
        QCOMPARE(tail.isEmpty(),
                 lines.isEmpty() || lines[0] == "脚本执行失败: " || lines[0].endsWith("误"));
        QTRY_COMPARE(QFileInfo::exists(log), !script.isEmpty());
        QVERIFY(!QFileInfo::exists(e.installed("Effects.localized"))); // nothing written for B
        if (!items)
            return;
        const QString renamed = e.installed("Titles.localized/Renamed");
        QCOMPARE(treeListing(renamed), treeListing(a));
        QCOMPARE(QFileInfo(renamed + "/link").symLinkTarget(), renamed + "/.dir/deep/file");
        for (const QString& path : timed) {
            struct stat st;
            QVERIFY(::lstat(QFile::encodeName(renamed + path), &st) == 0);
            QCOMPARE(qint64(st.st_mtime), qint64(then[1].tv_sec));
        }
        QCOMPARE(
            treeListing(merged),
            QStringList({".hidden = " + e.hex("old"), "a/", "a/b/", "a/b/file = " + e.hex("new"),
                         "big.mov = " + e.hex(big), "link -> a/b/file", "mine = " + e.hex("old")}));
        QCOMPARE(QFileInfo(merged + "/link").symLinkTarget(), merged + "/a/b/file");
        QCOMPARE(e.lines().filter("合并"),
                 QStringList({"开始合并目录: " + c + " -> " + merged,
                              "开始合并目录: " + c + "/a -> " + merged + "/a",
                              "开始合并目录: " + c + "/a/b -> " + merged + "/a/b",
                              "目录合并完成: " + c + "/a/b", "目录合并完成: " + c + "/a",
                              "目录合并完成: " + c}));
    }

    // Two presses make one run; a shell that cannot start is reported.
    void installsTheDemoPackOnce() {
        const QString pack = QFINDTESTDATA("../../demo-pack");
        Engine e;
        e.makeDir("apps/Installer.app/Contents");
        QVERIFY(!pack.isEmpty() && !e.fs->copyItem(pack, e.resourcePath()));
        e.runner = std::make_shared<MissingShellRunner>();
        e.start();
        QSignalSpy finished(e.model.get(), &InstallerViewModel::installationFinished);
        QList<RunProgress> shown;
        connect(e.model.get(), &InstallerViewModel::runProgressChanged, e.model.get(),
                [&] { shown << e.model->runProgress(); });
        const QStringList changes = e.record([&] {
            e.model->requestInstallPlugins();
            e.model->requestInstallPlugins();
        });
        QCOMPARE(changes.filter("正在安装: ").size(), 5);
        QCOMPARE(finished.size(), 1);
        // The totals are the pack's templates, and the progress climbs to them.
        qint64 files = 0, bytes = 0;
        for (const QString kind : {"Titles", "Effects", "Generators", "Transitions"}) {
            QCOMPARE(treeListing(e.installed(kind + ".localized")), treeListing(pack + "/" + kind));
            QDirIterator it(pack + "/" + kind, QDir::Files | QDir::Hidden | QDir::System,
                            QDirIterator::Subdirectories);
            for (; it.hasNext(); ++files)
                bytes += QFileInfo(it.next()).size();
        }
        const auto last = [&] {
            const RunProgress p = shown.value(shown.size() - 1);
            return QList<qint64>{p.filesDone, p.filesTotal, p.bytesDone, p.bytesTotal};
        };
        const QList<qint64> all{files, files, bytes, bytes};
        QVERIFY(files >= 5 && !shown.isEmpty());
        QCOMPARE(last(), all);
        for (qsizetype i = 1; i < shown.size(); ++i)
            QVERIFY(shown[i].bytesDone >= shown[i - 1].bytesDone && shown[i].filesTotal == files &&
                    shown[i].bytesTotal == bytes);

        // Again, over an identical installation: the files left as they are count as done.
        shown.clear();
        e.record([&] { e.model->installPlugins(); });
        QVERIFY(!shown.isEmpty());
        QCOMPARE(last(), all);
        const QStringList lines = e.lines().filter("脚本");
        QVERIFY2(lines.size() == 2 && lines[0] == lines[1] &&
                     lines[0].startsWith("脚本执行出错: ") &&
                     lines[0].contains("/nonexistent/bin/sh"),
                 qPrintable(lines.join('\n')));
    }

    // A script ignoring SIGTERM is killed on cancel, not called failed.
    void theScriptIsStopped() {
        Watchdog watchdog(60, "a script that ignores SIGTERM");
        Engine e;
        e.writeResourceFile("Titles/T/t");
        // In place already: an unchanged template counts as installed.
        QVERIFY(!e.installer.execute(
            e.installer.plan(e.resourcePath() + "/Titles/T", FolderType::titles, "T").value()));
        // What it started goes with it, though it too ignores SIGTERM.
        e.writeResourceFile("post.command", "trap '' TERM; cd \"$(dirname \"$0\")\"; "
                                            "(while :; do sleep 0.1; done) & echo $! > child; "
                                            "touch started; while :; do sleep 0.1; done");
        e.start();
        QTimer poll;
        bool stopped = false;
        connect(&poll, &QTimer::timeout, e.model.get(), [&] {
            if (QFileInfo::exists(e.resourcePath() + "/started") && !std::exchange(stopped, true))
                e.model->requestCancel();
        });
        poll.start(20);
        e.record([&] { e.model->installPlugins(); });
        QVERIFY(stopped);
        QCOMPARE(e.model->installationProgress(), "安装已取消：已安装 1 个，共 1 个");
        QVERIFY(!e.model->installationSummary().scriptFailed);
        QCOMPARE(e.lines().filter("脚本").size(), 0);
        const pid_t child = contentOf(e.resourcePath() + "/child").trimmed().toInt();
        QVERIFY(child > 0);
        // Gone, or a zombie that nobody has reaped yet.
        const auto alive = [child] {
            QFile stat("/proc/" + QString::number(child) + "/stat");
            return stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
        };
        QTRY_VERIFY_WITH_TIMEOUT(::kill(child, 0) != 0 || !alive(), 10000);
    }
};

QTEST_GUILESS_MAIN(InstallationRunTest)
#include "tst_installation_run.moc"
