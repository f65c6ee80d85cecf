#include "install/TemplatesFolderLock.h"

#include "platform/FileSystem.h"

namespace Orvoinstaller {

std::unique_ptr<QLockFile> templatesFolderLock(const QString& templatesFolder) {
    auto lock = std::make_unique<QLockFile>(
        joinPath(templatesFolder, QStringLiteral(".orvo-install.lock")));
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace Orvoinstaller
