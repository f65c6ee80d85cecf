#include "discovery/Pack.h"
#include "model/InstallerViewModel.h"

#include <QStringBuilder>
#include <QUuid>

namespace Orvoinstaller {

void InstallerViewModel::scanFolders() {
    const auto resources = findResourcePath();
    if (!resources) {
        print(QStringLiteral("❌ 无法找到资源文件夹"));
        return;
    }
    const auto& fs = *m_platform.fileSystem;

    const auto attributes = fs.attributes(*resources);
    if (attributes)
        print(QStringLiteral("资源目录权限: ") + attributes.value());
    else
        print(QStringLiteral("无法获取资源目录属性: ") + attributes.error().description);

    setFolderItems({});
    for (const auto type : {FolderType::titles, FolderType::effects, FolderType::generators,
                            FolderType::transitions}) {
        const QString kindName = resourceFolderName(type);
        const QString kindPath = Pack{*resources}.templatesFolder(type);
        print(QStringLiteral("正在扫描文件夹: ") + kindPath);
        const auto entries = fs.visibleEntries(kindPath, /*withDirectoryFlag=*/true);
        if (!entries) {
            print(QStringLiteral("无法访问文件夹: ") + kindPath);
            continue;
        }
        for (const auto& entry : entries.value()) {
            if (!entry.isDirectory.value_or(false))
                continue;
            const QString name = lastComponent(entry.path);
            print(QStringLiteral("找到文件夹: ") % name % QStringLiteral(" in ") % kindName);
            appendFolderItem(FolderItem(QUuid::createUuid(), name, name, type, entry.path));
        }
    }
    print(QStringLiteral("扫描完成，共找到 ") + QString::number(m_folderItems.size()) +
          QStringLiteral(" 个文件夹"));

    const auto fonts = fs.visibleEntries(Pack{*resources}.fontsFolder(), false);
    setHasFonts(fonts.ok() && !fonts.value().empty());
}

} // namespace Orvoinstaller
