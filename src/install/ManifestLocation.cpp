#include "install/ManifestLocation.h"

#include "base/FolderType.h"

#include <QCryptographicHash>
#include <QDir>

namespace Orvoinstaller {

namespace {

// The id names a folder: one that would lead out of the data folder is not used.
QString usableBundleId(const std::optional<QString>& id) {
    if (!id || id->isEmpty() || id->contains(u'/') || *id == u"." || *id == u"..")
        return QString::fromLatin1(fallbackBundleId);
    return *id;
}

} // namespace

ManifestLocation manifestLocation(const FileReader& fs, const Bundle& bundle,
                                  QString templatesFolder) {
    if (templatesFolder.isEmpty())
        templatesFolder =
            joinPath(fs.homeDirectory(), QString::fromUtf8(motionTemplatesRelativePath));
    templatesFolder = QDir::cleanPath(templatesFolder);
    const QString id = usableBundleId(bundle.identifier());
    const QString data = fs.dataFolder();
    if (data.isEmpty())
        return {QString(), id, templatesFolder, QString()};
    const QString folder = joinPath(data, id);
    const QByteArray key =
        QCryptographicHash::hash(templatesFolder.toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return {joinPath(folder,
                     QStringLiteral("installed-templates-%1.json").arg(QString::fromLatin1(key))),
            id, templatesFolder, joinPath(folder, QLatin1String(legacyManifestFileName))};
}

} // namespace Orvoinstaller
