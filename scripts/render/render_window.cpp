// Renders the installer window to PNG files: the demo pack at start, empty resources,
// during a run, the completion alert, the location sheet, forty templates and a failure
// alert, the uninstall's confirmation; in Chinese and in English, in
// the light and in the dark appearance, one sub-folder each ("zh-light", "en-dark", ...).
// Usage: render-window <pack folder> <output folder>
#include "model/InstallerViewModel.h"
#include "platform/Language.h"
#include "platform/RealFileSystem.h"
#include "support/FindWidget.h"
#include "support/FixedBundle.h"
#include "support/ManualQueue.h"
#include "ui/Buttons.h"
#include "ui/ContentView.h"
#include "ui/FolderList.h"
#include "ui/LocationSheet.h"
#include "ui/PluginInstallerApp.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <condition_variable>
#include <mutex>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

class NoChooser : public FolderChooser {
public:
    std::optional<QString> chooseFolder(const QString&) override { return std::nullopt; }
};

class NoOpener : public UrlOpener {
public:
    bool open(const QUrl&) override { return true; }
};

// The disk as it is, but a copy can be held part way: the demo pack copies in an instant, and
// the run's picture must show the bar as a multi-gigabyte pack keeps it.
class HeldCopies : public RealFileSystem {
public:
    using RealFileSystem::RealFileSystem;

    // The next copy, once `bytes` are given, reports them as done and waits for release().
    void holdNextCopy() { m_armed = true; }
    void showDone(std::int64_t bytes) {
        std::lock_guard lock(m_mutex);
        m_shown = bytes;
        m_changed.notify_all();
    }
    void release() {
        std::lock_guard lock(m_mutex);
        m_armed = false;
        m_released = true;
        m_changed.notify_all();
    }

    Failure copyItem(const QString& from, const QString& to,
                     const CopyProgress& progress = {}) override {
        std::unique_lock lock(m_mutex);
        if (!m_armed || !progress)
            return RealFileSystem::copyItem(from, to, progress);
        m_armed = false;
        m_changed.wait(lock, [&] { return m_shown > 0 || m_released; });
        std::int64_t credit = m_released ? 0 : m_shown;
        if (credit > 0)
            progress(0, credit);
        m_changed.wait(lock, [&] { return m_released; });
        lock.unlock();
        // What was shown ahead is not counted twice.
        return RealFileSystem::copyItem(from, to, [&](std::int64_t files, std::int64_t bytes) {
            const std::int64_t taken = std::min(credit, bytes);
            credit -= taken;
            return progress(files, bytes - taken);
        });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_armed = false;
    bool m_released = false;
    std::int64_t m_shown = 0;
};

class Scene {
public:
    // A bundle whose resource folder is a copy of `pack` (or empty when `pack` is empty), and
    // a home where `installed` (kind folder/name) is installed already.
    explicit Scene(const QString& pack, const QStringList& installed = {}) {
        m_resources = m_dir.filePath(QStringLiteral("Installer.app/Contents/Resources"));
        QDir().mkpath(m_resources);
        QDir().mkpath(m_dir.filePath(QStringLiteral("home")));
        for (const QString& folder : installed)
            QDir().mkpath(
                m_dir.filePath(QStringLiteral("home/Movies/Motion Templates.localized/") + folder));
        QDir().mkpath(m_dir.filePath(QStringLiteral("fonts")));
        if (!pack.isEmpty())
            QProcess::execute(QStringLiteral("cp"),
                              {QStringLiteral("-R"), pack + QStringLiteral("/."), m_resources});
        Platform platform =
            Platform::real({.home = m_dir.filePath(QStringLiteral("home")),
                            .bundle = std::make_shared<FixedBundle>(
                                QStringLiteral("com.orvo.plugininstaller"),
                                m_dir.filePath(QStringLiteral("Installer.app")), m_resources),
                            .mainQueue = m_queue,
                            .fontsFolder = m_dir.filePath(QStringLiteral("fonts"))});
        platform.userFontsFolder = m_dir.filePath(QStringLiteral("home/Library/Fonts"));
        platform.fileSystem = m_files =
            std::make_shared<HeldCopies>(m_dir.filePath(QStringLiteral("home")));
        m_viewModel = std::make_shared<InstallerViewModel>(platform);
        m_window = std::make_unique<InstallerWindow>(
            m_viewModel, UiServices{std::make_shared<NoChooser>(), std::make_shared<NoOpener>()});
        m_window->resize(InstallerWindow::minimumContentWidth,
                         InstallerWindow::minimumContentHeight);
        m_window->show();
        settle();
        // The rows tell new from merge once the worker has listed the installed folders.
        if (!installed.isEmpty() &&
            !stepUntil([&] { return !(m_viewModel->installedFolders() == InstalledFolders()); }))
            QTextStream(stderr) << "the installed folders were never listed\n";
    }

    // Runs every posted step and lets the window render.
    void settle() {
        do {
            QApplication::processEvents();
        } while (m_queue->runOne());
        QApplication::processEvents();
    }

    // Steps until `done` holds; false when the work ran out first.
    template <typename Done> bool stepUntil(Done done) {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            QApplication::processEvents();
            if (!m_queue->runOne() && timer.elapsed() > 20000)
                return false;
        }
        QApplication::processEvents();
        QApplication::processEvents();
        return true;
    }

    ContentView* view() const { return m_window->contentView(); }
    QWidget* window() const { return m_window.get(); }
    QString homePath() const { return m_dir.filePath(QStringLiteral("home")); }
    InstallerViewModel& model() const { return *m_viewModel; }
    HeldCopies& files() const { return *m_files; }

    QImage picture(QWidget* overlay = nullptr, bool atTop = false) const {
        QImage image = m_window->grab().toImage();
        if (overlay) {
            QPainter painter(&image);
            const QImage top = overlay->grab().toImage();
            const int x = (image.width() - top.width()) / 2;
            const int y = atTop ? 0 : (image.height() - top.height()) / 3;
            painter.fillRect(image.rect(), QColor(0, 0, 0, 40));
            painter.fillRect(QRect(x - 1, y - 1, top.width() + 2, top.height() + 2),
                             QColor(0, 0, 0, 90));
            painter.drawImage(x, y, top);
        }
        return image;
    }

private:
    QTemporaryDir m_dir;
    QString m_resources;
    std::shared_ptr<ManualQueue> m_queue = std::make_shared<ManualQueue>();
    std::shared_ptr<HeldCopies> m_files;
    std::shared_ptr<InstallerViewModel> m_viewModel;
    std::unique_ptr<InstallerWindow> m_window;
};

bool save(const QImage& image, const QString& folder, const QString& name) {
    const QString path = QDir(folder).filePath(name);
    const bool saved = image.save(path);
    QTextStream(stderr) << (saved ? "wrote " : "could not write ") << path << '\n';
    return saved;
}

// The window's colours in macOS's dark appearance: text fields a shade lighter than the
// window, as its bezeled fields are drawn there.
QPalette darkPalette() {
    const QColor window(0x2B, 0x2B, 0x2B);
    const QColor text(0xDF, 0xDF, 0xDF);
    const QColor accent(0x0A, 0x84, 0xFF);
    QPalette palette(text, QColor(0x4A, 0x4A, 0x4A), QColor(0x5E, 0x5E, 0x5E),
                     QColor(0x1A, 0x1A, 0x1A), QColor(0x3A, 0x3A, 0x3A), text, QColor(Qt::white),
                     QColor(0x3A, 0x3A, 0x3A), window);
    palette.setColor(QPalette::PlaceholderText, QColor(0x98, 0x98, 0x9D));
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, QColor(Qt::white));
    palette.setColor(QPalette::AlternateBase, QColor(0x32, 0x32, 0x32));
    palette.setColor(QPalette::ToolTipBase, QColor(0x3A, 0x3A, 0x3A));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Link, accent);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        QColor dimmed = palette.color(role);
        dimmed.setAlphaF(0.35);
        palette.setColor(QPalette::Disabled, role, dimmed);
    }
    return palette;
}

// Every main state of the window, into `out`.
bool renderStates(const QString& pack, const QString& out) {
    QDir().mkpath(out);
    // One template of the pack is installed already: its row is merged, the others are new.
    const QStringList installed{QStringLiteral("Titles.localized/Lower Third")};
    bool ok = true;

    {
        Scene scene(pack, installed);
        ok &= save(scene.picture(), out, QStringLiteral("1-demo-pack.png"));
    }
    {
        Scene scene(QString{});
        ok &= save(scene.picture(), out, QStringLiteral("2-empty-resources.png"));
    }
    {
        Scene scene(pack, installed);
        // The first copy is held at 42 % of the pack, until the run can estimate what is left.
        scene.files().holdNextCopy();
        part::installButton(scene.view())->click();
        bool midRun = scene.stepUntil([&] {
            return scene.model().isInstalling() && scene.model().runProgress().bytesTotal > 0;
        });
        scene.files().showDone(scene.model().runProgress().bytesTotal * 42 / 100);
        midRun &= scene.stepUntil([&] { return part::timeLeft(scene.view())->isVisible(); });
        if (!midRun)
            QTextStream(stderr) << "the run never showed the time left\n";
        ok &= midRun && save(scene.picture(), out, QStringLiteral("3-during-run.png"));
        scene.files().release();
        bool alerted = scene.stepUntil([&] { return part::alert(scene.view()) != nullptr; });
        // Behind the alert the rows merge into what the run installed, once it is listed.
        alerted &= scene.stepUntil([&] {
            const InstallerViewModel& model = scene.model();
            return !model.isInstalling() &&
                   std::all_of(model.folderItems().begin(), model.folderItems().end(),
                               [&](const FolderItem& item) {
                                   return destinationState(model.installedFolders(), item.type,
                                                           item.newName) == DestinationState::merge;
                               });
        });
        ok &= alerted &&
              save(scene.picture(part::alert(scene.view())), out, QStringLiteral("4-alert.png"));
    }
    {
        // Forty templates: the filter shows, a long name is cut, a hidden one is refused.
        QTemporaryDir many;
        QProcess::execute(QStringLiteral("cp"),
                          {QStringLiteral("-R"), pack + QStringLiteral("/."), many.path()});
        for (int i = 1; i <= 37; ++i) {
            const QString folder = many.filePath(QStringLiteral("Titles/Title %1").arg(i));
            QDir().mkpath(folder);
            // Some bring the editor's preview picture: a plain gradient stands in for one.
            if (i % 2 == 0) {
                QImage picture(160, 90, QImage::Format_RGB32);
                QPainter painter(&picture);
                QLinearGradient fill(0, 0, 160, 90);
                fill.setColorAt(0, QColor::fromHsv(i * 9 % 360, 160, 230));
                fill.setColorAt(1, QColor::fromHsv((i * 9 + 120) % 360, 200, 120));
                painter.fillRect(picture.rect(), fill);
                painter.end();
                picture.save(folder + QStringLiteral("/small.png"));
            }
        }
        Scene scene(many.path(), installed);
        const auto& items = scene.model().folderItems();
        scene.model().renameTemplate(
            items[1].id, QStringLiteral("A name much longer than the field it is typed in"));
        scene.model().renameTemplate(items[2].id, QStringLiteral(".hidden"));
        scene.window()->resize(scene.window()->width(), scene.window()->height() + 160);
        scene.settle();
        // The previews come from the worker.
        scene.stepUntil([&] {
            return part::folderListPanel(scene.view())
                ->list()
                ->revealRow(4)
                ->preview()
                ->isVisible();
        });
        ok &= save(scene.picture(), out, QStringLiteral("6-forty-templates.png"));
    }
    {
        // A file where the effects' kind folder belongs: that template fails, and says why.
        Scene scene(pack, installed);
        QFile blocker(scene.homePath() +
                      QStringLiteral("/Movies/Motion Templates.localized/Effects.localized"));
        blocker.open(QIODevice::WriteOnly);
        blocker.close();
        part::installButton(scene.view())->click();
        const bool alerted = scene.stepUntil(
            [&] { return part::alert(scene.view()) != nullptr && !scene.model().isInstalling(); });
        ok &= alerted && save(scene.picture(part::alert(scene.view())), out,
                              QStringLiteral("7-failure-alert.png"));
    }
    {
        // After a run, the uninstall's confirmation: what would go, what would stay and why.
        Scene scene(pack, installed);
        part::installButton(scene.view())->click();
        bool asked = scene.stepUntil([&] { return part::alert(scene.view()) != nullptr; });
        scene.model().dismissInstallationAlert();
        scene.model().refreshInstalledFolders();
        asked &= scene.stepUntil([&] {
            return find<QPushButton>(scene.view(), ContentView::tr("卸载已安装的模板…"))
                ->isEnabled();
        });
        // A file of the user's own among the installed ones: kept, and said why.
        QFile notes(scene.homePath() + QStringLiteral("/Movies/Motion Templates.localized/"
                                                      "Titles.localized/Lower Third/my-notes.txt"));
        notes.open(QIODevice::WriteOnly);
        notes.close();
        find<QPushButton>(scene.view(), ContentView::tr("卸载已安装的模板…"))->click();
        asked &= scene.stepUntil([&] { return part::uninstallAlert(scene.view()) != nullptr; });
        ok &= asked && save(scene.picture(part::uninstallAlert(scene.view())), out,
                            QStringLiteral("8-uninstall-confirmation.png"));
    }
    {
        Scene scene(pack, installed);
        find<QPushButton>(scene.view(), ContentView::tr("插件位置"))->click();
        scene.settle();
        ok &= part::sheet(scene.view()) != nullptr &&
              save(scene.picture(part::sheet(scene.view()), true), out,
                   QStringLiteral("5-sheet.png"));
    }
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    PluginInstallerApp::configure();
    if (argc < 3) {
        QTextStream(stderr) << "usage: render-window <pack folder> <output folder>\n";
        return 2;
    }
    const QString pack = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    const QPalette light = QApplication::palette();
    const struct {
        const char* folder;
        const char* language;
        bool dark;
    } looks[] = {{"zh-light", "", false},
                 {"zh-dark", "", true},
                 {"en-light", "en", false},
                 {"en-dark", "en", true}};
    bool ok = true;
    for (const auto& look : looks) {
        ok &= Language::use(QString::fromLatin1(look.language));
        QApplication::setPalette(look.dark ? darkPalette() : light);
        ok &= renderStates(pack, QDir(out).filePath(QString::fromLatin1(look.folder)));
    }
    return ok ? 0 : 1;
}
