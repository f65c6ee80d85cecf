#include "ui/ContentView.h"

#include "model/InstallerViewModel.h"
#include "ui/Buttons.h"
#include "ui/FolderList.h"
#include "ui/LocationSheet.h"
#include "ui/Style.h"
#include "ui/SystemServices.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace Orvoinstaller {

namespace {

constexpr int columnWidth = 480;
constexpr int columnSpacing = 16;
constexpr int emptyStateHeight = 100;

void setTextIfChanged(QLabel* label, const QString& text) {
    if (label->text() != text)
        label->setText(text);
}

void setTextIfChanged(QAbstractButton* button, const QString& text) {
    if (button->text() != text)
        button->setText(text);
}

void setColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

QLabel* footnote(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFont(Style::font(Style::TextRole::footnote));
    label->setAlignment(Qt::AlignHCenter);
    setColor(label, Style::systemGray());
    return label;
}

// Long paths wrap after a separator, never inside a name: a zero-width space after each "/"
// is a break opportunity that draws nothing, and a word joiner after each "-" takes away the
// one line breaking would otherwise find there.
QString breakablePath(QString text) {
    return text.replace(QLatin1Char('/'), QStringLiteral("/\u200B"))
        .replace(QLatin1Char('-'), QStringLiteral("-\u2060"));
}

// Wraps `child` with padding; the wrapper takes no focus and draws nothing.
QWidget* padded(QWidget* child, int left, int top, int right, int bottom) {
    auto* wrapper = new QWidget;
    auto* layout = new QVBoxLayout(wrapper);
    layout->setContentsMargins(left, top, right, bottom);
    layout->addWidget(child);
    return wrapper;
}

} // namespace

UiServices UiServices::real(Branding branding, std::shared_ptr<const FileReader> fileSystem) {
    return {std::make_shared<FileDialogFolderChooser>(std::move(fileSystem)),
            std::make_shared<DesktopUrlOpener>(), std::move(branding)};
}

ContentView::ContentView(std::shared_ptr<InstallerViewModel> viewModel, UiServices services,
                         QWidget* parent)
    : QWidget(parent), m_viewModel(std::move(viewModel)), m_services(std::move(services)) {
    buildMainColumn();
    buildFooter();

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    // Both blocks keep their own height, centred in whatever the window gives.
    root->addStretch(1);
    root->addWidget(m_column, 0, Qt::AlignHCenter);
    root->addWidget(m_footer, 0, Qt::AlignHCenter);
    root->addStretch(1);

    connect(m_viewModel.get(), &InstallerViewModel::objectWillChange, this,
            &ContentView::scheduleRender);
    // The run may have installed folders into which the rows now merge.
    connect(m_viewModel.get(), &InstallerViewModel::installationFinished, this,
            [this] { m_viewModel->refreshInstalledFolders(); });
    retranslate();
    applyColors();
    render();
    m_viewModel->refreshInstalledFolders();
}

void ContentView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        render();
    } else if (event->type() == QEvent::PaletteChange) {
        applyColors();
    }
}

void ContentView::applyColors() {
    setColor(m_status, Style::systemBlue());
    setColor(m_divider, Style::separator(0.35));
    for (QPushButton* button : {m_cancel, m_fonts, m_location, m_uninstall}) {
        QPalette palette = button->palette();
        palette.setColor(QPalette::Disabled, QPalette::ButtonText, Style::disabledButtonText());
        button->setPalette(palette);
    }
}

void ContentView::retranslate() {
    m_title->setText(displayName(m_services.branding));
    m_emptyState->setText(tr("没有可用的插件文件夹"));
    m_progress->setAccessibleName(tr("安装进度"));
    m_cancel->setText(tr("取消安装"));
    m_fonts->setText(tr("安装字体"));
    m_location->setText(tr("插件位置"));
    m_uninstall->setText(tr("卸载已安装的模板…"));
    m_tutorial->setText(tr("使用教程"));
    const Branding& brand = m_services.branding;
    m_credit->setText(tr("模板设计与制作：%1").arg(brand.makerName));
    m_releaseLink->setText(tr("最新版本发布于 %1").arg(brand.makerUrl.host()));
    m_version->setText(tr("版本 %1").arg(brand.version));
    m_note->setText(tr("点击安装插件将自动安装到用户目录-影片-Motion templates文件夹") +
                    QLatin1Char('\n') + tr("模板内置的字体仅供演示和学习 商用请自行解决版权问题"));
    // The English window shows the English picture when the pack has one.
    const auto& platform = m_viewModel->platform();
    m_picture = platform.fileSystem
                    ? LocationSheet::picture(*platform.fileSystem, platform.bundle->resourcePath())
                    : std::nullopt;
    if (m_alert)
        retranslateAlert();
}

void ContentView::retranslateAlert() {
    m_alert->setWindowTitle(m_viewModel->installationAlertTitle());
    m_alert->setText(m_viewModel->installationAlertTitle());
    m_alert->setInformativeText(breakablePath(m_viewModel->installationAlertMessage()));
    const QList<QAbstractButton*> buttons = m_alert->buttons();
    for (QAbstractButton* button : buttons)
        button->setText(m_alert->buttonRole(button) == QMessageBox::ActionRole
                            ? tr("在 Finder 中显示")
                            : tr("确定"));
}

ContentView::~ContentView() {
    // Modal windows first, while the view they report to is still whole.
    delete m_openFailure.data();
    delete m_uninstallAlert.data();
    delete m_alert.data();
    delete m_sheet.data();
}

QString ContentView::displayName(const Branding& branding) {
    // The default name has its translations; a maker's own is shown as given.
    static const char* const defaultName = QT_TR_NOOP("插件安装工具");
    const QByteArray name = branding.displayName.toUtf8();
    return name == defaultName ? tr(defaultName) : branding.displayName;
}

void ContentView::buildMainColumn() {
    m_column = new QWidget(this);
    // Object names find the parts whose text changes or that have none to read.
    m_column->setObjectName(QStringLiteral("mainColumn"));
    m_column->setFixedWidth(columnWidth);
    auto* column = new QVBoxLayout(m_column);
    const int padding = Style::defaultPadding();
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(columnSpacing);

    m_title = new QLabel(m_column);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->setFont(Style::font(Style::TextRole::headline));
    m_title->setContentsMargins(0, 8, 0, 0);
    column->addWidget(m_title, 0, Qt::AlignHCenter);

    m_emptyState = new QLabel(m_column);
    m_emptyState->setObjectName(QStringLiteral("emptyState"));
    m_emptyState->setFixedHeight(emptyStateHeight);
    m_emptyState->setAlignment(Qt::AlignCenter);
    m_emptyState->setForegroundRole(QPalette::PlaceholderText);
    column->addWidget(m_emptyState, 0, Qt::AlignHCenter);

    const Platform& platform = m_viewModel->platform();
    const auto& fileSystem = platform.fileSystem;
    m_panel = new FolderListPanel(m_services.folderChooser,
                                  fileSystem ? fileSystem->homeDirectory() : QString(), fileSystem,
                                  platform.worker, m_column);
    m_panel->setObjectName(QStringLiteral("folderList"));
    column->addWidget(m_panel);
    connect(
        m_panel, &FolderListPanel::nameEdited, this,
        [this](const QUuid& id, const QString& name) { m_viewModel->renameTemplate(id, name); });
    connect(m_viewModel.get(), &InstallerViewModel::templateRenamed, this,
            [this](int index) { m_panel->list()->itemChanged(index); });

    // The status line, and under it while a run goes on the bar and the time left: one child
    // of the column, which takes no room while neither shows.
    auto* statusBlock = new QWidget(m_column);
    auto* statusLayout = new QVBoxLayout(statusBlock);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->setSpacing(2);
    m_status = new QLabel(statusBlock);
    m_status->setObjectName(QStringLiteral("statusLine"));
    m_status->setFont(Style::font(Style::TextRole::subheadline));
    m_status->setContentsMargins(0, 4, 0, 4);
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setWordWrap(true);
    statusLayout->addWidget(m_status);

    // Bytes done of the run's total; a tenth of a percent per step.
    auto* progressRow = new QWidget(statusBlock);
    auto* progressLayout = new QHBoxLayout(progressRow);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->setSpacing(8);
    m_progress = new QProgressBar(progressRow);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_progress->setFixedHeight(6);
    progressLayout->addWidget(m_progress, 1, Qt::AlignVCenter);
    m_timeLeft = new QLabel(progressRow);
    m_timeLeft->setObjectName(QStringLiteral("timeLeft"));
    m_timeLeft->setFont(Style::font(Style::TextRole::footnote));
    m_timeLeft->setForegroundRole(QPalette::PlaceholderText);
    progressLayout->addWidget(m_timeLeft);
    statusLayout->addWidget(progressRow);
    for (QWidget* part : {statusBlock, static_cast<QWidget*>(m_status), progressRow,
                          static_cast<QWidget*>(m_timeLeft)})
        part->hide();
    column->addWidget(statusBlock);
    connect(m_viewModel.get(), &InstallerViewModel::runProgressChanged, this,
            [this] { renderProgress(viewRules(*m_viewModel)); });

    m_divider = new QFrame;
    m_divider->setFrameShape(QFrame::HLine);
    m_divider->setFrameShadow(QFrame::Plain);
    column->addWidget(padded(m_divider, 0, 8, 0, 8));

    m_install = new InstallButton;
    m_install->setObjectName(QStringLiteral("installButton"));
    m_install->setIcon(Style::icon(QStringLiteral("square.and.arrow.down"), Style::white()));
    m_cancel = new QPushButton;
    m_cancel->setAutoDefault(false);
    m_cancel->hide();
    auto* installRow = new QWidget;
    auto* installLayout = new QHBoxLayout(installRow);
    installLayout->setContentsMargins(padding, 0, padding, 0);
    installLayout->setSpacing(8);
    installLayout->addWidget(m_install, 1);
    installLayout->addWidget(m_cancel);
    column->addWidget(installRow);
    connect(m_install, &QPushButton::clicked, this,
            [this] { m_viewModel->requestInstallPlugins(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_viewModel->requestCancel(); });

    auto* buttonRow = new QWidget;
    auto* rowLayout = new QHBoxLayout(buttonRow);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(12);
    const auto buttonText = Style::Tint::buttonText;
    m_fonts = new QPushButton(Style::icon(QStringLiteral("textformat"), buttonText), QString());
    m_location = new QPushButton(Style::icon(QStringLiteral("folder"), buttonText), QString());
    for (QPushButton* button : {m_fonts, m_location}) {
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setAutoDefault(false);
        rowLayout->addWidget(button, 1);
    }
    column->addWidget(buttonRow);
    m_uninstall = new QPushButton;
    m_uninstall->setAutoDefault(false);
    connect(m_uninstall, &QPushButton::clicked, this,
            [this] { m_viewModel->requestUninstallPreview(); });
    connect(m_fonts, &QPushButton::clicked, this, [this] { m_viewModel->requestInstallFonts(); });
    connect(m_location, &QPushButton::clicked, this,
            [this] { m_viewModel->setShowingImageAlert(true); });

    m_tutorial = new PlainButton;
    m_tutorial->setIcon(Style::icon(QStringLiteral("questionmark.circle"), Style::Tint::accent));
    // The uninstall at the row's trailing edge, out of the way, the tutorial still centred: a
    // row of its own would push the footer out of a 550-point window during a run.
    auto* tutorialCell = new QWidget;
    auto* tutorialLayout = new QGridLayout(tutorialCell);
    tutorialLayout->setContentsMargins(0, 4, 0, 0);
    tutorialLayout->setColumnStretch(0, 1);
    tutorialLayout->setColumnStretch(2, 1);
    tutorialLayout->addWidget(m_tutorial, 0, 1, Qt::AlignCenter);
    tutorialLayout->addWidget(m_uninstall, 0, 2, Qt::AlignRight | Qt::AlignVCenter);
    column->addWidget(tutorialCell);
    connect(m_tutorial, &QAbstractButton::clicked, this, [this] {
        if (const auto& url = m_viewModel->tutorialURL())
            openURL(*url);
    });
}

void ContentView::openURL(const QUrl& url) {
    if (m_services.openURL->open(url))
        return;
    // Said where it was asked for: the status line belongs to the runs.
    delete m_openFailure.data();
    m_openFailure = new QMessageBox(this);
    m_openFailure->setObjectName(QStringLiteral("openFailureAlert"));
    m_openFailure->setAttribute(Qt::WA_DeleteOnClose);
    m_openFailure->setWindowModality(Qt::WindowModal);
    m_openFailure->setIcon(QMessageBox::Warning);
    const QString text = url.isLocalFile() ? tr("无法打开文件夹") : tr("无法打开网页");
    m_openFailure->setText(text);
    m_openFailure->setAccessibleName(text);
    m_openFailure->setInformativeText(
        breakablePath(url.isLocalFile() ? url.toLocalFile() : url.toDisplayString()));
    m_openFailure->setEscapeButton(m_openFailure->addButton(tr("确定"), QMessageBox::AcceptRole));
    m_openFailure->open();
}

void ContentView::buildFooter() {
    m_footer = new QWidget(this);
    m_footer->setObjectName(QStringLiteral("footer"));
    auto* footer = new QVBoxLayout(m_footer);
    footer->setContentsMargins(20, 0, 20, 10);
    footer->setSpacing(5);

    m_credit = footnote(m_footer);
    footer->addWidget(m_credit, 0, Qt::AlignHCenter);

    auto* nested = new QVBoxLayout;
    nested->setSpacing(5);
    m_releaseLink = new PlainButton(m_footer);
    m_releaseLink->setFont(Style::font(Style::TextRole::footnote));
    m_releaseLink->setUnderline(true);
    nested->addWidget(m_releaseLink, 0, Qt::AlignHCenter);
    connect(m_releaseLink, &QAbstractButton::clicked, this, [this] {
        const QUrl address = releaseAddress();
        if (address.isValid())
            openURL(address);
    });

    m_note = footnote(m_footer);
    nested->addWidget(m_note, 0, Qt::AlignHCenter);
    footer->addLayout(nested);

    m_version = footnote(m_footer);
    m_version->setFont(Style::font(Style::TextRole::caption));
    footer->addWidget(m_version, 0, Qt::AlignHCenter);
}

void ContentView::scheduleRender() {
    if (m_renderPending)
        return;
    m_renderPending = true;
    QMetaObject::invokeMethod(
        this, [this] { render(); }, Qt::QueuedConnection);
}

void ContentView::render() {
    m_renderPending = false;
    const ViewRules rules = viewRules(*m_viewModel);

    m_emptyState->setVisible(!rules.showsFolderList);
    m_panel->setVisible(rules.showsFolderList);
    // A renamed row is drawn on its own (templateRenamed); the list only when it changed.
    if (rules.showsFolderList && m_shownGeneration != m_viewModel->listGeneration()) {
        m_shownGeneration = m_viewModel->listGeneration();
        m_panel->setItems(m_viewModel->folderItems(), m_viewModel->installedFolders(),
                          m_viewModel->rowFailures());
    }
    m_panel->setShowsFilter(rules.showsFilter);

    setTextIfChanged(m_status, rules.statusText);
    m_status->setVisible(rules.showsStatusLine);

    m_install->setBusy(rules.installBusy);
    setTextIfChanged(m_install, rules.installBusy ? tr("正在安装...") : tr("安装插件"));
    m_install->setEnabled(rules.installEnabled);
    m_cancel->setVisible(rules.showsCancel);
    m_cancel->setEnabled(rules.cancelEnabled);
    renderProgress(rules);
    m_fonts->setEnabled(rules.fontsEnabled);
    m_location->setEnabled(rules.locationEnabled);
    m_tutorial->setEnabled(rules.tutorialEnabled);

    m_uninstall->setEnabled(rules.uninstallEnabled);
    presentUninstall(rules.uninstallPresented);
    presentSheet(rules.sheetPresented);
    presentAlert(rules.alertPresented);
}

void ContentView::renderProgress(const ViewRules& rules) {
    m_progress->parentWidget()->setVisible(rules.showsProgress);
    m_status->parentWidget()->setVisible(rules.showsProgress || rules.showsStatusLine);
    if (m_progress->value() != rules.progressPermille)
        m_progress->setValue(rules.progressPermille);
    setTextIfChanged(m_timeLeft, rules.timeLeftText);
    m_timeLeft->setVisible(rules.showsProgress && !rules.timeLeftText.isEmpty());
}

void ContentView::presentSheet(bool presented) {
    if (presented && !m_sheet) {
        std::optional<QByteArray> picture;
        if (const auto& fs = m_viewModel->platform().fileSystem; fs && m_picture)
            if (auto read = fs->readFile(*m_picture))
                picture = std::move(read).value();
        m_sheet = new LocationSheet(picture, this);
        m_sheet->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_sheet, &QDialog::finished, this,
                [this] { m_viewModel->setShowingImageAlert(false); });
        m_sheet->open();
    } else if (!presented && m_sheet && m_sheet->isVisible()) {
        m_sheet->done(QDialog::Rejected);
    }
}

// Each list at most ten lines long: enough to recognise, the rest counted.
static QString listed(const QString& heading, const QStringList& lines) {
    if (lines.isEmpty())
        return {};
    QString text = QStringLiteral("\n\n") + heading;
    for (qsizetype i = 0; i < std::min<qsizetype>(10, lines.size()); ++i)
        text += QLatin1Char('\n') + lines[i];
    if (lines.size() > 10)
        text += QLatin1Char('\n') + ContentView::tr("…还有 %1 个").arg(lines.size() - 10);
    return text;
}

QString ContentView::uninstallMessage() const {
    const UninstallOutcome& outcome = *m_viewModel->uninstallOutcome();
    const UninstallReport& report = outcome.report;
    if (report.refused)
        return report.refused->text.translated();
    const bool dryRun = outcome.dryRun;
    // Paths inside the templates folder, as the user finds them there.
    const QString folder = m_viewModel->templatesFolder() + QLatin1Char('/');
    const auto inside = [&](QString path) { return path.replace(folder, QString()); };

    // The files kept, under one heading per reason; a reason not known here keeps its line.
    struct Reason {
        const char* line; // as the uninstall words it, "%1" for the path
        QString heading;
        QStringList paths = {};
    };
    Reason reasons[] = {
        {"保留 “%1”: 不是安装程序放入的", dryRun ? tr("以下文件不是安装程序放入的，将保留：")
                                                 : tr("以下文件不是安装程序放入的，已保留：")},
        {"保留 “%1”: 安装后已被修改（大小或修改时间不同）",
         dryRun ? tr("以下文件在安装后被修改过（大小或修改时间不同），将保留：")
                : tr("以下文件在安装后被修改过（大小或修改时间不同），已保留：")},
        {"保留 “%1”: 安装后已被替换为另一个项目",
         dryRun ? tr("以下项目在安装后被替换为另一个项目，将保留：")
                : tr("以下项目在安装后被替换为另一个项目，已保留：")},
        {"保留 “%1”: 通往它的文件夹已是链接或不再是文件夹，不会跟随",
         dryRun ? tr("以下文件所在的文件夹已是链接或不再是文件夹，不会跟随，将保留：")
                : tr("以下文件所在的文件夹已是链接或不再是文件夹，不会跟随，已保留：")},
        {"“%1” 已不存在", tr("以下文件已不存在：")},
        {nullptr, dryRun ? tr("以下文件将保留：") : tr("以下文件已保留：")}};
    for (qsizetype i = 0; i < report.kept.size(); ++i) {
        const QString& line = report.kept[i];
        Reason* reason = std::end(reasons) - 1;
        QString shown = inside(report.keptText.value(i).translated());
        for (Reason& known : reasons) {
            const QStringList around =
                QString::fromUtf8(known.line ? known.line : "").split(QStringLiteral("%1"));
            if (around.size() == 2 && line.startsWith(around[0]) && line.endsWith(around[1]) &&
                line.size() >= around[0].size() + around[1].size()) {
                reason = &known;
                shown = inside(
                    line.mid(around[0].size(), line.size() - around[0].size() - around[1].size()));
                break;
            }
        }
        reason->paths << shown;
    }
    QStringList removed = report.removed + report.removedFolders, failed;
    removed.replaceInStrings(folder, QString());
    for (const Error& error : report.failed)
        failed << inside(error.text.translated());

    const QString files = tr("%n 个文件", nullptr, static_cast<int>(report.removed.size()));
    const QString folders =
        tr("%n 个文件夹", nullptr, static_cast<int>(report.removedFolders.size()));
    const QString kept = tr("%n 个文件", nullptr, static_cast<int>(report.kept.size()));
    const QString counts =
        report.kept.isEmpty()
            ? (dryRun ? tr("将移除 %1和 %2。") : tr("已移除 %1和 %2。")).arg(files, folders)
            : (dryRun ? tr("将移除 %1和 %2，保留 %3。") : tr("已移除 %1和 %2，保留 %3。"))
                  .arg(files, folders, kept);
    QString text =
        counts +
        listed(dryRun ? tr("以下文件和文件夹将被移除：") : tr("以下文件和文件夹已移除："), removed);
    for (const Reason& reason : reasons)
        text += listed(reason.heading, reason.paths);
    text += listed(tr("以下文件未能移除："), failed);
    return text + QStringLiteral("\n\n") + tr("已安装的字体不会被卸载。");
}

void ContentView::presentUninstall(bool presented) {
    const bool dryRun = presented && m_viewModel->uninstallOutcome()->dryRun &&
                        !m_viewModel->uninstallOutcome()->report.refused;
    // The confirmation gives way to what was done: another alert.
    if (m_uninstallAlert && (!presented || dryRun != m_uninstallShowsDryRun)) {
        m_uninstallAlert->disconnect(this);
        m_uninstallAlert->done(QDialog::Rejected);
        m_uninstallAlert = nullptr;
    }
    if (!presented || m_uninstallAlert)
        return;
    m_uninstallShowsDryRun = dryRun;
    const UninstallReport& report = m_viewModel->uninstallOutcome()->report;
    m_uninstallAlert = new QMessageBox(this);
    m_uninstallAlert->setObjectName(QStringLiteral("uninstallAlert"));
    m_uninstallAlert->setAttribute(Qt::WA_DeleteOnClose);
    m_uninstallAlert->setWindowModality(Qt::WindowModal);
    m_uninstallAlert->setText(report.refused ? tr("没有可以卸载的模板")
                              : dryRun       ? tr("卸载已安装的模板？")
                                             : tr("卸载完成"));
    m_uninstallAlert->setInformativeText(breakablePath(uninstallMessage()));
    QPushButton* confirm = nullptr;
    if (dryRun) {
        confirm = m_uninstallAlert->addButton(tr("卸载"), QMessageBox::DestructiveRole);
        QPushButton* cancel = m_uninstallAlert->addButton(tr("取消"), QMessageBox::RejectRole);
        m_uninstallAlert->setDefaultButton(cancel);
        m_uninstallAlert->setEscapeButton(cancel);
    } else {
        m_uninstallAlert->setEscapeButton(
            m_uninstallAlert->addButton(tr("确定"), QMessageBox::AcceptRole));
    }
    // Confirmed, the uninstall itself replaces the question.
    connect(m_uninstallAlert, &QDialog::finished, this, [this, confirm] {
        if (confirm && m_uninstallAlert->clickedButton() == confirm)
            m_viewModel->confirmUninstall();
        else
            m_viewModel->dismissUninstall();
    });
    m_uninstallAlert->open();
}

void ContentView::presentAlert(bool presented) {
    if (presented && !m_alert) {
        m_alert = new QMessageBox(this);
        m_alert->setObjectName(QStringLiteral("installationAlert"));
        m_alert->setAttribute(Qt::WA_DeleteOnClose);
        m_alert->setWindowModality(Qt::WindowModal);
        // The title reads as the alert's headline, as on the platform's own alerts.
        if (auto* title = m_alert->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            title->setFont(Style::font(Style::TextRole::headline));
            title->setMinimumWidth(320);
            title->setWordWrap(true);
        }
        QPushButton* ok = m_alert->addButton(QString(), QMessageBox::AcceptRole);
        // "Installed but not showing up": where the templates went, one click away.
        QPushButton* reveal = m_alert->addButton(QString(), QMessageBox::ActionRole);
        connect(reveal, &QPushButton::clicked, this,
                [this] { openURL(QUrl::fromLocalFile(m_viewModel->templatesFolder())); });
        retranslateAlert();
        m_alert->setDefaultButton(ok);
        m_alert->setEscapeButton(ok);
        connect(m_alert, &QDialog::finished, this,
                [this] { m_viewModel->dismissInstallationAlert(); });
        m_alert->open();
    } else if (!presented && m_alert && m_alert->isVisible()) {
        m_alert->done(QDialog::Rejected);
    }
}

} // namespace Orvoinstaller
