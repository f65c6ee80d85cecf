#pragma once

#include <QString>

#include <optional>

namespace Orvoinstaller {

// The modal folder-choosing dialog: single selection, folders only.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // Blocks until the dialog closes. The confirmed folder's absolute path, or nothing when
    // the user cancelled. A start folder that does not exist is no error.
    virtual std::optional<QString> chooseFolder(const QString& startFolder) = 0;
};

} // namespace Orvoinstaller
