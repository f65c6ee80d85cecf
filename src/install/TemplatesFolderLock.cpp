#include "install/TemplatesFolderLock.h"

namespace Orvoinstaller {

Result<std::unique_ptr<FileWriter::Lock>> lockTemplatesFolder(FileWriter& fs,
                                                              const QString& templatesFolder) {
    return fs.tryLock(joinPath(templatesFolder, QStringLiteral(".orvo-install.lock")));
}

} // namespace Orvoinstaller
