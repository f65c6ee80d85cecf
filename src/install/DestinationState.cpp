#include "install/DestinationState.h"

#include "install/TemplateInstaller.h"
#include "install/TemplatesFolder.h"
#include "platform/FileNames.h"

namespace Orvoinstaller {

InstalledFolders InstalledFolders::list(const FileReader& fs) {
    InstalledFolders installed;
    if (homeProblem(fs))
        return installed;
    for (const FolderType kind : {FolderType::titles, FolderType::effects, FolderType::generators,
                                  FolderType::transitions}) {
        const QString folder = TemplatesFolder::of(fs).destinationPath(kind);
        const auto names = fs.entryNames(folder);
        if (!names)
            continue;
        QSet<QString>& folders = installed.m_folders[static_cast<std::size_t>(kind)];
        for (const QString& name : names.value()) {
            // Such names are refused before anything is planned; a folder the Finder hides
            // by its flag is still merged into, and so is a link the user made to a folder.
            if (!name.startsWith(QLatin1Char('.')) &&
                fs.type(joinPath(folder, name), true) == FileReader::Type::folder)
                folders.insert(fileNameKey(name));
        }
    }
    return installed;
}

bool InstalledFolders::contains(FolderType kind, const QString& name) const {
    return m_folders[static_cast<std::size_t>(kind)].contains(fileNameKey(name));
}

DestinationState destinationState(const InstalledFolders& installed, FolderType kind,
                                  const QString& name) {
    return installed.contains(kind, name) ? DestinationState::merge : DestinationState::newFolder;
}

} // namespace Orvoinstaller
