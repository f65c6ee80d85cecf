#pragma once

#include "base/FolderType.h"
#include "install/TemplateInstaller.h"
#include "platform/FileSystem.h"

#include <QSet>
#include <QString>

#include <array>

namespace Orvoinstaller {

// Where a template goes: a folder of its own, or merged into an installed folder.
enum class DestinationState { newFolder, merge };

// The template folders installed in each kind folder: listed once, then asked per row from
// memory. A value, cheap to copy.
class InstalledFolders {
public:
    // One listing per kind folder, on the calling thread. A kind folder that cannot be listed,
    // or a home folder nothing is installed into, holds no folders.
    static InstalledFolders list(const FileReader& fs);

    bool operator==(const InstalledFolders&) const = default;
    // A folder of that name is installed, as the file system would match the name.
    bool contains(FolderType kind, const QString& name) const;

private:
    std::array<QSet<QString>, 4> m_folders; // by kind, names as fileNameKey() gives them
};

// What installing a template of `kind` under `name` does, as TemplateInstaller::plan decides
// it: merge only into an installed folder; a file or a link of that name is no merge (the
// installation reports it).
DestinationState destinationState(const InstalledFolders& installed, FolderType kind,
                                  const QString& name);

} // namespace Orvoinstaller
