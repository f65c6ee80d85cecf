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
        const QString inUser = joinPath(m_folders.user, relative);
        if (m_fs.sameContent(font, inSystem) ||
            (!m_folders.user.isEmpty() && m_fs.sameContent(font, inUser)))
            return;
        if (!m_report.refusal) {
            Status error = placeCopy(font, inSystem);
            if (!error)
                return;
            if (!error->refused() || m_folders.user.isEmpty())
                return note(*error);
            m_report.refusal = std::move(error);
        }
        if (Status error = placeCopy(font, inUser))
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
        {m_platform.fontsFolder, m_platform.userFontsFolder});
    if (report.refusal)
        print(QStringLiteral("系统字体文件夹拒绝写入，字体改为安装到当前用户的字体文件夹: ") +
              report.refusal->description);
    if (report.firstError)
        setInstallationProgress(Text(QT_TRANSLATE_NOOP("Orvoinstaller", "字体安装失败: %1"),
                                     {report.firstError->shown()}));
    else if (report.refusal)
        setInstallationProgress(
            Text(QT_TRANSLATE_NOOP("Orvoinstaller", "字体已安装到当前用户的字体文件夹")));
    else
        setInstallationProgress(Text(QT_TRANSLATE_NOOP("Orvoinstaller", "字体安装完成")));
}

} // namespace Orvoinstaller
