// Merges generated source trees into generated destinations and checks each result against
// a plain model of what a merge must leave behind.
#include "support/EngineSupport.h"

#include <QtTest>

#include <filesystem>
#include <fstream>
#include <random>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;
namespace fs = std::filesystem;

namespace {

// Few names, so that the two trees share many; "café" both composed and decomposed.
const char* const names[] = {"a",        "b",      "模板", "caf\xC3\xA9", "cafe\xCC\x81",
                             "q\"uo te", ".hidden"};

void grow(std::mt19937& random, const fs::path& folder, int depth) {
    fs::create_directories(folder);
    for (const char* name : names) {
        if (random() % 2)
            continue;
        if (depth > 0 && random() % 2)
            grow(random, folder / name, depth - 1);
        else
            std::ofstream(folder / name) << "content " << random();
    }
}

// Merges `source` into `into` as the merge must; false where a source folder with visible
// entries meets a file, which must fail the merge.
bool modelMerge(const fs::path& source, const fs::path& into) {
    bool clean = true;
    for (const fs::directory_entry& entry : fs::directory_iterator(source)) {
        const fs::path target = into / entry.path().filename();
        if (entry.path().filename().string()[0] == '.') { // hidden
            continue;
        } else if (!entry.is_directory() || !fs::exists(target)) {
            fs::remove_all(target);
            fs::copy(entry.path(), target, fs::copy_options::recursive);
        } else if (fs::is_directory(target)) {
            clean = modelMerge(entry.path(), target) && clean;
        } else {
            for (const fs::directory_entry& inner : fs::directory_iterator(entry.path()))
                clean = clean && inner.path().filename().string()[0] == '.';
        }
    }
    return clean;
}

} // namespace

class RandomMerge : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mergesMatchTheModel() {
        Engine box;
        box.start();
        for (int seed = 1; seed <= 200; ++seed) {
            const std::string seedText = "seed " + std::to_string(seed);
            const QString at = box.path(QString::number(seed));
            const QString src = at + "/src", dst = at + "/dst", due = at + "/due";
            std::mt19937 random(seed);
            const int depth = seed % 10 == 0 ? 4 : 2; // now and then a deep tree
            grow(random, src.toStdString(), depth);
            grow(random, dst.toStdString(), depth);
            fs::copy(dst.toStdString(), due.toStdString(), fs::copy_options::recursive);
            const bool expectClean = modelMerge(src.toStdString(), due.toStdString());
            const QStringList source = treeListing(src), before = treeListing(dst);

            const Status error = box.model->mergeDirectories(src, dst);
            const QStringList after = treeListing(dst), expected = treeListing(due);
            QVERIFY2(error.has_value() != expectClean, seedText.c_str());
            QVERIFY2(!expectClean || after == expected, seedText.c_str());
            // Cut short by a conflict, it loses nothing that the whole merge would keep.
            for (const QString& line : before)
                QVERIFY2(!expected.contains(line) || after.contains(line), seedText.c_str());
            QVERIFY2(treeListing(src) == source, seedText.c_str());
        }
    }
};

QTEST_GUILESS_MAIN(RandomMerge)
#include "tst_merge_random.moc"
