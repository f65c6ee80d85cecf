// Times the window at scale: start-up to the first painted window (beside a bare window of
// the same size), and applying one keystroke in a name field. Not part of the application.
//
//   ui_bench startup PACK     exits right after the installer window's first paint
//   ui_bench bare             the same for an empty window of the same size
//   ui_bench bare-text        the same with one line of text in it
//   ui_bench keystroke PACK HOME
//                             prints how long one keystroke takes to reach the screen, with
//                             the templates installed in HOME; each key flips the first row
//                             between new folder and merge
#include "model/InstallerViewModel.h"
#include "support/FindWidget.h"
#include "support/FixedBundle.h"
#include "ui/ContentView.h"
#include "ui/FolderList.h"
#include "ui/PluginInstallerApp.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

// Quits the application at the first paint inside the watched window: its own, or that of a
// child that covers it whole, as the installer's scrolling content does.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_painted && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == m_window) {
            m_painted = true;
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget* m_window;
    bool m_painted = false;
};

class NullOutput : public DiagnosticOutput {
public:
    void line(const QString&) override {}
};

std::shared_ptr<InstallerViewModel> modelFor(const QString& pack, bool quiet,
                                             const QString& home = {}) {
    return std::make_shared<InstallerViewModel>(
        Platform::real({.home = home,
                        .bundle = std::make_shared<FixedBundle>(
                            QStringLiteral("bench"), pack + QStringLiteral("/bench.app"), pack),
                        .output = quiet ? std::make_shared<NullOutput>() : nullptr}));
}

int startup(const QString& pack) {
    QElapsedTimer clock;
    clock.start();
    auto model = modelFor(pack, false);
    const qint64 scanned = clock.nsecsElapsed();
    InstallerWindow window(
        model, UiServices::real(model->platform().branding, model->platform().fileSystem));
    const qint64 built = clock.nsecsElapsed();
    FirstPaint filter(&window);
    window.show();
    const int status = qApp->exec();
    if (qEnvironmentVariableIsSet("UI_BENCH_STAGES"))
        std::fprintf(stderr, "scan %.1f ms, build %.1f ms, show and paint %.1f ms\n", scanned / 1e6,
                     (built - scanned) / 1e6, (clock.nsecsElapsed() - built) / 1e6);
    return status;
}

// With `text`, the bare window shows one line of Chinese, so that it pays for the font
// set-up that any window with text pays.
int bare(bool text) {
    QWidget window;
    if (text)
        (new QLabel(QStringLiteral("插件安装工具"), &window))->move(20, 20);
    window.setMinimumSize(InstallerWindow::minimumContentWidth,
                          InstallerWindow::minimumContentHeight);
    FirstPaint filter(&window);
    window.show();
    return qApp->exec();
}

int keystroke(const QString& pack, const QString& home) {
    auto model = modelFor(pack, true, home);
    if (model->folderItems().isEmpty())
        return 1;
    // The first row's name is not installed, with an "a" after it it is.
    const FolderItem& first = model->folderItems().first();
    const QString kindFolder = model->destinationPath(first.type) + QLatin1Char('/');
    QDir(kindFolder + first.newName).removeRecursively();
    QDir().mkpath(kindFolder + first.newName + QLatin1Char('a'));
    InstallerWindow window(
        model, UiServices::real(model->platform().branding, model->platform().fileSystem));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    // The installed folders are listed on the worker; time the keys once they are known.
    if (!QTest::qWaitFor([&] { return !(model->installedFolders() == InstalledFolders()); }))
        std::fprintf(stderr, "no installed folders under %s\n", qPrintable(home));
    ContentView* view = window.contentView();
    FolderRow* row = part::folderListPanel(view)->list()->revealRow(0);
    QLineEdit* field = row->nameField();
    field->setFocus();
    field->end(false); // the key appends "a" to the name
    QCoreApplication::processEvents();

    std::vector<double> times;
    int flips = 0;
    for (int i = 0; i < 300; ++i) {
        const QString shown = row->stateIndicator()->toolTip();
        QElapsedTimer timer;
        timer.start();
        // The row is redrawn within the key's own handling; anything it posted runs here.
        QTest::keyClick(field, i % 2 ? Qt::Key_Backspace : Qt::Key_A);
        QCoreApplication::processEvents();
        times.push_back(timer.nsecsElapsed() / 1e6);
        flips += row->stateIndicator()->toolTip() != shown;
    }
    std::sort(times.begin(), times.end());
    std::printf("keystroke with %lld rows: median %.3f ms, p95 %.3f ms, max %.3f ms\n",
                static_cast<long long>(model->folderItems().size()), times[times.size() / 2],
                times[times.size() * 95 / 100], times.back());
    std::printf("  %d of %zu keys flipped the row between new folder and merge\n", flips,
                times.size());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 2 && args[1] == QLatin1String("bare"))
        return bare(false);
    if (args.size() == 2 && args[1] == QLatin1String("bare-text"))
        return bare(true);
    PluginInstallerApp::configure();
    if (args.size() == 3 && args[1] == QLatin1String("startup"))
        return startup(args[2]);
    if (args.size() == 4 && args[1] == QLatin1String("keystroke"))
        return keystroke(args[2], args[3]);
    std::fprintf(stderr, "usage: ui_bench startup PACK | bare | bare-text | keystroke PACK HOME\n");
    return 2;
}
