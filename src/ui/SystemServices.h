#pragma once

#include "platform/FolderChooser.h"
#include "platform/UrlOpener.h"

#include <memory>

namespace Orvoinstaller {

class FileReader;

// QFileDialog, modal over the active window: one existing folder.
class FileDialogFolderChooser : public FolderChooser {
public:
    explicit FileDialogFolderChooser(std::shared_ptr<const FileReader> fileSystem)
        : m_fileSystem(std::move(fileSystem)) {}
    std::optional<QString> chooseFolder(const QString& startFolder) override;

private:
    std::shared_ptr<const FileReader> m_fileSystem;
};

// QDesktopServices: the system's default handler for the address.
class DesktopUrlOpener : public UrlOpener {
public:
    bool open(const QUrl& url) override;
};

} // namespace Orvoinstaller
