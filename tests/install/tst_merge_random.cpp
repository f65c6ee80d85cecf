// Merges many generated source trees into generated destinations and checks the result
// against a model of what a merge must leave behind.
#include "model/InstallerViewModel.h"
#include "support/TestPlatform.h"

#include <QtTest>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;
namespace fs = std::filesystem;

namespace {

struct Node {
    bool isDir = false;
    std::string content;
    std::map<std::string, Node> children;
    bool operator==(const Node&) const = default;
};

bool hidden(const std::string& name) { return !name.empty() && name[0] == '.'; }

// Names that collide often between the two trees, in both Unicode normal forms.
const std::vector<std::string> namePool = {
    "a", "b", "Media", "模板", "caf\xC3\xA9",     // café, composed
    "cafe\xCC\x81",                               // café, decomposed
    "with space", "q\"uote", "back\\slash", ".hidden", ".DS_Store",
};

class Generator {
public:
    explicit Generator(unsigned seed) : m_rng(seed) {}

    int upTo(int n) { return std::uniform_int_distribution<int>(0, n)(m_rng); }
    bool chance(int percent) { return upTo(99) < percent; }
    const std::string& name() { return namePool[upTo(int(namePool.size()) - 1)]; }

    Node file() {
        Node node;
        node.content = "content-" + std::to_string(m_rng());
        return node;
    }

    Node tree(int depth) {
        Node node;
        node.isDir = true;
        const int count = upTo(depth > 0 ? 4 : 2);
        for (int i = 0; i < count; ++i)
            node.children[name()] = depth > 0 && chance(40) ? tree(depth - 1) : file();
        return node;
    }

    // A destination that shares names with `source`: same kind, the other kind, or its own.
    Node destinationFor(const Node& source, int depth, bool allowConflicts) {
        Node node = tree(depth > 0 ? depth - 1 : 0);
        for (const auto& [name, child] : source.children) {
            if (!chance(60))
                continue;
            if (child.isDir) {
                if (allowConflicts && chance(35))
                    node.children[name] = file();  // a file where a folder must go
                else
                    node.children[name] = destinationFor(child, depth - 1, allowConflicts);
            } else {
                node.children[name] = chance(30) ? tree(0) : file();  // folder or file replaced
            }
        }
        return node;
    }

private:
    std::mt19937 m_rng;
};

void write(const fs::path& path, const Node& node) {
    if (!node.isDir) {
        std::ofstream(path, std::ios::binary) << node.content;
        return;
    }
    fs::create_directories(path);
    for (const auto& [name, child] : node.children)
        write(path / name, child);
}

Node read(const fs::path& path) {
    Node node;
    if (!fs::is_directory(fs::symlink_status(path))) {
        std::ifstream in(path, std::ios::binary);
        node.content.assign(std::istreambuf_iterator<char>(in), {});
        return node;
    }
    node.isDir = true;
    for (const auto& entry : fs::directory_iterator(path))
        node.children[entry.path().filename().string()] = read(entry.path());
    return node;
}

bool hasVisibleEntries(const Node& node) {
    for (const auto& [name, child] : node.children)
        if (!hidden(name))
            return true;
    return false;
}

// What merging `source` into `destination` must give; false where a conflict forces an error.
bool expectedMerge(const Node& source, Node& destination) {
    bool clean = true;
    for (const auto& [name, child] : source.children) {
        if (hidden(name))
            continue;
        auto existing = destination.children.find(name);
        if (existing == destination.children.end())
            destination.children[name] = child;
        else if (!child.isDir)
            existing->second = child;
        else if (existing->second.isDir)
            clean = expectedMerge(child, existing->second) && clean;
        else if (hasVisibleEntries(child))
            clean = false;
    }
    return clean;
}

// Every entry of `actual` is in `before` or `merged` with one of their contents: nothing
// invented (no temporary entries), nothing corrupted.
void checkPlausible(const Node& actual, const Node& before, const Node& merged,
                    const std::string& where) {
    for (const auto& [name, child] : actual.children) {
        const auto inBefore = before.children.find(name);
        const auto inMerged = merged.children.find(name);
        const bool known = inBefore != before.children.end() || inMerged != merged.children.end();
        QVERIFY2(known, ("unexpected entry " + where + "/" + name).c_str());
        if (child.isDir)
            continue;
        const bool asBefore = inBefore != before.children.end() && inBefore->second == child;
        const bool asMerged = inMerged != merged.children.end() && inMerged->second == child;
        QVERIFY2(asBefore || asMerged, ("corrupted file " + where + "/" + name).c_str());
    }
    // Entries only the destination had are never removed.
    for (const auto& [name, child] : before.children) {
        if (merged.children.contains(name) && merged.children.at(name) != child)
            continue;
        QVERIFY2(actual.children.contains(name), ("lost entry " + where + "/" + name).c_str());
    }
}

} // namespace

class RandomMerge : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mergesMatchTheModel() {
        Sandbox box;
        auto queue = std::make_shared<ManualQueue>();
        auto vm = std::make_shared<InstallerViewModel>(box.platform(queue));
        int clean = 0, conflicted = 0;

        for (unsigned seed = 1; seed <= 300; ++seed) {
            Generator gen(seed);
            const Node source = gen.tree(4);
            const Node before = gen.destinationFor(source, 4, /*allowConflicts=*/seed % 2 == 0);
            const fs::path root = fs::path(box.root().toStdString()) / ("case" + std::to_string(seed));
            write(root / "src", source);
            write(root / "dst", before);

            Node expected = before;
            const bool expectClean = expectedMerge(source, expected);
            const Status status = vm->mergeDirectories(QString::fromStdString((root / "src").string()),
                                                       QString::fromStdString((root / "dst").string()));
            const Node actual = read(root / "dst");
            const std::string label = "seed " + std::to_string(seed);

            if (expectClean) {
                ++clean;
                QVERIFY2(!status, (label + ": " + (status ? status->description.toStdString() : "")).c_str());
                QVERIFY2(actual == expected, (label + ": merged tree differs from the model").c_str());
            } else {
                ++conflicted;
                QVERIFY2(status.has_value(), (label + ": a conflict went unreported").c_str());
                QVERIFY(!status->description.isEmpty());
                checkPlausible(actual, before, expected, label);
            }
            QCOMPARE(read(root / "src"), source);  // the source is never touched
        }
        qInfo("%d clean merges, %d with conflicts", clean, conflicted);
        QVERIFY(clean > 150);
        QVERIFY(conflicted > 20);
    }
};

QTEST_GUILESS_MAIN(RandomMerge)
#include "tst_merge_random.moc"
