// Measures how long the window's thread goes unanswered while a large template installs:
// the longest gap between two turns of the event loop, from the press of the install button
// to the completion alert. Not part of the application.
//
//   stall_bench HOME RESOURCES   installs RESOURCES' templates into HOME, prints the gaps
#include "model/InstallerViewModel.h"
#include "platform/QtProcessRunner.h"
#include "platform/RealFileSystem.h"
#include "support/FindWidget.h"
#include "support/FixedBundle.h"
#include "ui/Buttons.h"
#include "ui/ContentView.h"
#include "ui/PluginInstallerApp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

class NullOutput : public DiagnosticOutput {
public:
    void line(const QString&) override {}
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    PluginInstallerApp::configure();
    if (argc != 3) {
        std::fprintf(stderr, "usage: stall_bench HOME RESOURCES\n");
        return 2;
    }
    Platform platform;
    platform.fileSystem = std::make_shared<RealFileSystem>(QString::fromLocal8Bit(argv[1]));
    platform.bundle = std::make_shared<FixedBundle>(
        std::nullopt, QStringLiteral("/nonexistent.app"), QString::fromLocal8Bit(argv[2]));
    platform.mainQueue = std::make_shared<QtMainQueue>();
    platform.output = std::make_shared<NullOutput>();
    platform.processRunner = std::make_shared<QtProcessRunner>();
    platform.worker = std::make_shared<Worker>();
    auto model = std::make_shared<InstallerViewModel>(platform);
    InstallerWindow window(model, UiServices::real(platform.branding, platform.fileSystem));
    window.show();

    // A zero-interval timer fires once per turn of the event loop.
    std::vector<qint64> gaps;
    QElapsedTimer sinceLast, total;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &app, [&] {
        gaps.push_back(sinceLast.nsecsElapsed());
        sinceLast.restart();
        if (model->showInstallationAlert())
            app.quit();
    });
    QTimer::singleShot(200, &app, [&] {
        total.start();
        sinceLast.start();
        tick.start(0);
        part::installButton(window.contentView())->click();
    });
    app.exec();
    if (gaps.empty())
        return 1;
    std::sort(gaps.begin(), gaps.end());
    const auto ms = [](qint64 ns) { return static_cast<double>(ns) / 1e6; };
    std::printf("run %.0f ms, %zu turns, gap median %.2f ms, 99th %.2f ms, longest %.2f ms\n",
                ms(total.nsecsElapsed()), gaps.size(), ms(gaps[gaps.size() / 2]),
                ms(gaps[gaps.size() * 99 / 100]), ms(gaps.back()));
    return model->installationSummary().failedCount == 0 ? 0 : 1;
}
