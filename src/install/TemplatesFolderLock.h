#pragma once

#include "platform/FileSystem.h"

#include <QString>

#include <memory>

namespace Orvoinstaller {

// The lock every run that changes the templates folder holds while it works (installs,
// uninstalls); the folder must exist. Null while another run holds it. It never goes stale:
// the system lets go of a holder that died, and an empty or old lock file blocks no one.
Result<std::unique_ptr<FileWriter::Lock>> lockTemplatesFolder(FileWriter& fs,
                                                              const QString& templatesFolder);

} // namespace Orvoinstaller
