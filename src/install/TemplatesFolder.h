#pragma once

#include "base/FolderType.h"
#include "platform/FileSystem.h"

#include <QString>

namespace Orvoinstaller {

// The user's templates folder and every path inside it the installer uses, in one place, as
// Pack is for the resource folder. Paths only: nothing here looks at the disk.
struct TemplatesFolder {
    QString path; // ~/Movies/Motion Templates.localized, where the run's lock lives

    static TemplatesFolder inHome(const QString& home) {
        return {joinPath(home, QString::fromUtf8(motionTemplatesRelativePath))};
    }
    static TemplatesFolder of(const FileReader& fs) { return inHome(fs.homeDirectory()); }

    // The kind folder, where templates of one kind are installed.
    QString destinationPath(FolderType kind) const { return joinPath(path, kindFolderName(kind)); }
    // The folder a template installed under `name` becomes or is merged into.
    QString destination(FolderType kind, const QString& name) const {
        return joinPath(destinationPath(kind), name);
    }
};

} // namespace Orvoinstaller
