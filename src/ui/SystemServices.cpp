#include "ui/SystemServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace Orvoinstaller {

std::optional<QString> FileDialogFolderChooser::chooseFolder(const QString& startFolder) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    // A folder not made yet opens at its nearest existing parent, not wherever the process
    // happens to run.
    QDir start(startFolder);
    while (!start.exists() && !start.isRoot())
        start.setPath(QFileInfo(start.path()).path());
    dialog.setDirectory(start);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.first();
}

bool DesktopUrlOpener::open(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace Orvoinstaller
