#include "ui/SystemServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>

namespace Orvoinstaller {

std::optional<QString> FileDialogFolderChooser::chooseFolder(const QString& startFolder) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setDirectory(startFolder);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.first();
}

void DesktopUrlOpener::open(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

} // namespace Orvoinstaller
