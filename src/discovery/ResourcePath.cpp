#include "discovery/Discovery.h"
#include "discovery/NameList.h"

namespace Orvoinstaller {

std::optional<QString> findResourcePath(const Bundle& bundle, const FileReader& fs,
                                        DiagnosticOutput& output) {
    output.line(QStringLiteral("开始查找资源路径..."));
    output.line(QStringLiteral("Bundle 标识符: ") +
                bundle.identifier().value_or(QStringLiteral("未知")));
    output.line(QStringLiteral("Bundle 路径: ") + bundle.bundlePath());

    if (const auto resources = bundle.resourcePath()) {
        output.line(QStringLiteral("找到资源路径: ") + *resources);
        const auto names = fs.entryNames(*resources);
        if (names) {
            output.line(QStringLiteral("资源目录内容: ") + nameListText(names.value()));
            return *resources;
        }
        output.line(QStringLiteral("无法访问资源目录: ") + names.error().description());
    }

    // Two levels above the bundle folder, beside where the bundle was built or unpacked.
    const QString fallback =
        joinPath(parentPath(parentPath(bundle.bundlePath())), QStringLiteral("Resources"));
    output.line(QStringLiteral("尝试备选资源路径: ") + fallback);
    if (fs.type(fallback, true) == FileReader::Type::folder) {
        const auto names = fs.entryNames(fallback);
        if (names) {
            output.line(QStringLiteral("备选路径内容: ") + nameListText(names.value()));
            return fallback;
        }
        output.line(QStringLiteral("无法访问备选资源目录: ") + names.error().description());
    }

    output.line(QStringLiteral("❌ 无法找到可用的资源路径"));
    return std::nullopt;
}

} // namespace Orvoinstaller
