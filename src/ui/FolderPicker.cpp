#include "ui/FolderPicker.h"

#include "platform/FileSystem.h"
#include "ui/Style.h"

#include <QEvent>

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
    // Only the name is kept: the run installs into the folder of that name in the kind
    // folder, wherever the chosen one lies.
    if (!chosen || chosen->isEmpty())
        return;
    if (selectedName)
        selectedName(lastComponent(*chosen));
}

} // namespace Orvoinstaller
