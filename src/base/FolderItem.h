#pragma once

#include "base/FolderType.h"

#include <QString>
#include <QUuid>

namespace Orvoinstaller {

// One plug-in folder found in the resources and the name it is to be installed under.
// Only newName changes after the scan.
struct FolderItem {
    QUuid id;
    QString originalName;
    QString newName;
    FolderType type;
    QString path; // absolute location of the found folder
};

} // namespace Orvoinstaller
