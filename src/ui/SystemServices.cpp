#include "ui/SystemServices.h"

#include "platform/FileSystem.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>

namespace Orvoinstaller {

std::optional<QString> FileDialogFolderChooser::chooseFolder(const QString& startFolder) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    // A folder not made yet opens at its nearest existing parent, not wherever the process
    // happens to run.
    QString start = startFolder;
    while (m_fileSystem && start != QLatin1String("/") &&
           m_fileSystem->type(start, true) != FileReader::Type::folder)
        start = parentPath(start);
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
