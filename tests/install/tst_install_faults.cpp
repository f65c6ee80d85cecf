// Faults an installation must survive: failures, interruptions, unsafe entries, names.
#include "install/DestinationState.h"
#include "install/InstallSteps.h"
#include "install/Installation.h"
#include "install/Manifest.h"
#include "install/SafeWrite.h"
#include "platform/NativePath.h"
#include "platform/UserFonts.h"
#include "support/EngineSupport.h"

#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

bool underTemporary(const QString& path) {
    const QStringList parts = path.split('/');
    return std::any_of(parts.begin(), parts.end(), isTemporaryName);
}

// A new title (executable file), an effect merged over the user's files, a new transition.
void layOutPack(Engine& e, bool large = false) {
    if (large) {
        e.writeResourceFile("Titles/T/large.mov", QByteArray(40 << 20, 'L'));
        e.writeResourceFile("post.command", "touch \"$HOME/script-ran\"");
    }
    e.writeResourceFile("Titles/T/t", "new");
    e.writeResourceFile("Titles/T/run.sh", "#!/bin/sh");
    QFile::setPermissions(e.resourcePath() + "/Titles/T/run.sh",
                          QFile::permissions(e.resourcePath() + "/Titles/T/t") | QFile::ExeOwner |
                              QFile::ExeGroup | QFile::ExeOther);
    for (const char* file : {"Effects/G/g", "Effects/G/Media/m", "Effects/G/ro"})
        e.writeResourceFile(file, "new");
    ::chmod(QFile::encodeName(e.resourcePath() + "/Effects/G/ro").constData(), 0444);
    e.writeResourceFile("Effects/G/same", "same");
    ::chmod(QFile::encodeName(e.resourcePath() + "/Effects/G/same").constData(), 0755);
    e.writeResourceFile("Transitions/P/p", "new");
    // The last is the user's too, though its name is close to the installer's temporaries.
    for (const char* file : {"g", "Media/m", "mine", ".orvo-tmp-notes"})
        e.writeFile(e.installed("Effects.localized/G/") + file, "old");
    e.writeFile(e.installed("Effects.localized/G/same"), "same");
    // Older than the pack, as users have them: same-second files would compare unstably.
    ageFiles(e.installed("Effects.localized/G"));
}

// FAT's times where no FAT volume can be mounted: to two seconds, and no modes kept.
struct TwoSecondTimes : FaultyFileSystem {
    using FaultyFileSystem::FaultyFileSystem;
    Facts facts(const QString& path, bool followLinks = false) const override {
        Facts facts = FaultyFileSystem::facts(path, followLinks);
        if (path.startsWith(homeDirectory()))
            facts.modifiedSeconds &= ~qint64(1), facts.modifiedNanoseconds = 0;
        return facts;
    }
    bool keepsModes(const QString&) override { return false; }
};

} // namespace

class InstallFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A failure, crash or cancel at any operation leaves only old or new files, whole templates.
    void everyFileOperationMayBeInterrupted_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"failure", "crash", "cancel"})
            QTest::newRow(how) << QString(how);
    }
    void everyFileOperationMayBeInterrupted() {
        QFETCH(QString, how);
        const bool crash = how == "crash", cancelling = how == "cancel";
        Engine clean;
        layOutPack(clean, cancelling);
        const QStringList before = treeListing(clean.homePath());
        clean.start();
        clean.record([&] { clean.model->installPlugins(); });
        const int operations = clean.fs->operations;
        const QStringList expected = treeListing(clean.homePath());
        const QString g = "Movies/Motion Templates.localized/Effects.localized/G/";
        for (const QString& line :
             {g + "mine = " + clean.hex("old"), g + ".orvo-tmp-notes = " + clean.hex("old"),
              g + "same = " + clean.hex("same") + " mode 755",
              g + "ro = " + clean.hex("new") + " mode 444",
              "Movies/Motion Templates.localized/Titles.localized/T/run.sh = " +
                  clean.hex("#!/bin/sh") + " mode 755"})
            QVERIFY2(expected.contains(line), qPrintable(line));
        QVERIFY(operations >= 10);
        QCOMPARE(clean.model->runProgress().bytesDone, clean.model->runProgress().bytesTotal);
        const QStringList templates{"/Titles.localized/T", "/Effects.localized/G",
                                    "/Transitions.localized/P"}; // in the order installed

        for (int at = cancelling ? 0 : 1; at <= operations; ++at) {
            const QString where = QString("%1 at operation %2").arg(how).arg(at);
            Engine e;
            layOutPack(e, cancelling);
            e.start();
            const auto cancel = [&e] {
                QMetaObject::invokeMethod(
                    e.model.get(), [&e] { e.model->requestCancel(); },
                    Qt::BlockingQueuedConnection);
            };
            if (!cancelling) {
                e.fs->failAt = at;
                e.fs->crash = crash;
            } else if (at) {
                e.fs->hookAt = at;
                e.fs->hook = cancel;
            } else {
                // At the first piece of the large file (the whole of it, where it is cloned).
                e.fs->copyHook = [&, done = false](std::int64_t, std::int64_t bytes) mutable {
                    if (bytes >= 16 << 20 && !std::exchange(done, true))
                        cancel();
                };
            }
            const QStringList changes = e.record([&] { e.model->installPlugins(); });
            QCOMPARE(changes.last(), "isInstalling=false");

            const QStringList after = treeListing(e.homePath());
            QStringList paths;
            for (const QString& line : after) {
                if (underTemporary(listedPath(line))) {
                    QVERIFY2(crash, qPrintable(where + ": " + line));
                    continue;
                }
                paths << listedPath(line);
                QVERIFY2(before.contains(line) || expected.contains(line),
                         qPrintable(where + ": " + line));
            }
            for (const QString& line : before)
                QVERIFY2(paths.contains(listedPath(line)), qPrintable(where + ": lost " + line));

            QStringList whole; // templates that must be complete
            const QStringList failures = e.lines().filter("处理项目失败: ");
            if (cancelling) {
                const InstallationSummary summary = e.model->installationSummary();
                QVERIFY(at || (summary.installedCount == 0 &&
                               e.model->runProgress().bytesDone >= 16 << 20));
                QVERIFY2(summary.cancelled, qPrintable(where));
                const QString status =
                    QString("安装已取消：已安装 %1 个，共 3 个").arg(summary.installedCount);
                QCOMPARE(e.model->installationProgress(), status);
                QCOMPARE(e.model->installationAlertMessage(), status);
                QCOMPARE(e.model->installationAlertTitle(), "安装已取消");
                QCOMPARE(failures, QStringList());
                whole = templates.mid(0, summary.installedCount);
            } else if (!crash && failures.size() == 3 &&
                       failures.filter(", 错误: injected createDirectories").size() == 3) {
                // The templates folder could not be made for the lock: nothing was begun.
                QCOMPARE(e.model->installationAlertMessage(), "injected createDirectories");
                QCOMPARE(e.model->installationProgress(), "安装完成！");
                QCOMPARE(after, before);
            } else if (!crash) {
                QVERIFY2(failures.size() <= 1, qPrintable(where));
                const QString item = failures.value(0).section(", ", 0, 0).section(": ", 1);
                const QString why = failures.value(0).section(", 错误: ", 1);
                QVERIFY2(failures.isEmpty() || (QStringList({"T", "G", "P"}).contains(item) &&
                                                why.contains("injected ")),
                         qPrintable(where + ": " + failures.value(0)));
                QVERIFY(failures.isEmpty() ||
                        changes.contains("installationProgress=安装 " + item + " 失败: " + why));
                // A record that could not be written is said too, even when every file is in.
                const QStringList unsaved = e.lines().filter("无法保存安装记录: ");
                const QString record = why.startsWith("无法写入安装记录") ? why
                                       : unsaved.isEmpty()                ? QString()
                                                           : unsaved[0].section(": ", 1);
                QCOMPARE(e.model->installationAlertMessage(),
                         (failures.isEmpty() ? QString("插件安装成功！")
                                             : "1 个插件安装失败，共 3 个\n" + item + "：" + why) +
                             (record.isEmpty()
                                  ? QString()
                                  : "\n安装记录未能保存，卸载将无法删除本次安装的文件：" + record));
                whole = templates;
                whole.removeIf([&](const QString& t) { return t.endsWith('/' + item); });
            }
            for (const QString& t : whole)
                for (const QString& line : expected.filter(t))
                    QVERIFY2(after.contains(line), qPrintable(where + ": missing " + line));
            if (crash) {
                // What the killed run left on the disk is all an uninstall has: it takes away
                // every file the run put in place and keeps every one of the user's.
                RealFileSystem disk(e.homePath(), e.dataPath());
                const UninstallReport report = uninstallRecorded(disk, e.recordLocation(), false);
                QVERIFY2(!report.refused || report.refused->code == ENOENT, qPrintable(where));
                const auto paths = [](const QStringList& listing) {
                    QStringList result;
                    for (const QString& line : listing)
                        if (!underTemporary(listedPath(line)) && !line.endsWith(".localized/"))
                            result << listedPath(line);
                    return result;
                };
                QCOMPARE(paths(treeListing(e.homePath())), paths(before));
            }
            if (!cancelling) {
                e.fs->failAt = 0;
                e.record([&] { e.model->installPlugins(); });
                QCOMPARE(treeListing(e.homePath()), expected);
            }
        }
    }

    // Entries never replaced, opened or written through: the item fails, all else stays.
    void unsafeDestinationsFailTheItemAndKeepEverything() {
        struct Case {
            const char* name;
            std::function<void(Engine&)> layOut;
            QString reason; // the path first, relative to the installed Effects folder
        };
        const auto fifo = [](const QString& path) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
        };
        const QList<Case> cases{
            {"a pack file over a folder of clips",
             [](Engine& e) {
                 e.writeResourceFile("Effects/G/Media", "a file");
                 e.writeFile(e.installed("Effects.localized/G/Media/clip.mov"), "clip");
             },
             "G/Media” 是文件夹，不能用文件替换"},
            {"a FIFO where the pack brings a file",
             [&](Engine& e) {
                 e.writeResourceFile("Effects/G/g", "new");
                 fifo(e.installed("Effects.localized/G/g"));
             },
             "G/g” 不是普通文件、文件夹或链接"},
            {"a FIFO in the pack over an installed file",
             [&](Engine& e) {
                 fifo(e.resourcePath() + "/Effects/G/g");
                 e.writeFile(e.installed("Effects.localized/G/g"), "old");
             },
             "/Effects/G/g” 不是普通文件、文件夹或链接"},
            {"a FIFO in a template installed afresh",
             [&](Engine& e) {
                 e.writeResourceFile("Effects/G/a", "new");
                 fifo(e.resourcePath() + "/Effects/G/Media/pipe");
             },
             "G” 到 “"},
            {"a link to a folder outside in the installed template",
             [](Engine& e) {
                 e.writeResourceFile("Effects/G/Media/m", "new");
                 e.makeDir(e.installed("Effects.localized/G"));
                 QVERIFY(
                     QFile::link(e.makeDir("outside"), e.installed("Effects.localized/G/Media")));
             },
             "G/Media” 是符号链接"},
            {"an empty template onto a file",
             [](Engine& e) {
                 e.makeResourceDir("Effects/G");
                 e.writeFile(e.installed("Effects.localized/G"), "a file");
             },
             "G” 已存在，但不是文件夹"},
        };
        for (const Case& c : cases) {
            Watchdog watchdog(60, c.name);
            Engine e;
            e.makeDir("outside");
            e.writeFile("outside/theirs", "theirs");
            c.layOut(e);
            const QStringList home = treeListing(e.homePath()),
                              outside = treeListing(e.path("outside"));
            e.start();
            e.record([&] { e.model->installPlugins(); });
            const QStringList failures = e.lines().filter("处理项目失败: G, 错误: ");
            QVERIFY2(failures.size() == 1 && failures[0].contains(c.reason),
                     qPrintable(QString(c.name) + ": " + failures.join('\n')));
            QVERIFY2(failures[0].contains(e.homePath()) || failures[0].contains(e.resourcePath()),
                     c.name);
            QCOMPARE(e.model->installationAlertMessage().section('\n', 0, 0),
                     "1 个插件安装失败，共 1 个");
            QCOMPARE(treeListing(e.path("outside")), outside);
            // Nothing of the user's changed; only the empty folders above may have been made.
            QStringList now = treeListing(e.homePath());
            for (const QString folder : {"Movies/", "Movies/Motion Templates.localized/",
                                         "Movies/Motion Templates.localized/Effects.localized/"})
                if (!home.contains(folder))
                    now.removeAll(folder);
            QVERIFY2(now == home, qPrintable(QString(c.name) + ":\n" + now.join('\n')));
        }
    }

    // A link the user made in place of a folder on the way is followed (rsync -K); the list
    // agrees with the run. Inside the template the links stay refused (see above).
    void foldersTheUserLinkedAreFollowed_data() {
        QTest::addColumn<QString>("linked"); // below the home folder, a link to "elsewhere"
        const QString templates = "Movies/Motion Templates.localized";
        for (const QString& linked :
             {QString("Movies"), templates, templates + "/Effects.localized",
              templates + "/Effects.localized/G"})
            QTest::newRow(qPrintable(linked)) << linked;
    }
    void foldersTheUserLinkedAreFollowed() {
        QFETCH(QString, linked);
        Engine e;
        e.writeResourceFile("Effects/G/g", "new");
        const QString elsewhere = e.makeDir("elsewhere"), link = e.homePath() + "/" + linked;
        const bool merge = linked.endsWith("/G");
        if (merge)
            e.writeFile("elsewhere/mine", "mine");
        QDir().mkpath(QFileInfo(link).absolutePath());
        QVERIFY(QFile::link(elsewhere, link));
        const auto shown = [&] {
            return destinationState(InstalledFolders::list(*e.fs), FolderType::effects, "G") ==
                   DestinationState::merge;
        };
        QCOMPARE(shown(), merge);
        e.start();
        e.record([&] { e.model->installPlugins(); });
        QCOMPARE(e.lines().filter("处理项目失败"), QStringList());
        QVERIFY(QFileInfo(link).isSymLink() && shown());
        QStringList expected{"g = " + Engine::hex("new")};
        if (merge)
            expected << "mine = " + Engine::hex("mine");
        QCOMPARE(treeListing(elsewhere + e.installed("Effects.localized/G").mid(link.size())),
                 expected);
    }

    // A home that is not absolute is refused before anything is written (hidden names:
    // tst_installation_run).
    void unusableHomesAreRefused() {
        Engine e;
        const QByteArray home = qgetenv("HOME");
        const QString unknown = "无法确定用户的主文件夹（HOME 未设置或不是绝对路径），不会安装到 "
                                "“/Movies/Motion Templates.localized”";
        const QString notAHome = "HOME “%1” 不是用户的主文件夹（它是根目录，或不是一个文件夹），"
                                 "不会安装任何内容";
        const QString file = e.writeFile("a file");
        const QByteArray fileBytes = QFile::encodeName(file);
        // A HOME that is not UTF-8 names its own folder, not one its text would decode to.
        const QByteArray raw = QFile::encodeName(e.homePath()) + "/caf\xe9";
        QVERIFY(::mkdir(raw.constData(), 0755) == 0);
        for (const auto& [value, why] :
             QList<std::pair<const char*, QString>>{{"", unknown},
                                                    {nullptr, unknown},
                                                    {"relative/home", unknown},
                                                    {"/", notAHome.arg("/")},
                                                    {fileBytes.constData(), notAHome.arg(file)},
                                                    {raw.constData(), QString()}}) {
            value ? qputenv("HOME", value) : qunsetenv("HOME");
            Engine homeless;
            homeless.writeResourceFile("Titles/T/t");
            homeless.fs = std::make_shared<FaultyFileSystem>(); // the system's idea of home
            homeless.start();
            homeless.record([&] { homeless.model->installPlugins(); });
            QCOMPARE(homeless.lines().filter("处理项目失败: "),
                     why.isEmpty() ? QStringList() : QStringList{"处理项目失败: T, 错误: " + why});
            QVERIFY(why.isEmpty() || homeless.fs->operations == 0);
        }
        QVERIFY(::access(raw + "/Movies/Motion Templates.localized/Titles.localized/T/t", F_OK) ==
                0);
        // A relative XDG_DATA_HOME is no place for fonts.
        qputenv("XDG_DATA_HOME", "relative");
        QCOMPARE(nativePath(userFontsFolder()), raw + "/.local/share/fonts");
        std::filesystem::remove_all(raw.constData());
        qunsetenv("XDG_DATA_HOME");
        qputenv("HOME", home);
    }

    // exFAT and FAT (SMB alike) have no rename that refuses to replace, and keep no modes:
    // new templates still go in whole, and a re-install reads nothing. Everywhere, a pack
    // folder of mode 0555 is installed open to its owner, who must update and remove it.
    void volumesWithoutModes_data() {
        QTest::addColumn<QString>("type"); // of the volume home is on; empty: the test's own
        QTest::newRow("this disk") << QString();
        QTest::newRow("exFAT") << "exfat";
        QTest::newRow("FAT") << "vfat";
        QTest::newRow("FAT's times, emulated") << "2s";
    }
    void volumesWithoutModes() {
        QFETCH(QString, type);
        Engine e;
        const QString volume = e.path("volume"),
                      script = PLUGININSTALLER_SOURCE_DIR "/scripts/fat-volume.sh";
        QProcess mount;
        const bool mounted = type.endsWith("fat");
        if (mounted) {
            mount.start(script, {"mount", volume, type});
            if (!mount.waitForFinished(60000) || mount.exitCode() != 0)
                QSKIP(mount.readAllStandardError().trimmed().constData());
        }
        const auto unmount = qScopeGuard([&] {
            if (mounted)
                QProcess::execute(script, {"unmount", volume});
        });
        QDir().mkpath(volume + "/home");
        e.fs = type == "2s" ? std::make_shared<TwoSecondTimes>(volume + "/home")
                            : std::make_shared<FaultyFileSystem>(volume + "/home");
        for (const char* file : {"Titles/T/t", "Titles/T/Media/m", "Effects/G/g"})
            e.writeResourceFile(file, "new");
        const QString runSh = e.writeResourceFile("Titles/T/run.sh", "#!/bin/sh");
        QVERIFY(::chmod(QFile::encodeName(runSh).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(e.resourcePath() + "/Titles/T").constData(), 0555) == 0);
        // The pack's bits are kept whatever the umask, or every re-install would copy again.
        const mode_t umask = ::umask(077);
        const auto restore = qScopeGuard([&] { ::umask(umask); });
        // Long ago, at an odd second, which FAT cannot hold.
        for (QDirIterator it(e.resourcePath(), QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            const timespec odd[2] = {{1700000001, 0}, {1700000001, 0}};
            QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(it.next()).constData(), odd, 0) == 0);
        }
        e.start();
        const QString installed = volume + "/home/Movies/Motion Templates.localized/";
        for (const char* run : {"first", "again"}) {
            e.fs->reads.clear();
            e.record([&] { e.model->installPlugins(); });
            QVERIFY2(e.lines().filter("处理项目失败").isEmpty(),
                     qPrintable(run + (": " + e.lines().join('\n'))));
            QCOMPARE(contentOf(installed + "Titles.localized/T/Media/m"), "new");
            struct stat st;
            QVERIFY(::stat(QFile::encodeName(installed + "Titles.localized/T").constData(), &st) ==
                    0);
            QCOMPARE(st.st_mode & S_IRWXU, S_IRWXU);
        }
        QCOMPARE(e.fs->reads, QStringList()); // the quick check took every file as it was
        ::chmod(QFile::encodeName(e.resourcePath() + "/Titles/T").constData(), 0755);
    }

    // A second installer waits, says so, and starts when the first has finished; so do
    // fonts, whose temporaries another run would trip over. Then all file work is on the one
    // worker: a run, the fonts button pressed during it (waiting for the run's lock without
    // holding the run up), the merge and the script as operations, a listing, an uninstall.
    void aSecondInstallerWaitsForTheFirst() {
        Watchdog watchdog(90, "the fonts button during a run");
        Engine e;
        for (const char* file : {"Titles/A/a", "Effects/C/c", "Fonts/F.ttf"})
            e.writeResourceFile(file, "new");
        e.writeFile("home/dest/mine", "mine");
        e.start();
        InstallSteps first(*e.fs, e.output(), e.recordLocation());
        QCOMPARE(first.tryLock().value(), true);
        const Installation::Owned fonts(
            new Installation(e.model->platform(), {}, {false, true, false}));
        bool fontsWaited = false;
        connect(fonts.get(), &Installation::waiting, this, [&] { fontsWaited = true; });
        fonts->start();
        QStringList statuses; // each value it had, as the next change is announced
        connect(e.model.get(), &InstallerViewModel::objectWillChange, e.model.get(), [&] {
            if (statuses.value(statuses.size() - 1) != e.model->installationProgress())
                statuses << e.model->installationProgress();
        });
        e.model->installPlugins();
        QTRY_COMPARE(e.model->installationProgress(), InstallerViewModel::waitingStatus());
        QTest::qWait(3 * InstallerViewModel::lockRetryMilliseconds);
        QVERIFY(fontsWaited && !QFileInfo::exists(e.installed("Titles.localized/A")));
        QVERIFY(!QFileInfo::exists(e.fontsPath() + "/F.ttf"));
        first.unlock();
        e.record([] {});
        QTRY_COMPARE(contentOf(e.fontsPath() + "/F.ttf"), "new");
        QCOMPARE(statuses.mid(0, 2),
                 QStringList({InstallerViewModel::waitingStatus(), "开始安装..."}));
        QCOMPARE(e.model->installationAlertMessage(), "插件安装成功！");
        QVERIFY(QFileInfo::exists(e.installed("Titles.localized/A/a")));
        QVERIFY(!QFileInfo::exists(e.installed(".orvo-install.lock")));

        e.fs->threads.clear();
        e.record([&] {
            e.model->installPlugins();
            e.model->installFonts();
        });
        QTRY_COMPARE(e.model->installationProgress(), "字体安装完成");
        std::optional<Failure> merged;
        e.model->mergeDirectories(e.resourcePath() + "/Titles/A", e.path("home/dest"),
                                  [&](Failure failure) { merged = failure; });
        std::optional<bool> succeeded;
        e.model->runPostInstallScript(e.writeResourceFile("post.command", "echo oops; exit 3"),
                                      [&](bool ok) { succeeded = ok; });
        e.model->refreshInstalledFolders();
        e.model->requestUninstallPreview();
        QTRY_VERIFY(merged && succeeded && e.model->uninstallOutcome());
        QVERIFY(!*merged && !*succeeded && e.lines().filter("脚本执行失败: oops").size() == 1);
        QCOMPARE(contentOf(e.path("home/dest/a")) + contentOf(e.path("home/dest/mine")), "newmine");
        QCOMPARE(e.fs->threads, QSet<QThread*>{e.model->platform().worker->context()->thread()});
    }

    // A pack on another volume copies: the plain copy takes over from the kernel's.
    void aPackOnAnotherVolume() {
        QTemporaryDir volume(QStringLiteral("/dev/shm/pack-XXXXXX"));
        if (!volume.isValid())
            QSKIP("no second volume at /dev/shm");
        Engine e;
        e.writeFile(volume.path() + "/T/a", "content");
        const auto plan = e.installer.plan(volume.path() + "/T", FolderType::titles, "T");
        QVERIFY(!e.installer.execute(plan.value()));
        QCOMPARE(contentOf(e.installed("Titles.localized/T/a")), "content");
    }

    // Only a live holder blocks: not an empty lock, another host's, or a dead holder's.
    void onlyALiveHolderBlocks_data() {
        QTest::addColumn<QByteArray>("left"); // a lock file as an earlier run left it
        QTest::addColumn<int>("holder");      // 0 none, 1 alive, 2 killed
        QTest::newRow("empty file") << QByteArray() << 0;
        QTest::newRow("another host's") << QByteArray("1\nPluginInstaller\nother-mac\n") << 0;
        QTest::newRow("holder killed") << QByteArray() << 2;
        QTest::newRow("holder alive") << QByteArray() << 1;
        QTest::newRow("a link in its place") << QByteArray("->") << 0; // never followed
    }
    void onlyALiveHolderBlocks() {
        QFETCH(QByteArray, left);
        QFETCH(int, holder);
        Engine e;
        const QString lock = e.writeFile(e.installed(".orvo-install.lock"), left);
        if (left == "->")
            QVERIFY(QFile::remove(lock) && QFile::link(e.writeFile("outside/f"), lock));
        int ready[2];
        QVERIFY(::pipe(ready) == 0);
        pid_t child = holder ? ::fork() : 0;
        const auto end = [&child] {
            if (child > 0)
                ::kill(child, SIGKILL), ::waitpid(child, nullptr, 0), child = 0;
        };
        const auto ended = qScopeGuard(end);
        if (holder && child == 0) {
            InstallSteps held(*e.fs, e.output(), e.recordLocation());
            const char taken = held.tryLock().value() ? 1 : 0;
            if (::write(ready[1], &taken, 1) == 1)
                ::pause();
            ::_exit(0);
        }
        char taken = 0;
        QVERIFY(!holder || (::read(ready[0], &taken, 1) == 1 && taken == 1));
        if (holder == 2)
            end();
        InstallSteps steps(*e.fs, e.output(), e.recordLocation());
        const Result<bool> locked = steps.tryLock();
        end();
        QCOMPARE(locked ? QString::number(locked.value()) : errorCode(locked.error().kind),
                 left == "->" ? QString("unsafe") : QString::number(holder != 1));
    }

    // A failing merge names the entry, keeps what it copied, never writes over a link.
    void failuresStopTheMerge() {
        Engine e;
        e.start();
        const QString full = e.path("full"), dst = e.path("dst");
        e.writeFile("full/x/inner");
        e.writeFile("dst/x", "a file");
        const Failure error = e.installer.merge(full, dst);
        QVERIFY(error && error->description().contains(full + "/x/inner"));
        QCOMPARE(treeListing(dst), QStringList{"x = " + e.hex("a file")});
        QCOMPARE(e.lines(), QStringList({"开始合并目录: " + full + " -> " + dst,
                                         "开始合并目录: " + full + "/x -> " + dst + "/x"}));

        for (const char* name : {"three/a", "three/b", "three/c"})
            e.writeFile(name);
        e.fs->failOn("copyItem", "three/b"); // what comes before b is in, nothing after
        const Failure partWay = e.installer.merge(e.path("three"), dst);
        QVERIFY(partWay && partWay->description() == "injected copyItem");
        const QStringList order = QDir(e.path("three")).entryList(QDir::Files, QDir::Unsorted);
        QCOMPARE(treeListing(dst).filter(" = " + e.hex("x")).size(), order.indexOf("b"));
        QCOMPARE(e.lines().size(), 3); // one more start line, and still no completion line

        QVERIFY(QFile::link("/nowhere/at/all", dst + "/dangling"));
        QVERIFY(e.fs->copyItem(e.path("three"), dst));
        QVERIFY(e.fs->copyItem(e.path("full/x/inner"), dst + "/dangling"));
        QVERIFY(e.fs->moveNew(e.path("full/x/inner"), dst + "/dangling"));
        QVERIFY(!QFileInfo::exists("/nowhere/at/all"));
        QVERIFY(QFile::link(e.path("full/x/inner"), e.path("to a file")));
        const Failure throughLink = e.installer.merge(full, e.path("to a file"));
        QVERIFY(throughLink && throughLink->description().contains("是符号链接"));
    }

    // Awkward names install as stored; not UTF-8, too long or with a control character fails
    // alone, with a reason.
    void awkwardNamesInstallOrFailClearly() {
        Engine e;
        for (const char* name : {"say \"hi\" \\ there", "two\nlines", "Long"})
            e.writeResourceFile(QString("Titles/%1/t").arg(name), name);
        const std::filesystem::path notUtf8 =
            std::filesystem::path(e.resourcePath().toStdString()) / "Effects" / "bad\xff";
        std::filesystem::create_directories(notUtf8);
        e.start();
        const QList<FolderItem> items = e.model->folderItems();
        for (const FolderItem& item : items)
            if (item.originalName == "Long")
                e.model->renameTemplate(item.id, QString(300, 'x'));
        e.record([&] { e.model->installPlugins(); });
        std::filesystem::remove_all(notUtf8); // Qt cannot name it to clean it up

        QCOMPARE(contentOf(e.installed("Titles.localized/say \"hi\" \\ there/t")),
                 "say \"hi\" \\ there");
        // A newline would split the script's list of installed folders.
        QStringList failures = e.lines().filter("处理项目失败: ");
        failures.sort();
        QCOMPARE(failures.size(), 2);
        QVERIFY(failures[0].startsWith("处理项目失败: Long, 错误: ") &&
                failures[0].endsWith("300 字节，最多 255 字节"));
        QCOMPARE(failures[1],
                 "处理项目失败: two\nlines, 错误: 名称 “two\u240alines” 不能用作文件夹名："
                 "其中含有控制字符");
        // Refused at the scan: installed once, it could never be found again.
        QCOMPARE(items.size(), 3);
        QCOMPARE(e.model->installationAlertMessage().section('\n', 0, 0),
                 "2 个插件安装失败，共 3 个");
        // Nothing of the failed copies is left, not even a temporary.
        QCOMPARE(treeListing(e.installed("Titles.localized")).filter("orvo").size(), 0);
    }
};

QTEST_GUILESS_MAIN(InstallFaults)
#include "tst_install_faults.moc"
