#pragma once

#include "ui/Buttons.h"
#include "ui/FolderList.h"
#include "ui/LocationSheet.h"

#include <QAccessible>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

namespace Orvoinstaller::Testing {

// The newest widget of type T under `root` that assistive technologies call `name`, or whose
// object name it is; null when there is none. The window is read as its users read it.
template <typename T = QWidget> T* find(const QWidget* root, const QString& name) {
    const QList<T*> all = root->findChildren<T*>();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(*it);
        if ((*it)->objectName() == name || (read && read->text(QAccessible::Name) == name))
            return *it;
    }
    return nullptr;
}

// The parts whose text changes with the state, or that have none, by their object names.
namespace part {

inline QLabel* statusLine(const QWidget* view) {
    return find<QLabel>(view, QStringLiteral("statusLine"));
}
inline InstallButton* installButton(const QWidget* view) {
    return find<InstallButton>(view, QStringLiteral("installButton"));
}
inline QProgressBar* progressBar(const QWidget* view) {
    return find<QProgressBar>(view, QStringLiteral("progressBar"));
}
inline QLabel* timeLeft(const QWidget* view) {
    return find<QLabel>(view, QStringLiteral("timeLeft"));
}
inline FolderListPanel* folderListPanel(const QWidget* view) {
    return find<FolderListPanel>(view, QStringLiteral("folderList"));
}
inline QMessageBox* alert(const QWidget* view) {
    return find<QMessageBox>(view, QStringLiteral("installationAlert"));
}
inline QMessageBox* uninstallAlert(const QWidget* view) {
    return find<QMessageBox>(view, QStringLiteral("uninstallAlert"));
}
inline QMessageBox* openFailureAlert(const QWidget* view) {
    return find<QMessageBox>(view, QStringLiteral("openFailureAlert"));
}
inline LocationSheet* sheet(const QWidget* view) {
    const QList<LocationSheet*> all = view->findChildren<LocationSheet*>();
    return all.isEmpty() ? nullptr : all.last();
}
inline QLabel* title(const QWidget* view) {
    return find<QLabel>(view, QStringLiteral("title"));
}
inline QLabel* emptyState(const QWidget* view) {
    return find<QLabel>(view, QStringLiteral("emptyState"));
}

} // namespace part

} // namespace Orvoinstaller::Testing
