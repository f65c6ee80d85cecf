#pragma once

#include "install/TemplateInstaller.h"

namespace Orvoinstaller {

// Whether a template of `kind` installed under `name` merges into an installed folder, by
// TemplateInstaller::plan's rule: only a folder of that name is merged into; a file or a
// link there is no merge (installing reports it).
bool mergesIntoInstalledFolder(const FileSystem& fs, const TemplateInstaller& installer,
                               FolderType kind, const QString& name);

} // namespace Orvoinstaller
