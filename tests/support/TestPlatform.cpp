#include "support/TestPlatform.h"

#include "discovery/NameList.h"
#include "platform/QtProcessRunner.h"
#include "platform/RealFileSystem.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>

namespace Orvoinstaller::Testing {

void ManualQueue::post(QObject* context, std::function<void()> work) {
    m_work.emplace_back(QPointer<QObject>(context), std::move(work));
}

bool ManualQueue::runOne() {
    if (m_work.empty())
        return false;
    auto [context, work] = std::move(m_work.front());
    m_work.erase(m_work.begin());
    if (context)
        work();
    return true;
}

int ManualQueue::runAll() {
    int ran = 0;
    while (!m_work.empty()) {
        auto [context, work] = std::move(m_work.front());
        m_work.erase(m_work.begin());
        if (context) {
            work();
            ++ran;
        }
    }
    return ran;
}

Sandbox::Sandbox() {
    QDir().mkpath(homePath());
    QDir().mkpath(fontsPath());
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
    const QString full = path(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(full));
    file.write(content);
    return full;
}

QString Sandbox::makeResourceDir(const QString& relative) const {
    return makeDir(QStringLiteral("apps/Installer.app/Contents/Resources/") + relative);
}

QString Sandbox::writeResourceFile(const QString& relative, const QByteArray& content) const {
    return writeFile(QStringLiteral("apps/Installer.app/Contents/Resources/") + relative, content);
}

Platform Sandbox::platform(std::shared_ptr<MainQueue> queue) const {
    Platform platform;
    platform.fileSystem = std::make_shared<RealFileSystem>(homePath());
    const QString resources = resourcePath();
    platform.bundle = std::make_shared<FixedBundle>(
        QStringLiteral("com.example.installer"), bundlePath(),
        QFileInfo(resources).isDir() ? std::optional<QString>(resources) : std::nullopt);
    platform.mainQueue = queue ? std::move(queue) : std::make_shared<QtMainQueue>();
    platform.output = m_output;
    platform.processRunner = std::make_shared<QtProcessRunner>();
    platform.runningPrograms = programs;
    platform.fontsFolder = fontsPath();
    platform.userFontsFolder = userFontsPath();
    return platform;
}

QStringList locateTrace(const QString& identifier, const QString& bundle,
                        const QString& resources) {
    const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    const QStringList names = QDir(resources).entryList(all, QDir::Unsorted);
    return {QStringLiteral("开始查找资源路径..."), QStringLiteral("Bundle 标识符: ") + identifier,
            QStringLiteral("Bundle 路径: ") + bundle, QStringLiteral("找到资源路径: ") + resources,
            QStringLiteral("资源目录内容: ") + nameListText(names)};
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
    return lines.replaceInStrings(values, QStringLiteral("\\1: …"));
}

QStringList treeListing(const QString& root) {
    QStringList listing;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QString full = it.next();
        const QFileInfo info = it.fileInfo();
        const QString relative = base.relativeFilePath(full);
        if (info.isDir() && !info.isSymLink()) {
            listing << relative + QLatin1Char('/');
        } else {
            QFile file(full);
            file.open(QIODevice::ReadOnly);
            listing << relative + QStringLiteral(" = ") + QString::fromUtf8(file.readAll().toHex());
        }
    }
    listing.sort();
    return listing;
}

} // namespace Orvoinstaller::Testing
