#include "discovery/Discovery.h"
#include "discovery/Pack.h"

#include <QCoreApplication>
#include <QStringBuilder>
#include <QUuid>

#include <cerrno>

namespace Orvoinstaller {

namespace {

// The scan's words.
struct PackScan {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::PackScan)

public:
    // Its name could be written once, never found again.
    static Error unreadableName(const QString& path) {
        return Error::saying(
            Text(tr, QT_TR_NOOP("“%1” 的名称不是有效的 UTF-8，不会安装它"), {path}));
    }
};

} // namespace

PackContents scanPack(const FileReader& fs, const QString& resources, DiagnosticOutput& output) {
    const auto attributes = fs.attributes(resources);
    if (attributes)
        output.line(QStringLiteral("资源目录权限: ") + attributes.value());
    else
        output.line(QStringLiteral("无法获取资源目录属性: ") + attributes.error().description());

    PackContents pack;
    const auto fail = [&](const Error& error) {
        output.line(QStringLiteral("❌ ") + error.description());
        pack.failures << error;
    };
    for (const auto type : {FolderType::titles, FolderType::effects, FolderType::generators,
                            FolderType::transitions}) {
        const QString kindName = resourceFolderName(type);
        const QString kindPath = Pack{resources}.templatesFolder(type);
        output.line(QStringLiteral("正在扫描文件夹: ") + kindPath);
        const auto entries = fs.entries(kindPath, false);
        if (!entries) {
            output.line(QStringLiteral("无法访问文件夹: ") + kindPath);
            // Missing, or a stray file of that name: absent. There but unreadable: a failure.
            if (entries.error().code != ENOENT && entries.error().code != ENOTDIR)
                fail(entries.error());
            continue;
        }
        for (const auto& entry : entries.value()) {
            if (entry.type != FileReader::Type::folder)
                continue;
            const QString name = lastComponent(entry.path);
            if (!entry.nameIsText) {
                fail(PackScan::unreadableName(entry.path));
                continue;
            }
            output.line(QStringLiteral("找到文件夹: ") % name % QStringLiteral(" in ") % kindName);
            pack.templates.append(FolderItem{QUuid::createUuid(), name, name, type, entry.path});
        }
    }
    output.line(QStringLiteral("扫描完成，共找到 ") + QString::number(pack.templates.size()) +
                QStringLiteral(" 个文件夹"));

    const auto fonts = fs.entries(Pack{resources}.fontsFolder(), false);
    if (fonts) {
        pack.hasFonts = !fonts.value().empty();
        for (const auto& entry : fonts.value())
            if (!entry.nameIsText)
                fail(PackScan::unreadableName(entry.path));
    } else if (fonts.error().code != ENOENT && fonts.error().code != ENOTDIR) {
        pack.hasFonts = true;
        fail(fonts.error());
    }
    return pack;
}

} // namespace Orvoinstaller
