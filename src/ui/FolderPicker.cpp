#include "ui/FolderPicker.h"

#include "platform/FileSystem.h"
#include "ui/Style.h"

#include <QEvent>
#include <QMessageBox>

namespace Orvoinstaller {

FolderPicker::FolderPicker(FolderType folderType, std::shared_ptr<FolderChooser> chooser,
                           QString homeDirectory, QWidget* parent)
    : PlainButton(parent), m_folderType(folderType), m_chooser(std::move(chooser)),
      m_homeDirectory(std::move(homeDirectory)) {
    setIcon(Style::icon(QStringLiteral("folder.badge.plus"), Style::Tint::accent));
    setIconSize(QSize(18, 18));
    retranslate();
    connect(this, &QAbstractButton::clicked, this, &FolderPicker::choose);
}

void FolderPicker::retranslate() {
    const QString help = tr("选择已有文件夹");
    setToolTip(help);
    setAccessibleName(help);
}

void FolderPicker::changeEvent(QEvent* event) {
    PlainButton::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

QString FolderPicker::startFolder() const {
    QString path = pickerStartFolder(m_folderType);
    if (path.startsWith(QLatin1Char('~')))
        path = m_homeDirectory + path.mid(1);
    return path;
}

void FolderPicker::choose() {
    const QString kindFolder = startFolder();
    const std::optional<QString> chosen = m_chooser->chooseFolder(kindFolder);
    if (!chosen || chosen->isEmpty())
        return;
    // Only an installed template of this kind can be merged into: a folder elsewhere would
    // give its name to a new folder, not what the user meant.
    if (parentPath(*chosen) != kindFolder || lastComponent(*chosen).isEmpty()) {
        auto* refusal = new QMessageBox(QMessageBox::Warning, tr("无法合并到这个文件夹"),
                                        tr("请选择“%1”中的文件夹。").arg(kindFolder),
                                        QMessageBox::Ok, window());
        refusal->setInformativeText(*chosen);
        refusal->setAttribute(Qt::WA_DeleteOnClose);
        refusal->setWindowModality(Qt::WindowModal);
        refusal->open();
        return;
    }
    if (m_selectedName)
        m_selectedName(lastComponent(*chosen));
}

} // namespace Orvoinstaller
