#include "ui/PluginInstallerApp.h"

#include "model/InstallerViewModel.h"
#include "platform/Language.h"

#include <QApplication>
#include <QEvent>
#include <QScrollArea>
#include <QVBoxLayout>

namespace Orvoinstaller {

InstallerWindow::InstallerWindow(std::shared_ptr<InstallerViewModel> viewModel, UiServices services,
                                 QWidget* parent)
    : QWidget(parent), m_branding(services.branding) {
    setWindowTitle(ContentView::displayName(m_branding));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // Where the system's fonts and controls are larger than the window was laid out for, the
    // content scrolls rather than being squeezed.
    auto* scroller = new QScrollArea(this);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setFocusPolicy(Qt::NoFocus); // not a stop of its own
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setWidgetResizable(true);
    scroller->setMinimumSize(minimumContentWidth, minimumContentHeight);
    m_contentView = new ContentView(std::move(viewModel), std::move(services), scroller);
    scroller->setWidget(m_contentView);
    layout->addWidget(scroller);
}

void InstallerWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        setWindowTitle(ContentView::displayName(m_branding));
    // Folders may have been added or removed in the Finder meanwhile.
    else if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_contentView->viewModel()->refreshInstalledFolders();
}

void PluginInstallerApp::configure() {
    QApplication::setApplicationName(QStringLiteral("PluginInstaller"));
    // The window's closing must not end a run that is still going.
    QApplication::setQuitOnLastWindowClosed(false);
    // Text as macOS draws it: outlines unhinted, placed at their design metrics. Where
    // FreeType renders, this also spares hinting every glyph of every size at start-up.
    QFont font = QApplication::font();
    font.setHintingPreference(QFont::PreferNoHinting);
    QApplication::setFont(font);
}

void PluginInstallerApp::quitWhenDone(QWidget* window,
                                      const std::shared_ptr<InstallerViewModel>& viewModel,
                                      std::function<void()> quit) {
    // Weak: the run alone decides how long the state object lives.
    const std::weak_ptr<InstallerViewModel> watched = viewModel;
    auto asked = std::make_shared<bool>(false); // quit once only
    auto quitWhenIdle = [watched, asked, quit = std::move(quit)] {
        const auto model = watched.lock();
        if (*asked || (model && model->isInstalling()))
            return;
        *asked = true;
        quit();
    };
    QObject::connect(
        window, &QObject::destroyed, QCoreApplication::instance(), [watched, quitWhenIdle] {
            quitWhenIdle();
            const auto model = watched.lock();
            if (!model)
                return;
            // Checked once each announced change has been stored.
            QObject::connect(model.get(), &InstallerViewModel::objectWillChange,
                             QCoreApplication::instance(), [quitWhenIdle] {
                                 QMetaObject::invokeMethod(QCoreApplication::instance(),
                                                           quitWhenIdle, Qt::QueuedConnection);
                             });
        });
}

int PluginInstallerApp::main(int argc, char* argv[],
                             const std::function<QIcon(const Platform&)>& windowIcon) {
    QApplication app(argc, argv);
    configure();
    Language::useSystemPreference();

    auto viewModel = std::make_shared<InstallerViewModel>();
    if (windowIcon)
        QApplication::setWindowIcon(windowIcon(viewModel->platform()));
    auto* window =
        new InstallerWindow(viewModel, UiServices::real(viewModel->platform().branding,
                                                        viewModel->platform().fileSystem));
    window->setAttribute(Qt::WA_DeleteOnClose);
    quitWhenDone(window, viewModel, [] { QCoreApplication::quit(); });
    window->show();
    return app.exec();
}

} // namespace Orvoinstaller
