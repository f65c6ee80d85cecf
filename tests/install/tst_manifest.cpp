// The record of what installations put in place, and the uninstall that trusts only it.
#include "install/InstallSteps.h"
#include "install/Manifest.h"
#include "support/EngineSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

namespace stdfs = std::filesystem;

const QString bundleId = QStringLiteral("com.example.installer");

// Reports the record when a lock goes.
struct WatchedLocks : RealFileSystem {
    using RealFileSystem::RealFileSystem;
    struct Watched : Lock {
        std::unique_ptr<Lock> held;
        std::function<void()> released;
        ~Watched() override { released(); }
    };
    std::function<void()> released;
    Result<std::unique_ptr<Lock>> tryLock(const QString& path) override {
        auto lock = RealFileSystem::tryLock(path);
        if (!lock || !lock.value())
            return lock;
        auto watched = std::make_unique<Watched>();
        watched->held = std::move(lock).value();
        watched->released = released;
        return std::unique_ptr<Lock>(std::move(watched));
    }
};

// Fresh (new, a link, an awkward name) and Merged (over the user's file), recorded.
struct Installed : Engine {
    ManifestLocation location;
    QStringList baseline; // the home before installing

    Installed() {
        location = manifestLocation(*fs, FixedBundle(bundleId, bundlePath(), std::nullopt));
        writeResourceFile("Titles/Fresh/a", "aaa");
        writeResourceFile("Titles/Fresh/Media/m", "mm");
        writeResourceFile("Titles/Fresh/名字 \"q\"\\", "q");
        stdfs::create_symlink("../a", (resourcePath() + "/Titles/Fresh/Media/link").toStdString());
        writeResourceFile("Titles/Merged/b", "bb");
        writeResourceFile("Titles/Merged/Sub/c", "c");
        for (const char* name : {"x", "y", "z"}) // installed later, over the user's own
            writeResourceFile(QString("Titles/Other/") + name, name);
        writeFile(file("Merged/mine"), "mine");
        writeFile("outside/o", "o");
        baseline = treeListing(homePath());
        install({"Fresh", "Merged"});
    }
    void install(const QStringList& names) {
        ManifestRecorder recorder(*fs, location);
        installer.setPlacing(recorder.placing());
        for (const QString& name : names) {
            const auto plan =
                installer.plan(resourcePath() + "/Titles/" + name, FolderType::titles, name);
            QVERIFY(plan);
            QVERIFY(!installer.execute(plan.value()));
        }
        QVERIFY(!recorder.finish());
        discarded = recorder.discarded();
        installer.setPlacing({});
    }
    QString file(const QString& relative) const {
        return installed("Titles.localized/" + relative);
    }
    // The recorded paths, a folder's with "/", or why the manifest is not trusted.
    QStringList recorded() const {
        const auto loaded = loadManifest(*fs, location);
        if (!loaded)
            return {loaded.error().description()};
        QStringList paths;
        for (const ManifestEntry& entry : loaded.value())
            paths << entry.path + (entry.facts.type == FileReader::Type::folder ? "/" : "");
        return paths;
    }
    void editManifest(const std::function<void(QJsonObject&)>& edit) const {
        QJsonObject root = QJsonDocument::fromJson(contentOf(location.path)).object();
        edit(root);
        writeFile(location.path, QJsonDocument(root).toJson());
    }
    void addEntry(const QString& path, const QString& target) const {
        const FileReader::Facts facts = fs->facts(target);
        editManifest([&](QJsonObject& root) {
            QJsonArray entries = root["entries"].toArray();
            entries.append(QJsonObject{
                {"path", path},
                {"type", "file"},
                {"size", facts.size},
                {"modified", QJsonArray{facts.modifiedSeconds, facts.modifiedNanoseconds}},
                {"device", QString::number(facts.device)},
                {"inode", QString::number(facts.inode)}});
            root["entries"] = entries;
        });
    }
    Failure discarded;
};

using Change = std::function<void(Installed&)>;

// The paths of a report's kept lines, between the quotes.
QStringList keptPaths(const UninstallReport& report) {
    QStringList paths;
    for (const QString& line : report.kept)
        paths << line.section(u'“', 1).section(u'”', 0, -2);
    return paths;
}

// After an uninstall: what is `left` under Titles.localized, what stays recorded.
void checkLeftAndRecorded(const Installed& e, QStringList left, const QStringList& recordedAfter) {
    QStringList added;
    for (const QString& line : treeListing(e.homePath()))
        added << listedPath(line);
    for (const QString& line : e.baseline)
        added.removeOne(listedPath(line));
    for (QString& path : left)
        path = "Movies/Motion Templates.localized/Titles.localized/" + path;
    QCOMPARE(added, left);
    QCOMPARE(e.recorded(), recordedAfter);
}

} // namespace

Q_DECLARE_METATYPE(Change)

class ManifestTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // In the data folder of the platform's home (never the process's idea of it), one record
    // per templates folder.
    void manifestLivesInTheDataFolderOfTheBundle_data() {
        QTest::addColumn<QString>("identifier"); // null: none
        QTest::addColumn<QString>("data");       // the platform's data folder; empty: the home's
        QTest::addColumn<QString>("folder");     // where the record is
        const auto row = [](const char* name, const QString& id, const char* data,
                            const QString& folder) {
            QTest::newRow(name) << id << QString(data) << folder;
        };
        const QString fallback = QString("data/") + fallbackBundleId;
        row("from Info.plist", "com.maker.pack", "data", "data/com.maker.pack");
        row("no Info.plist", QString(), "data", fallback);
        row("id leading out", "../x", "data", fallback);
        row("a scratch home's own", "com.maker.pack", "", "home/.local/share/com.maker.pack");
    }
    void manifestLivesInTheDataFolderOfTheBundle() {
#ifndef Q_OS_LINUX
        QSKIP("the data folder's place is the system's own");
#endif
        QFETCH(QString, identifier);
        QFETCH(QString, data);
        QFETCH(QString, folder);
        Sandbox box;
        qputenv("XDG_DATA_HOME", QFile::encodeName(box.path("elsewhere")));
        const FixedBundle bundle(identifier.isNull() ? std::nullopt : std::optional(identifier),
                                 box.bundlePath(), {});
        const QString dataFolder = data.isEmpty() ? QString() : box.path(data);
        const ManifestLocation location =
            manifestLocation(RealFileSystem(box.homePath(), dataFolder), bundle);
        QCOMPARE(parentPath(location.path), box.path(folder));
        QCOMPARE(location.bundleId, folder.section('/', -1));
        QCOMPARE(location.templatesFolder, box.homePath() + "/Movies/Motion Templates.localized");
        const ManifestLocation other =
            manifestLocation(RealFileSystem(box.path("other"), dataFolder), bundle);
        QVERIFY(other.path != location.path);
        QCOMPARE(parentPath(other.path), data.isEmpty()
                                             ? box.path("other/.local/share/") + location.bundleId
                                             : box.path(folder));
    }

    // Changed files are kept with their reason; the rest goes; a dry run reports the same.
    void uninstallRemovesOnlyWhatIsUnchanged_data() {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QStringList>("kept"); // under Titles.localized
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QStringList>("left"); // besides what was there before installing
        QTest::addColumn<QStringList>("recordedAfter");
        const QString mine = "Merged/mine"; // the user's, named in every case
        const auto row = [&](const char* name, QStringList kept, const QString& reason,
                             const QStringList& left, const QStringList& recorded, Change change) {
            if (!kept.contains(mine))
                kept << mine;
            QTest::newRow(name) << change << kept << reason << left << recorded;
        };
        const QString added = "不是安装程序放入的", modified = "已被修改", replaced = "已被替换";
        const QString fresh = "Titles.localized/Fresh/", media = fresh + "Media/";
        const QStringList none, aLeft{"Fresh", "Fresh/a"}, aRecorded{fresh, fresh + "a"};
        row("unchanged", {}, added, none, none, [](Installed&) {});
        row("file added", {"Fresh/Media/new"}, added, {"Fresh", "Fresh/Media", "Fresh/Media/new"},
            {fresh, media}, [](Installed& e) { e.writeFile(e.file("Fresh/Media/new"), "n"); });
        row("content changed, time kept", {"Fresh/a"}, modified, aLeft, aRecorded,
            [](Installed& e) {
                const auto a = e.file("Fresh/a").toStdString();
                const auto time = stdfs::last_write_time(a);
                e.writeFile(e.file("Fresh/a"), "changed");
                stdfs::last_write_time(a, time);
            });
        row("time changed", {"Fresh/a"}, modified, aLeft, aRecorded,
            [](Installed& e) { ageFiles(e.file("Fresh/a")); });
        row("replaced by an equal file", {"Fresh/a"}, replaced, aLeft, aRecorded, [](Installed& e) {
            const QString copy = e.writeFile(e.file("Fresh/copy"), "aaa");
            const auto target = e.file("Fresh/a").toStdString();
            stdfs::last_write_time(copy.toStdString(), stdfs::last_write_time(target));
            stdfs::rename(copy.toStdString(), target);
        });
        // Made before the old one goes, which would free its inode for reuse.
        row("link pointed elsewhere", {"Fresh/Media/link"}, replaced,
            {"Fresh", "Fresh/Media", "Fresh/Media/link"}, {fresh, media, media + "link"},
            [](Installed& e) {
                const auto link = e.file("Fresh/Media/link").toStdString();
                stdfs::create_symlink("m", link + "2");
                stdfs::rename(link + "2", link);
            });
        row("deleted", {"Fresh/a"}, "已不存在", none, none,
            [](Installed& e) { QFile::remove(e.file("Fresh/a")); });
        row("same size, same second", {"Fresh/a"}, modified, aLeft, aRecorded, [](Installed& e) {
            struct stat st;
            const QByteArray a = QFile::encodeName(e.file("Fresh/a"));
            QVERIFY(::lstat(a.constData(), &st) == 0);
            const timespec times[2] = {st.st_atim, {st.st_mtim.tv_sec, st.st_mtim.tv_nsec ^ 1}};
            QVERIFY(::utimensat(AT_FDCWD, a.constData(), times, AT_SYMLINK_NOFOLLOW) == 0);
        });
        // A line a killed writer cut short, then one taking an entry back.
        row("the journal of a killed run", {"Fresh/a"}, added, aLeft, {fresh}, [](Installed& e) {
            QFile journal(e.location.journalPath());
            QVERIFY(journal.open(QIODevice::Append));
            journal.write("\n{\"path\":\"Titles.localized/Fresh/a\",\"type\":\"fi\n"
                          "{\"forget\":\"Titles.localized/Fresh/a\"}\n");
        });
        // Changed in place, then written over by the pack: the user's now, not the record's.
        row("changed, then installed over", {"Fresh/a"}, added, aLeft, {fresh}, [](Installed& e) {
            e.writeFile(e.file("Fresh/a"), "changed");
            ageFiles(e.file("Fresh/a"));
            e.install({"Fresh"});
        });
        // A folder the user made where the installer's was: theirs, even empty.
        row("a recorded folder made anew", {"Fresh/Media/link", "Fresh/Media/m"}, "已不存在",
            {"Fresh", "Fresh/Media"}, {fresh}, [](Installed& e) {
                const auto media = e.file("Fresh/Media").toStdString();
                stdfs::rename(media, e.path("old").toStdString()); // its inode kept from reuse
                e.makeDir(e.file("Fresh/Media"));
            });
        row("a killed run's temporaries", {}, added, none, none, [](Installed& e) {
            const QString name = ".orvo-tmp-" + QString(32, u'0');
            e.writeFile(e.installed("Titles.localized/" + name + "/a"), "a");
            e.writeFile(e.file("Fresh/Media/" + name), "m");
        });
        // Files the user had before, one with the pack's bytes and time, one the pack wrote
        // over, in a folder of theirs: all theirs still, and so is the folder.
        row("the user's files installed over", {mine, "Other/x", "Other/z"}, added,
            {"Other", "Other/x", "Other/z"}, none, [](Installed& e) {
                const QString x = e.writeFile(e.file("Other/x"), "x");
                stdfs::last_write_time(
                    x.toStdString(),
                    stdfs::last_write_time((e.resourcePath() + "/Titles/Other/x").toStdString()));
                e.writeFile(e.file("Other/z"), "the user's z");
                e.install({"Other"});
            });
        // Nothing of the user's left in their folder: it stays all the same, as does the kind
        // folder.
        QTest::newRow("the user's folder emptied")
            << Change([](Installed& e) { QFile::remove(e.file("Merged/mine")); }) << QStringList()
            << QString() << none << none;
    }
    void uninstallRemovesOnlyWhatIsUnchanged() {
        QFETCH(Change, change);
        QFETCH(QStringList, kept);
        QFETCH(QString, reason);
        QFETCH(QStringList, left);
        QFETCH(QStringList, recordedAfter);
        Installed e;
        QCOMPARE(e.recorded().size(), 9); // 6 files and links, 3 folders
        change(e);
        const QStringList before = treeListing(e.homePath());
        const QByteArray manifest = contentOf(e.location.path);
        const UninstallReport dry = uninstallRecorded(*e.fs, e.location, true);
        QCOMPARE(treeListing(e.homePath()), before);
        QCOMPARE(contentOf(e.location.path), manifest);

        const UninstallReport report = uninstallRecorded(*e.fs, e.location, false);
        QVERIFY2(report.ok(), qPrintable(report.refused ? report.refused->description() : ""));
        QCOMPARE(dry.removed, report.removed);
        QCOMPARE(dry.removedFolders, report.removedFolders);
        QCOMPARE(dry.kept, report.kept);
        for (QString& path : kept)
            path = e.file(path);
        QCOMPARE(keptPaths(report), kept);
        QVERIFY2(report.kept.value(0).contains(reason), qPrintable(report.kept.value(0)));
        const QStringList after = treeListing(e.homePath());
        for (const QString& line : e.baseline)
            QVERIFY2(after.contains(line) || (kept.isEmpty() && !line.endsWith('/')),
                     qPrintable(line));
        QVERIFY(QFileInfo(e.installed("Titles.localized")).isDir());
        checkLeftAndRecorded(e, left, recordedAfter);
    }

    // An untrusted record removes nothing, naming the file; links out are never followed.
    void untrustedManifestRemovesNothing_data() {
        QTest::addColumn<Change>("tamper");
        QTest::addColumn<bool>("refused");
        const auto row = [](const char* name, bool refused, Change tamper) {
            QTest::newRow(name) << tamper << refused;
        };
        const auto edit = [](std::function<void(QJsonObject&)> edit) {
            return Change([edit](Installed& e) { e.editManifest(edit); });
        };
        row("missing", true, [](Installed& e) { QFile::remove(e.location.path); });
        row("not JSON", true,
            [](Installed& e) { e.writeFile(e.location.path, "{\"format\": 1,"); });
        row("size as text", true, edit([](QJsonObject& root) {
                QJsonArray entries = root["entries"].toArray();
                QJsonObject first = entries[0].toObject();
                first["size"] = "3";
                entries[0] = first;
                root["entries"] = entries;
            }));
        row("later format", true,
            edit([](QJsonObject& root) { root["format"] = manifestFormatVersion + 1; }));
        row("folders in format 1", true, edit([](QJsonObject& root) { root["format"] = 1; }));
        row("format 0", true, edit([](QJsonObject& root) {
                QJsonArray files;
                for (const QJsonValue& entry : root["entries"].toArray())
                    if (entry["type"] != "folder")
                        files << entry;
                root["format"] = 0;
                root["entries"] = files;
            }));
        row("other bundle", true,
            edit([](QJsonObject& root) { root["bundleId"] = "com.example.other"; }));
        row("other templates folder", true,
            edit([](QJsonObject& root) { root["templatesFolder"] = "/Users/else/Movies"; }));
        row("entry with ..", true, [](Installed& e) {
            e.addEntry("Titles.localized/Fresh/../../../../../outside/o", e.path("outside/o"));
        });
        row("entry outside the kind folders", true, [](Installed& e) {
            const QString mine = e.writeFile(e.installed("Compositions.localized/Mine/c"), "c");
            e.addEntry("Compositions.localized/Mine/c", mine);
        });
        row("entry right in a kind folder", true, [](Installed& e) {
            e.addEntry("Titles.localized/loose", e.writeFile(e.file("loose"), "l"));
        });
        row("absolute entry", true,
            [](Installed& e) { e.addEntry(e.path("outside/o"), e.path("outside/o")); });
        row("folder now a link out", false, [](Installed& e) {
            stdfs::rename(e.file("Fresh").toStdString(), e.path("outside/Fresh").toStdString());
            stdfs::create_symlink(e.path("outside/Fresh").toStdString(),
                                  e.file("Fresh").toStdString());
        });
        // Its folders emptied there: still nothing is removed on the far side of the link.
        row("folder now a link out, emptied", false, [](Installed& e) {
            const auto out = e.path("outside/Fresh").toStdString();
            stdfs::rename(e.file("Fresh").toStdString(), out);
            stdfs::remove(out + "/Media/m");
            stdfs::remove(out + "/Media/link");
            stdfs::create_symlink(out, e.file("Fresh").toStdString());
        });
    }
    void untrustedManifestRemovesNothing() {
        QFETCH(Change, tamper);
        QFETCH(bool, refused);
        Installed e;
        tamper(e);
        const QStringList home = treeListing(e.homePath());
        const QStringList outside = treeListing(e.path("outside"));
        const QByteArray manifest = contentOf(e.location.path);
        const UninstallReport report = uninstallRecorded(*e.fs, e.location, false);
        QCOMPARE(treeListing(e.path("outside")), outside);
        QCOMPARE(bool(report.refused), refused);
        if (refused) {
            QVERIFY2(report.refused->description().contains(e.location.path),
                     qPrintable(report.refused->description()));
            QVERIFY(report.removed.isEmpty() && report.removedFolders.isEmpty());
            QCOMPARE(treeListing(e.homePath()), home);
            QCOMPARE(contentOf(e.location.path), manifest);
        } else {
            QCOMPARE(report.kept.size(), 5); // and the user's own file
            for (const QString& line : report.kept.mid(0, 4))
                QVERIFY2(line.contains("链接"), qPrintable(line));
            QVERIFY(QFileInfo(e.file("Fresh")).isSymLink());
            QCOMPARE(e.recorded().size(), 5); // and the folder beyond the link
        }
    }

    // A kind folder away (an unmounted volume) keeps its record for later.
    void aMissingKindFolderKeepsItsRecord() {
        Installed e;
        const auto titles = e.installed("Titles.localized").toStdString();
        stdfs::rename(titles, titles + "-away");
        const QByteArray manifest = contentOf(e.location.path);
        const UninstallReport away = uninstallRecorded(*e.fs, e.location, false);
        QVERIFY(away.ok() && away.removed.isEmpty() && away.removedFolders.isEmpty());
        QCOMPARE(contentOf(e.location.path), manifest);
        stdfs::rename(titles + "-away", titles);
        const UninstallReport back = uninstallRecorded(*e.fs, e.location, false);
        QCOMPARE(back.removed.size(), 6);
        checkLeftAndRecorded(e, {}, {});
    }

    // Installing again records each path once and keeps a trusted record; after an untrusted
    // one, nothing already there is claimed.
    void reinstallReplacesEntries_data() {
        QTest::addColumn<bool>("corrupt");
        QTest::newRow("trusted record") << false;
        QTest::newRow("corrupt record") << true;
    }
    void reinstallReplacesEntries() {
        QFETCH(bool, corrupt);
        Installed e;
        if (corrupt)
            e.writeFile(e.location.path, "[]");
        e.writeResourceFile("Titles/Fresh/a", "newer"); // written again
        e.install({"Fresh"});
        QCOMPARE(bool(e.discarded), corrupt);
        const QStringList recorded = e.recorded();
        const UninstallReport report = uninstallRecorded(*e.fs, e.location, false);
        if (corrupt) {
            QVERIFY(report.refused && report.removed.isEmpty());
            return;
        }
        QCOMPARE(recorded.size(), 9);
        QCOMPARE(QSet<QString>(recorded.begin(), recorded.end()).size(), 9);
        QVERIFY(report.ok());
        QCOMPARE(report.kept.size(), 1); // the user's file in Merged
        QCOMPARE(report.removed.size(), 6);
        QCOMPARE(treeListing(e.homePath()), e.baseline);
    }

    // A second installer waiting for the lock finds the journal folded into the record.
    void theRecordIsCompleteWhenTheLockGoes() {
        Engine e;
        WatchedLocks fs(e.homePath(), e.dataPath());
        const ManifestLocation location = e.recordLocation();
        InstallSteps steps(fs, e.output(), location);
        QByteArray record;
        fs.released = [&] {
            QVERIFY(!QFileInfo::exists(location.journalPath()));
            record = contentOf(location.path);
        };
        QVERIFY(steps.tryLock().value());
        for (const QString name : {"A", "B"}) {
            e.writeResourceFile("Titles/" + name + "/f");
            const auto plan = steps.installer().plan(e.resourcePath() + "/Titles/" + name,
                                                     FolderType::titles, name);
            QVERIFY(!steps.execute(plan.value(), nullptr, {}));
        }
        QVERIFY(QFileInfo::exists(location.journalPath()));
        steps.unlock();
        QVERIFY(!steps.recordFailure());
        for (const char* path : {"A\"", "A/f\"", "B\"", "B/f\""})
            QVERIFY2(record.contains(QByteArray("\"Titles.localized/") + path), path);
    }

    // A removal that fails is named; its entry stays recorded and its folders stay.
    void failedRemovalStaysRecorded_data() {
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QStringList>("recordedAfter");
        const QString fresh = "Titles.localized/Fresh/";
        QTest::newRow("file") << "Fresh/a" << QStringList{"Fresh", "Fresh/a"}
                              << QStringList{fresh, fresh + "a"};
        QTest::newRow("folder") << "Fresh/Media" << QStringList{"Fresh", "Fresh/Media"}
                                << QStringList{fresh, fresh + "Media/"};
    }
    void failedRemovalStaysRecorded() {
        QFETCH(QString, refused);
        QFETCH(QStringList, left);
        QFETCH(QStringList, recordedAfter);
        Installed e;
        e.fs->failOn("removeFile", refused);
        e.fs->failOn("removeEmptyFolder", refused);
        const UninstallReport report = uninstallRecorded(*e.fs, e.location, false);
        QCOMPARE(report.failed.size(), 1);
        QCOMPARE(report.failed[0].description(),
                 refused.endsWith("/a") ? "injected removeFile" : "injected removeEmptyFolder");
        checkLeftAndRecorded(e, left, recordedAfter);
    }
};

QTEST_GUILESS_MAIN(ManifestTest)
#include "tst_manifest.moc"
