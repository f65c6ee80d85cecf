#include "platform/Bundle.h"

#include "platform/InfoPlist.h"

#include <QDir>
#include <QFileInfo>

namespace Orvoinstaller {

ExecutableBundle::ExecutableBundle(QString executableDir) {
    const QString dir = QDir::cleanPath(executableDir);
    QDir up(dir);
    const bool inAppBundle = QFileInfo(dir).fileName() == QLatin1String("MacOS") && up.cdUp() &&
                             up.dirName() == QLatin1String("Contents") && up.cdUp() &&
                             up.dirName().endsWith(QLatin1String(".app"));
    if (inAppBundle) {
        m_bundlePath = up.absolutePath();
        m_resourcePath = m_bundlePath + QStringLiteral("/Contents/Resources");
        if (const auto plist =
                InfoPlist::read(m_bundlePath + QStringLiteral("/Contents/Info.plist")))
            m_info = plist.value().strings();
    } else {
        m_bundlePath = dir;
        m_resourcePath = dir + QStringLiteral("/Resources");
    }
}

std::optional<QString> ExecutableBundle::identifier() const {
    const QString id = m_info.value(QStringLiteral("CFBundleIdentifier"));
    return id.isEmpty() ? std::nullopt : std::optional<QString>(id);
}

QString ExecutableBundle::bundlePath() const {
    return m_bundlePath;
}

std::optional<QString> ExecutableBundle::resourcePath() const {
    if (!QFileInfo(m_resourcePath).isDir())
        return std::nullopt;
    return m_resourcePath;
}

} // namespace Orvoinstaller
