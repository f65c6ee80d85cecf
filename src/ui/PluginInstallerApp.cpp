#include "ui/PluginInstallerApp.h"

#include "model/InstallerViewModel.h"
#include "platform/Language.h"

#include <QApplication>
#include <QEvent>
#include <QVBoxLayout>

namespace Orvoinstaller {

InstallerWindow::InstallerWindow(std::shared_ptr<InstallerViewModel> viewModel, UiServices services,
                                 QWidget* parent)
    : QWidget(parent), m_branding(services.branding) {
    setWindowTitle(ContentView::displayName(m_branding));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_contentView = new ContentView(std::move(viewModel), std::move(services), this);
    m_contentView->setMinimumSize(minimumContentWidth, minimumContentHeight);
    layout->addWidget(m_contentView);
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

int PluginInstallerApp::main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configure();
    Language::useSystemPreference();

    auto viewModel = std::make_shared<InstallerViewModel>();
    auto* window = new InstallerWindow(viewModel, UiServices::real(viewModel->platform().branding));
    window->setAttribute(Qt::WA_DeleteOnClose);

    auto quitWhenIdle = [viewModel] {
        if (!viewModel->isInstalling())
            QCoreApplication::quit();
    };
    QObject::connect(window, &QObject::destroyed, &app, [&app, viewModel, quitWhenIdle] {
        quitWhenIdle();
        // Checked once each announced change has been stored.
        QObject::connect(viewModel.get(), &InstallerViewModel::objectWillChange, &app,
                         [&app, quitWhenIdle] {
                             QMetaObject::invokeMethod(&app, quitWhenIdle, Qt::QueuedConnection);
                         });
    });
    window->show();
    return app.exec();
}

} // namespace Orvoinstaller
