#pragma once

#include "base/FolderItem.h"

#include <QList>

namespace Orvoinstaller {

// The order a user reads the templates in: by kind, then by name as the system's language
// sorts names, numbers by their value ("Title 2" before "Title 10").
void sortTemplates(QList<FolderItem>& templates);

} // namespace Orvoinstaller
