#pragma once

#include "platform/Platform.h"
#include "ui/ContentView.h"

#include <QIcon>
#include <QWidget>

#include <functional>
#include <memory>

namespace Orvoinstaller {

// The one window: the main view, never smaller than 900 by 550 of content.
class InstallerWindow : public QWidget {
    Q_OBJECT

public:
    InstallerWindow(std::shared_ptr<InstallerViewModel> viewModel, UiServices services,
                    QWidget* parent = nullptr);
    ContentView* contentView() const { return m_contentView; }

    static constexpr int minimumContentWidth = 900;
    static constexpr int minimumContentHeight = 550;

protected:
    void changeEvent(QEvent* event) override;

private:
    Branding m_branding;
    ContentView* m_contentView;
};

// The application: opens the window and runs the event loop. Closing the window while an
// installation runs lets the run finish before the program ends.
class PluginInstallerApp {
public:
    // `windowIcon`, when given, is asked for the icon of the windows once the application
    // exists.
    static int main(int argc, char* argv[],
                    const std::function<QIcon(const Platform&)>& windowIcon = {});
    // Calls `quit` once `window` is gone and no run goes on any more: a run still going when
    // the window closes ends as it would have, its script included.
    static void quitWhenDone(QWidget* window, const std::shared_ptr<InstallerViewModel>& viewModel,
                             std::function<void()> quit);
    // The application-wide settings the window is made for. Call once, after the
    // QApplication exists; main() does.
    static void configure();
};

} // namespace Orvoinstaller
