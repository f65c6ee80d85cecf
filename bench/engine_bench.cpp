// engine_bench copy SRC DST   : the copy of a template whose destination does not exist yet
// engine_bench merge SRC DST  : the merge of a template into its existing destination
#include "install/SafeWrite.h"
#include "install/TemplateInstaller.h"
#include "platform/RealFileSystem.h"

#include <cstdio>
#include <cstring>

using namespace Orvoinstaller;

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[1], "copy") != 0 && std::strcmp(argv[1], "merge") != 0)) {
        std::fprintf(stderr, "usage: engine_bench copy|merge SRC DST\n");
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[2]);
    const QString destination = QString::fromLocal8Bit(argv[3]);

    RealFileSystem fs;
    StdoutOutput output;
    TemplateInstaller installer(fs, output);
    // What the run does with a template, with progress counted as the run counts it.
    qint64 files = 0, bytes = 0;
    const TemplateInstaller::Progress progress = [&](qint64 f, qint64 b) {
        files += f;
        bytes += b;
    };
    const Failure error = std::strcmp(argv[1], "copy") == 0
                             ? copyNew(fs, source, destination)
                             : installer.merge(source, destination, nullptr, progress);
    if (error) {
        std::fprintf(stderr, "%s\n", error->description().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
