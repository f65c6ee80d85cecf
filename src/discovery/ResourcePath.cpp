#include "discovery/NameList.h"
#include "model/InstallerViewModel.h"

namespace Orvoinstaller {

std::optional<QString> InstallerViewModel::findResourcePath() const {
    const auto& bundle = *m_platform.bundle;
    const auto& fs = *m_platform.fileSystem;

    print(QStringLiteral("开始查找资源路径..."));
    print(QStringLiteral("Bundle 标识符: ") + bundle.identifier().value_or(QStringLiteral("未知")));
    print(QStringLiteral("Bundle 路径: ") + bundle.bundlePath());

    if (const auto resources = bundle.resourcePath()) {
        print(QStringLiteral("找到资源路径: ") + *resources);
        const auto names = fs.entryNames(*resources);
        if (names) {
            print(QStringLiteral("资源目录内容: ") + nameListText(names.value()));
            return *resources;
        }
        print(QStringLiteral("无法访问资源目录: ") + names.error().description);
    }

    // Two levels above the bundle folder, beside where the bundle was built or unpacked.
    const QString fallback =
        joinPath(parentPath(parentPath(bundle.bundlePath())), QStringLiteral("Resources"));
    print(QStringLiteral("尝试备选资源路径: ") + fallback);
    if (fs.isDirectory(fallback)) {
        const auto names = fs.entryNames(fallback);
        if (names) {
            print(QStringLiteral("备选路径内容: ") + nameListText(names.value()));
            return fallback;
        }
        print(QStringLiteral("无法访问备选资源目录: ") + names.error().description);
    }

    print(QStringLiteral("❌ 无法找到可用的资源路径"));
    return std::nullopt;
}

} // namespace Orvoinstaller
