// Installing a pack again over its own installation: what is read, what is replaced.
#include "support/EngineSupport.h"

#include <QtTest>

#include <filesystem>
#include <sys/stat.h>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;
namespace fs = std::filesystem;

namespace {

enum class Change { none, editedInPlace, sameSizeAndTime, olderSameBytes, mode, link };

const fs::file_time_type packTime = fs::file_time_type::clock::now() - std::chrono::hours(48);

} // namespace

class Reinstall : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void onlyChangedFilesAreRead_data() {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("compareBytes");
        QTest::addColumn<bool>("refuseClones");
        QTest::addColumn<QByteArray>("result"); // of the installed file
        QTest::addColumn<bool>("read");         // its content was read (compared, copied, cloned)
        // Kept, with the same inode: nothing of it was read. Edited in place: a newer time,
        // whatever the size. Same size and time: the quick check's blind spot, and the option
        // that closes it.
        const std::tuple<const char*, Change, bool, bool, const char*, bool> rows[] = {
            {"unchanged", Change::none, false, false, "pack-1", false},
            {"unchanged, bytes compared", Change::none, true, false, "pack-1", true},
            {"edited in place", Change::editedInPlace, false, false, "pack-1", true},
            {"edited in place, clones refused", Change::editedInPlace, false, true, "pack-1", true},
            {"same size and time", Change::sameSizeAndTime, false, false, "user-1", false},
            {"same size and time, bytes compared", Change::sameSizeAndTime, true, false, "pack-1",
             true},
            {"older, same bytes", Change::olderSameBytes, false, false, "pack-1", true},
            {"other mode", Change::mode, false, false, "pack-1", true},
            {"a link in its place", Change::link, false, false, "pack-1", true}};
        for (const auto& [tag, change, compareBytes, refuseClones, result, read] : rows)
            QTest::newRow(tag) << change << compareBytes << refuseClones << QByteArray(result)
                               << read;
    }

    void onlyChangedFilesAreRead() {
        QFETCH(Change, change);
        QFETCH(bool, compareBytes);
        QFETCH(bool, refuseClones);
        QFETCH(QByteArray, result);
        QFETCH(bool, read);
        Engine e;
        const QString folder = e.installed("Titles.localized/T");
        const QString target = folder + "/a.moti";
        for (const auto& [name, content] : {std::pair{"a.moti", "pack-1"}, {"b.moti", "pack-2"}})
            for (const QString& file : {e.writeResourceFile(QString("Titles/T/") + name, content),
                                        e.writeFile(folder + '/' + name, content)})
                fs::last_write_time(file.toStdString(), packTime);
        const fs::path installed = target.toStdString();
        if (change == Change::editedInPlace || change == Change::sameSizeAndTime)
            e.writeFile(target, "user-1");
        if (change == Change::sameSizeAndTime)
            fs::last_write_time(installed, packTime);
        if (change == Change::olderSameBytes)
            fs::last_write_time(installed, packTime - std::chrono::hours(1));
        if (change == Change::mode)
            fs::permissions(installed, fs::perms::owner_exec, fs::perm_options::add);
        if (change == Change::link) {
            fs::remove(installed);
            fs::create_symlink("b.moti", installed);
        }
        struct stat before {};
        ::lstat(target.toUtf8().constData(), &before);
        e.fs->refuseClones = refuseClones;
        e.installer.setCompareBytes(compareBytes);

        const Failure error = e.installer.merge(e.resourcePath() + "/Titles/T", folder);
        QVERIFY2(!error, qPrintable(error ? error->description() : QString()));
        QCOMPARE(treeListing(folder),
                 QStringList({"a.moti = " + e.hex(result), "b.moti = " + e.hex("pack-2")}));
        // The other file, unchanged, is read only when bytes are compared.
        QStringList filesRead;
        for (const QString& line : e.fs->reads)
            filesRead << line.section(' ', 1);
        filesRead.removeDuplicates();
        filesRead.sort();
        QCOMPARE(filesRead, QStringList({"a.moti", "b.moti"}).mid(!read, read + compareBytes));
        if (refuseClones)
            QVERIFY(e.fs->reads.contains("copy a.moti"));
        struct stat after {};
        ::lstat(target.toUtf8().constData(), &after);
        if (!read)
            QCOMPARE(after.st_ino, before.st_ino);
        // Whatever was put in place carries the pack's time, as a copy made by cp -p would.
        if (result == "pack-1" && change != Change::olderSameBytes)
            QVERIFY(fs::last_write_time(installed) == packTime);

        // Again, all in place now: Cancel is heard between unchanged entries, by facts or bytes.
        CancelToken cancel;
        const auto plan = e.installer.plan(e.resourcePath() + "/Titles/T", FolderType::titles, "T");
        const Failure stopped =
            e.installer.execute(plan.value(), &cancel, [&](qint64, qint64) { cancel.cancel(); });
        QVERIFY(stopped && stopped->cancelled());
    }
};

QTEST_GUILESS_MAIN(Reinstall)
#include "tst_reinstall.moc"
