#include "support/TestPlatform.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace Orvoinstaller::Testing {

Sandbox::Sandbox() {
    QDir().mkpath(homePath());
    QDir().mkpath(fontsPath());
}

// QTemporaryDir leaves a name that is not UTF-8 behind; it still clears unwritable folders.
Sandbox::~Sandbox() {
    std::error_code ignored;
    std::filesystem::remove_all(QFile::encodeName(root()).toStdString(), ignored);
}

QString Sandbox::path(const QString& relative) const {
    return QDir::isAbsolutePath(relative) ? relative : m_dir.filePath(relative);
}

QString Sandbox::makeDir(const QString& relative) const {
    const QString full = path(relative);
    QDir().mkpath(full);
    return full;
}

QString Sandbox::writeFile(const QString& relative, const QByteArray& content) const {
    return writeFileAt(path(relative), content);
}

QString writeFileAt(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
    return path;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Sandbox::makeResourceDir(const QString& relative) const {
    return makeDir(QStringLiteral("apps/Installer.app/Contents/Resources/") + relative);
}

QString Sandbox::writeResourceFile(const QString& relative, const QByteArray& content) const {
    return writeFile(QStringLiteral("apps/Installer.app/Contents/Resources/") + relative, content);
}

Platform Sandbox::platform(std::shared_ptr<MainQueue> queue) const {
    const QString resources = resourcePath();
    Platform platform = Platform::real(
        {.home = homePath(),
         .dataFolder = dataPath(),
         .bundle = std::make_shared<FixedBundle>(
             QStringLiteral("com.example.installer"), bundlePath(),
             QFileInfo(resources).isDir() ? std::optional<QString>(resources) : std::nullopt),
         .mainQueue = std::move(queue),
         .output = m_output,
         .fontsFolder = fontsPath()});
    platform.runningPrograms = programs;
    platform.userFontsFolder = userFontsPath();
    return platform;
}

QStringList locateTrace(const QString& identifier, const QString& bundle, const QString& resources,
                        const QString& listing) {
    return {QStringLiteral("开始查找资源路径..."), QStringLiteral("Bundle 标识符: ") + identifier,
            QStringLiteral("Bundle 路径: ") + bundle, QStringLiteral("找到资源路径: ") + resources,
            QStringLiteral("资源目录内容: ") + listing};
}

QStringList scanTrace(const QString& resources, const QString& kind, const QStringList& names) {
    const QString path = resources + QLatin1Char('/') + kind;
    QStringList lines{QStringLiteral("正在扫描文件夹: ") + path};
    if (names.isEmpty())
        lines << QStringLiteral("无法访问文件夹: ") + path;
    for (const QString& name : names)
        lines << QStringLiteral("找到文件夹: ") + name + QStringLiteral(" in ") + kind;
    return lines;
}

QStringList maskPlatformWording(QStringList lines) {
    static const QRegularExpression values(
        QStringLiteral("^(资源目录权限|无法访问(备选)?资源目录): .+$"));
    static const QRegularExpression listed(
        QStringLiteral("^((资源目录|备选路径)内容: )\\[(.+)\\]$"));
    for (QString& line : lines) {
        // Split where the trace joins, so that a changed joiner still shows.
        if (const auto names = listed.match(line); names.hasMatch()) {
            QStringList sorted = names.captured(3).split(QStringLiteral(", "));
            sorted.sort();
            line = names.captured(1) + '[' + sorted.join(QStringLiteral(", ")) + ']';
        }
    }
    return lines.replaceInStrings(values, QStringLiteral("\\1: …"));
}

void ageFiles(const QString& root) {
    namespace fs = std::filesystem;
    const auto age = [](const fs::path& path) {
        if (!fs::is_regular_file(fs::symlink_status(path)))
            return;
        fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(24));
    };
    const fs::path top(root.toStdString());
    age(top);
    if (fs::is_directory(fs::symlink_status(top)))
        for (const auto& entry : fs::recursive_directory_iterator(top))
            age(entry.path());
}

QStringList treeListing(const QString& root) {
    QStringList listing;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QString full = it.next();
        const QString relative = base.relativeFilePath(full);
        struct stat st;
        if (::lstat(QFile::encodeName(full).constData(), &st) != 0) {
            listing << relative + QStringLiteral(" (vanished)");
            continue;
        }
        const int mode = st.st_mode & 07777;
        QString line;
        if (S_ISDIR(st.st_mode)) {
            line = relative + QLatin1Char('/');
            if (mode != 0755)
                line += QStringLiteral(" mode %1").arg(mode, 0, 8);
        } else if (S_ISLNK(st.st_mode)) {
            // The link's own text: where it points from where it is.
            line =
                relative + QStringLiteral(" -> ") +
                QString::fromStdString(
                    std::filesystem::read_symlink(QFile::encodeName(full).toStdString()).native());
        } else if (S_ISREG(st.st_mode)) {
            QFile file(full);
            file.open(QIODevice::ReadOnly);
            const QByteArray content = file.readAll();
            // Large files by their hash: the listing stays small enough to compare quickly.
            line =
                relative + QStringLiteral(" = ") +
                (content.size() > 4 << 20
                     ? QStringLiteral("sha1:") +
                           QString::fromLatin1(
                               QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex())
                     : QString::fromLatin1(content.toHex()));
            if (mode != 0644)
                line += QStringLiteral(" mode %1").arg(mode, 0, 8);
        } else {
            line = relative + QStringLiteral(" (not a file)"); // never opened: a FIFO blocks
        }
        listing << line;
    }
    listing.sort();
    return listing;
}

QString listedPath(const QString& line) {
    static const QRegularExpression end(QStringLiteral(" (= |-> |mode |\\()"));
    const QString path = line.section(end, 0, 0);
    return path.endsWith(QLatin1Char('/')) ? path.chopped(1) : path;
}

Watchdog::Watchdog(int seconds, const char* what) {
    m_thread = std::thread([this, seconds, what] {
        std::unique_lock lock(m_mutex);
        if (!m_done.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_finished; })) {
            std::fprintf(stderr, "FAIL: hung for %d s: %s\n", seconds, what);
            std::_Exit(3);
        }
    });
}

Watchdog::~Watchdog() {
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_done.notify_one();
    m_thread.join();
}

} // namespace Orvoinstaller::Testing
