#include "install/Fonts.h"

#include "model/InstallerViewModel.h"

#include <QUuid>

namespace Orvoinstaller {

namespace {

class FontInstallation {
public:
    FontInstallation(FileSystem& fs, const FontFolders& folders) : m_fs(fs), m_folders(folders) {}

    void installFolder(const QString& source, const QString& relative) {
        const auto entries = m_fs.visibleEntries(source, true);
        if (!entries)
            return note(entries.error());
        for (const FileSystem::Entry& entry : entries.value()) {
            const QString name = relative.isEmpty() ? lastComponent(entry.path)
                                                    : joinPath(relative, lastComponent(entry.path));
            if (entry.isDirectory.value_or(false))
                installFolder(entry.path, name);
            else
                installFont(entry.path, name);
        }
    }

    FontReport report() && { return std::move(m_report); }

private:
    void installFont(const QString& font, const QString& relative) {
        const QString inSystem = joinPath(m_folders.system, relative);
        if (m_fs.sameContent(font, inSystem))
            return;
        if (Status error = placeCopy(font, inSystem))
            note(*error);
    }

    Status placeCopy(const QString& font, const QString& target) {
        const QString folder = parentPath(target);
        if (auto error = m_fs.createDirectories(folder))
            return error;
        // Hidden, and named as the merge names its own, so nothing takes it for a font.
        const QString copy =
            joinPath(folder, QStringLiteral(".orvo-") + QUuid::createUuid().toString(QUuid::Id128));
        Status error = m_fs.copyItem(font, copy);
        if (!error)
            error = m_fs.replaceItem(copy, target);
        if (error)
            m_fs.removeItem(copy);
        return error;
    }

    void note(const Error& error) {
        if (!m_report.firstError)
            m_report.firstError = error;
    }

    FileSystem& m_fs;
    const FontFolders& m_folders;
    FontReport m_report;
};

} // namespace

FontReport installFonts(FileSystem& fs, const QString& source, const FontFolders& folders) {
    FontInstallation installation(fs, folders);
    installation.installFolder(source, QString());
    return std::move(installation).report();
}

void InstallerViewModel::installFonts() {
    const auto resources = findResourcePath();
    if (!resources)
        return;

    const FontReport report = Orvoinstaller::installFonts(
        *m_platform.fileSystem, joinPath(*resources, QStringLiteral("Fonts")),
        {m_platform.fontsFolder, QString()});
    if (report.firstError)
        setInstallationProgress(QStringLiteral("字体安装失败: ") + report.firstError->description);
    else
        setInstallationProgress(QStringLiteral("字体安装完成"));
}

} // namespace Orvoinstaller
