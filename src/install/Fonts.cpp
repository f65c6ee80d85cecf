#include "install/Fonts.h"

#include "discovery/Pack.h"
#include "install/SafeWrite.h"

#include <QCoreApplication>
#include <QSet>

namespace Orvoinstaller {

namespace {

class FontInstallation {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::FontInstallation)

public:
    FontInstallation(FileSystem& fs, const FontFolders& folders, const QString& pack)
        : m_fs(fs), m_folders(folders), m_pack(pack) {}

    void installFolder(const QString& source, const QString& relative) {
        const auto entries = m_fs.entries(source, false);
        if (!entries)
            return note(entries.error());
        for (const FileReader::Entry& entry : entries.value()) {
            const QString name = relative.isEmpty() ? lastComponent(entry.path)
                                                    : joinPath(relative, lastComponent(entry.path));
            if (!entry.nameIsText) {
                note(Error::saying(
                    Text(tr, QT_TR_NOOP("“%1” 的名称不是有效的 UTF-8，不会安装它"), {entry.path})));
                continue;
            }
            switch (entry.type.value_or(FileReader::Type::other)) {
            case FileReader::Type::folder:
                installFolder(entry.path, name);
                break;
            case FileReader::Type::file:
                installFont(entry.path, name);
                break;
            case FileReader::Type::link:
                installLinked(entry.path, name);
                break;
            default:
                // Opening a FIFO would wait for a writer; a device might act on it.
                note(otherTypeRefused(entry.path));
            }
        }
    }

    FontReport report() && { return std::move(m_report); }

private:
    // Installed as a regular file with the bytes it leads to: a link into the installer
    // dangles once its disk image is ejected. Only a file of the pack itself is taken.
    void installLinked(const QString& link, const QString& relative) {
        const QString target = m_fs.resolvedPath(link);
        const QString pack = m_fs.resolvedPath(m_pack);
        if (target.isEmpty() || pack.isEmpty() || !target.startsWith(pack + u'/') ||
            m_fs.type(target) != FileSystem::Type::file)
            return note(
                Error::of(ErrorKind::unsafe,
                          Text(tr, QT_TR_NOOP("字体 “%1” 是链接，但它指向的不是字体包内的普通文件"),
                               {link})));
        installFont(target, relative);
    }

    void installFont(const QString& font, const QString& relative) {
        const QString inSystem = joinPath(m_folders.system, relative);
        const QString inUser = joinPath(m_folders.user, relative);
        const bool perUser = !m_folders.user.isEmpty();
        if (m_fs.sameContent(font, inSystem) || (perUser && m_fs.sameContent(font, inUser)))
            return;
        // Installed in either folder under this name: a second copy would only compete with it.
        for (const QString& installed : {inSystem, perUser ? inUser : QString()})
            if (!installed.isEmpty() && m_fs.type(installed) != FileReader::Type::missing)
                return m_report.kept.append(installed);
        if (!m_report.refusal) {
            Failure error = placeCopy(font, inSystem);
            if (!error)
                return;
            if (!error->refused() || m_folders.user.isEmpty())
                return note(*error);
            m_report.refusal = std::move(error);
        }
        if (Failure error = placeCopy(font, inUser))
            note(*error);
    }

    // Written as the merge writes: through a hidden temporary beside the target, so a copy
    // cut short never stands under a font's name.
    Failure placeCopy(const QString& font, const QString& target) {
        const QString folder = parentPath(target);
        if (auto error = m_fs.createDirectories(folder))
            return error;
        if (!m_swept.contains(folder)) {
            removeTemporaries(m_fs, folder);
            m_swept.insert(folder);
        }
        // Moved in only where nothing is: a font that appeared meanwhile is not replaced.
        return copyNew(m_fs, font, target);
    }

    void note(const Error& error) {
        if (!m_report.firstError)
            m_report.firstError = error;
    }

    FileSystem& m_fs;
    const FontFolders& m_folders;
    const QString m_pack;
    FontReport m_report;
    QSet<QString> m_swept; // folders cleared of earlier runs' temporaries
};

} // namespace

FontReport installFonts(FileSystem& fs, const QString& source, const FontFolders& folders,
                        const QString& pack) {
    FontInstallation installation(fs, folders, pack);
    installation.installFolder(source, QString());
    return std::move(installation).report();
}

FontReport installPackFonts(const Platform& platform, const QString& resources) {
    FontReport report = installFonts(*platform.fileSystem, Pack{resources}.fontsFolder(),
                                     {platform.fontsFolder, platform.userFontsFolder}, resources);
    if (report.refusal)
        platform.output->line(
            QStringLiteral("系统字体文件夹拒绝写入，字体改为安装到当前用户的字体文件夹: ") +
            report.refusal->description());
    for (const QString& kept : std::as_const(report.kept))
        platform.output->line(QStringLiteral("已有同名字体，保持不变: ") + kept);
    return report;
}

} // namespace Orvoinstaller
