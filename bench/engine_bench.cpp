// engine_bench copy SRC DST   : the copy of an item whose destination does not exist yet
// engine_bench merge SRC DST  : the merge of an item into its existing destination
#include "install/SafeWrite.h"
#include "model/InstallerViewModel.h"
#include "platform/RealFileSystem.h"

#include <cstdio>
#include <cstring>

using namespace Orvoinstaller;

namespace {

// The harness has no event loop; nothing it does waits for a later turn.
class NoQueue : public MainQueue {
public:
    void post(QObject*, std::function<void()>) override {}
};

// Construction's trace of the (absent) resource folder is left out; the merge's is printed.
class LaterOutput : public DiagnosticOutput {
public:
    void line(const QString& text) override {
        if (enabled)
            m_stdout.line(text);
    }
    bool enabled = false;

private:
    StdoutOutput m_stdout;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[1], "copy") != 0 && std::strcmp(argv[1], "merge") != 0)) {
        std::fprintf(stderr, "usage: engine_bench copy|merge SRC DST\n");
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[2]);
    const QString destination = QString::fromLocal8Bit(argv[3]);

    Platform platform;
    platform.fileSystem = std::make_shared<RealFileSystem>();
    // No resource folder: construction's scan finds nothing and costs nothing.
    platform.bundle = std::make_shared<FixedBundle>(
        std::nullopt, QStringLiteral("/nonexistent/x.app"), std::nullopt);
    platform.mainQueue = std::make_shared<NoQueue>();
    auto output = std::make_shared<LaterOutput>();
    platform.output = output;
    auto model = std::make_shared<InstallerViewModel>(platform);
    output->enabled = true;

    // The run's own choice between the two.
    const Status error = std::strcmp(argv[1], "copy") == 0
                             ? copyNew(*platform.fileSystem, source, destination)
                             : model->mergeDirectories(source, destination);
    if (error) {
        std::fprintf(stderr, "%s\n", error->description.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
