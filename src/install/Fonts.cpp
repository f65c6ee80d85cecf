#include "model/InstallerViewModel.h"

namespace Orvoinstaller {

void InstallerViewModel::installFonts() {
    const auto resources = findResourcePath();
    if (!resources)
        return;

    FileSystem& fs = *m_platform.fileSystem;
    const auto fonts = fs.visibleEntries(joinPath(*resources, QStringLiteral("Fonts")), false);
    if (!fonts) {
        setInstallationProgress(QStringLiteral("字体安装失败: ") + fonts.error().description);
        return;
    }

    // A font that is already installed is kept as it is and is no failure; any other
    // refused copy is, and the first one is what the status shows.
    Status firstError;
    for (const FileSystem::Entry& font : fonts.value()) {
        const QString target = joinPath(m_platform.fontsFolder, lastComponent(font.path));
        if (fs.exists(target))
            continue;
        if (auto error = fs.copyItem(font.path, target); error && !firstError)
            firstError = std::move(error);
    }

    if (firstError)
        setInstallationProgress(QStringLiteral("字体安装失败: ") + firstError->description);
    else
        setInstallationProgress(QStringLiteral("字体安装完成"));
}

} // namespace Orvoinstaller
