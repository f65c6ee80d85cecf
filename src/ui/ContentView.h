#pragma once

#include "base/Branding.h"
#include "platform/FolderChooser.h"
#include "platform/UrlOpener.h"
#include "ui/LocationSheet.h"
#include "ui/ViewRules.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

namespace Orvoinstaller {

class FolderListPanel;
class InstallButton;
class InstallerViewModel;

class PlainButton;

// The services of the window that reach the system, and the brand it shows: tests replace
// them.
struct UiServices {
    std::shared_ptr<FolderChooser> folderChooser;
    std::shared_ptr<UrlOpener> openURL; // the system's open-address action
    Branding branding = Branding::defaults();

    // The system's services, with the brand the running bundle gives (Platform::branding).
    static UiServices real(Branding branding, std::shared_ptr<const FileReader> fileSystem);
};

// The main view. It shows the state object and nothing else: every change the object
// announces schedules one re-render on the next turn of the event loop, which updates the
// widgets in place from the current values.
class ContentView : public QWidget {
    Q_OBJECT

public:
    ContentView(std::shared_ptr<InstallerViewModel> viewModel, UiServices services,
                QWidget* parent = nullptr);
    ~ContentView() override;

    const std::shared_ptr<InstallerViewModel>& viewModel() const { return m_viewModel; }

    // Hands an address (a web page, a folder) to the system's default handler; an alert
    // says when there is none or it refuses.
    void openURL(const QUrl& url);

    // The maker's site, opened by the release-address footnote.
    QUrl releaseAddress() const { return m_services.branding.makerUrl; }
    // The window's title and heading: the maker's display name, in the user's language when
    // it is the default one.
    static QString displayName(const Branding& branding);

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildMainColumn();
    void retranslate();
    void retranslateAlert();
    // The fixed colours, in their variants for the current appearance.
    void applyColors();
    void buildFooter();

    void scheduleRender();
    void render();
    void renderProgress(const ViewRules& rules);
    void presentSheet(bool presented);
    void presentAlert(bool presented);
    void presentUninstall(bool presented);
    QString uninstallMessage() const;

    std::shared_ptr<InstallerViewModel> m_viewModel;
    UiServices m_services;
    bool m_renderPending = false;
    quint64 m_shownGeneration = ~quint64(0); // of the list the panel shows

    QWidget* m_column = nullptr;
    QWidget* m_footer = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_emptyState = nullptr;
    FolderListPanel* m_panel = nullptr;
    QLabel* m_status = nullptr;
    QFrame* m_divider = nullptr;
    InstallButton* m_install = nullptr;
    QPushButton* m_cancel = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_timeLeft = nullptr;
    QPushButton* m_fonts = nullptr;
    QPushButton* m_location = nullptr;
    QPushButton* m_uninstall = nullptr;
    PlainButton* m_tutorial = nullptr;
    PlainButton* m_releaseLink = nullptr;
    QLabel* m_credit = nullptr;
    QLabel* m_note = nullptr;
    QLabel* m_version = nullptr;
    std::optional<QString> m_picture; // the location picture for the window's language
    QPointer<LocationSheet> m_sheet;
    QPointer<QMessageBox> m_alert;
    QPointer<QMessageBox> m_uninstallAlert;
    QPointer<QMessageBox> m_openFailure;
    bool m_uninstallShowsDryRun = false;
};

} // namespace Orvoinstaller
