#pragma once

#include "platform/FolderChooser.h"
#include "platform/UrlOpener.h"

namespace Orvoinstaller {

// QFileDialog, modal over the active window: one existing folder.
class FileDialogFolderChooser : public FolderChooser {
public:
    std::optional<QString> chooseFolder(const QString& startFolder) override;
};

// QDesktopServices: the system's default handler for the address.
class DesktopUrlOpener : public UrlOpener {
public:
    bool open(const QUrl& url) override;
};

} // namespace Orvoinstaller
