// record_bench install HOME PACK : one run installing every template of PACK into HOME, which
//                                  records each file it puts in place
// record_bench uninstall HOME    : the uninstall of what that run recorded
// The record lives in HOME's own data folder, never the user's. Prints the
// time taken; peak memory is measured from outside.
#include "discovery/Discovery.h"
#include "install/Installation.h"
#include "install/Manifest.h"
#include "install/TemplateInstaller.h"
#include "platform/RealFileSystem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>
#include <cstring>

using namespace Orvoinstaller;

namespace {

struct Silent : DiagnosticOutput {
    void line(const QString&) override {}
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("PluginInstaller"));
    const bool install = argc == 4 && std::strcmp(argv[1], "install") == 0;
    if (!install && !(argc == 3 && std::strcmp(argv[1], "uninstall") == 0)) {
        std::fprintf(stderr, "usage: record_bench install HOME PACK | uninstall HOME\n");
        return 2;
    }
    const QString home = QString::fromLocal8Bit(argv[2]);
    auto output = std::make_shared<Silent>();
    const Platform platform = Platform::real({.home = home, .output = output});
    QElapsedTimer clock;
    if (!install) {
        clock.start();
        const UninstallReport report = uninstallRecorded(
            *platform.fileSystem, manifestLocation(*platform.fileSystem, *platform.bundle), false);
        std::printf("uninstall: %.3f s, %lld files and %lld folders removed, %lld kept, %lld "
                    "failed\n",
                    clock.nsecsElapsed() / 1e9, static_cast<long long>(report.removed.size()),
                    static_cast<long long>(report.removedFolders.size()),
                    static_cast<long long>(report.kept.size()),
                    static_cast<long long>(report.failed.size()));
        return report.ok() ? 0 : 1;
    }
    const PackContents pack =
        scanPack(*platform.fileSystem, QString::fromLocal8Bit(argv[3]), *output);
    const Installation::Owned run(
        new Installation(platform, pack.templates, {false, false, false}));
    InstallationReport report;
    QEventLoop loop;
    QObject::connect(run.get(), &Installation::finished, &loop,
                     [&](const InstallationReport& done) {
                         report = done;
                         loop.quit();
                     });
    clock.start();
    run->start();
    loop.exec();
    std::printf("install: %.3f s, %lld templates\n", clock.nsecsElapsed() / 1e9,
                static_cast<long long>(report.templates.size()));
    return report.succeeded() ? 0 : 1;
}
