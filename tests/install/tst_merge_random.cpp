// Random source and destination trees, merged and compared with a plain model.
#include "support/EngineSupport.h"

#include <QtTest>

#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;
namespace fs = std::filesystem;

namespace {

// Few names, so that the two trees share many; "café" both composed and decomposed.
const char* const names[] = {"a",        "b",      "模板", "caf\xC3\xA9", "cafe\xCC\x81",
                             "q\"uo te", ".hidden"};

enum class Side { pack, installed };

// Files, folders, now and then a FIFO or a link (in the installation, to a folder outside).
void grow(std::mt19937& random, const fs::path& folder, int depth, Side side,
          const fs::path& outside) {
    fs::create_directories(folder);
    for (const char* name : names) {
        if (random() % 2)
            continue;
        const fs::path path = folder / name;
        const unsigned kind = random() % 12;
        if (depth > 0 && kind < 5) {
            grow(random, path, depth - 1, side, outside);
        } else if (kind == 5) {
            ::mkfifo(path.c_str(), 0644);
        } else if (kind == 6) {
            fs::create_directory_symlink(side == Side::pack ? fs::path("elsewhere") : outside,
                                         path);
        } else {
            std::ofstream(path) << "content " << random() % 3; // equal now and then
            if (kind == 7)
                fs::permissions(path, fs::perms::owner_exec, fs::perm_options::add);
        }
    }
}

// A copy of a tree as it stands, FIFOs and links included (std::filesystem stops at FIFOs).
void replicate(const fs::path& from, const fs::path& to) {
    const fs::file_status status = fs::symlink_status(from);
    if (fs::is_symlink(status)) {
        fs::copy_symlink(from, to);
    } else if (fs::is_directory(status)) {
        fs::create_directory(to);
        for (const fs::directory_entry& entry : fs::directory_iterator(from))
            replicate(entry.path(), to / entry.path().filename());
    } else if (fs::is_regular_file(status)) {
        fs::copy_file(from, to);
    } else {
        ::mkfifo(to.c_str(), 0644);
    }
}

bool hidden(const fs::path& path) {
    return path.filename().string()[0] == '.';
}

// True when a tree holds anything but files, folders and links.
bool holdsOther(const fs::path& path) {
    const fs::file_status status = fs::symlink_status(path);
    if (fs::is_directory(status)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(path))
            if (holdsOther(entry.path()))
                return true;
        return false;
    }
    return !fs::is_regular_file(status) && !fs::is_symlink(status);
}

// The merge as it must be; false where it must fail, leaving such entries as they are.
bool modelMerge(const fs::path& source, const fs::path& into) {
    bool clean = true;
    for (const fs::directory_entry& entry : fs::directory_iterator(source)) {
        const fs::path target = into / entry.path().filename();
        const fs::file_status from = fs::symlink_status(entry.path());
        const fs::file_status to = fs::symlink_status(target);
        const bool plainTarget = fs::is_regular_file(to) || fs::is_symlink(to);
        if (hidden(entry.path()))
            continue;
        const bool plainSource = fs::is_regular_file(from) || fs::is_symlink(from);
        if ((!plainSource && !fs::is_directory(from)) ||
            (fs::exists(to) && !plainTarget && !fs::is_directory(to))) {
            clean = false; // never opened, never copied
        } else if (!fs::exists(to)) {
            if (holdsOther(entry.path()))
                clean = false;
            else
                replicate(entry.path(), target);
        } else if (fs::is_directory(from)) {
            if (fs::is_directory(to))
                clean = modelMerge(entry.path(), target) && clean;
            else if (fs::is_symlink(to))
                clean = false; // never written through
            else
                for (const fs::directory_entry& inner : fs::directory_iterator(entry.path()))
                    clean = clean && hidden(inner.path());
        } else if (fs::is_directory(to)) {
            clean = false; // a folder is never replaced
        } else {
            fs::remove(target);
            replicate(entry.path(), target);
        }
    }
    return clean;
}

} // namespace

class RandomMerge : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mergesMatchTheModel() {
        Watchdog watchdog(240, "a merge of FIFOs");
        Engine box;
        box.start();
        for (int seed = 1; seed <= 200; ++seed) {
            const std::string seedText = "seed " + std::to_string(seed);
            const QString at = box.path(QString::number(seed));
            const QString src = at + "/src", dst = at + "/dst", due = at + "/due";
            const QString outside =
                box.writeFile(at + "/outside/theirs", "theirs").section('/', 0, -2);
            std::mt19937 random(seed);
            const int depth = seed % 10 == 0 ? 4 : 2; // now and then a deep tree
            grow(random, src.toStdString(), depth, Side::pack, outside.toStdString());
            grow(random, dst.toStdString(), depth, Side::installed, outside.toStdString());
            ageFiles(dst);
            replicate(dst.toStdString(), due.toStdString());
            const bool expectClean = modelMerge(src.toStdString(), due.toStdString());
            const QStringList source = treeListing(src), before = treeListing(dst);

            const Failure error = box.installer.merge(src, dst);
            const QStringList after = treeListing(dst), expected = treeListing(due);
            QVERIFY2(error.has_value() != expectClean, seedText.c_str());
            QVERIFY2(!expectClean || after == expected, seedText.c_str());
            // Cut short by a conflict, it loses nothing that the whole merge would keep.
            for (const QString& line : before)
                QVERIFY2(!expected.contains(line) || after.contains(line),
                         qPrintable(QString::fromStdString(seedText) + " lost " + line));
            QVERIFY2(treeListing(src) == source, seedText.c_str());
            QVERIFY2(treeListing(outside) == QStringList{"theirs = " + box.hex("theirs")},
                     seedText.c_str());
        }
    }
};

QTEST_GUILESS_MAIN(RandomMerge)
#include "tst_merge_random.moc"
