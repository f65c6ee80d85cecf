#pragma once

#include "base/FolderType.h"
#include "platform/FolderChooser.h"
#include "ui/Buttons.h"

#include <functional>
#include <memory>

namespace Orvoinstaller {

// The icon button that sets a row's name from an existing folder: a click opens the
// folder chooser in the kind's installed folder and, on confirmation, writes the chosen
// folder's last path component through `selectedName`.
class FolderPicker : public PlainButton {
    Q_OBJECT

public:
    using NameSetter = std::function<void(const QString&)>;

    FolderPicker(FolderType folderType, std::shared_ptr<FolderChooser> chooser,
                 QString homeDirectory, QWidget* parent = nullptr);

    void setFolderType(FolderType folderType) { m_folderType = folderType; }
    FolderType folderType() const { return m_folderType; }

    // The row's binding to its item's newName: written with the chosen folder's name.
    NameSetter selectedName;

    // The start folder of the dialog, with "~" expanded.
    QString startFolder() const;
    void choose();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    FolderType m_folderType;
    std::shared_ptr<FolderChooser> m_chooser;
    QString m_homeDirectory;
};

} // namespace Orvoinstaller
