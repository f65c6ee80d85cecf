#include "platform/Bundle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace Orvoinstaller {

namespace {

// The CFBundleIdentifier of an Info.plist, if it names one.
std::optional<QString> plistIdentifier(const QString& plistPath) {
    QFile file(plistPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QXmlStreamReader xml(&file);
    bool nextIsIdentifier = false;
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement())
            continue;
        if (xml.name() == QLatin1String("key")) {
            nextIsIdentifier = xml.readElementText() == QLatin1String("CFBundleIdentifier");
        } else if (xml.name() == QLatin1String("string") && nextIsIdentifier) {
            const QString id = xml.readElementText();
            return id.isEmpty() ? std::nullopt : std::optional<QString>(id);
        } else {
            nextIsIdentifier = false;
        }
    }
    return std::nullopt;
}

} // namespace

ExecutableBundle::ExecutableBundle(QString executableDir) {
    const QString dir = QDir::cleanPath(executableDir);
    QDir up(dir);
    const bool inAppBundle = QFileInfo(dir).fileName() == QLatin1String("MacOS") && up.cdUp() &&
                             up.dirName() == QLatin1String("Contents") && up.cdUp() &&
                             up.dirName().endsWith(QLatin1String(".app"));
    if (inAppBundle) {
        m_bundlePath = up.absolutePath();
        m_resourcePath = m_bundlePath + QStringLiteral("/Contents/Resources");
        m_identifier = plistIdentifier(m_bundlePath + QStringLiteral("/Contents/Info.plist"));
    } else {
        m_bundlePath = dir;
        m_resourcePath = dir + QStringLiteral("/Resources");
    }
}

std::optional<QString> ExecutableBundle::identifier() const {
    return m_identifier;
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
