#include "install/ManifestLocation.h"

#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace Orvoinstaller {

namespace {

// The id names a folder: one that would lead out of the data folder is not used.
QString usableBundleId(const std::optional<QString>& id) {
    if (!id || id->isEmpty() || id->contains(u'/') || *id == u"." || *id == u"..")
        return QString::fromLatin1(fallbackBundleId);
    return *id;
}

} // namespace

ManifestLocation defaultManifestLocation(const QString& templatesFolder, const Bundle& bundle) {
    const QString id = usableBundleId(bundle.identifier());
    // Not AppDataLocation itself: it adds the application's name, which the window sets.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return ManifestLocation{
        data.isEmpty() ? QString() : joinPath(joinPath(data, id), QLatin1String(manifestFileName)),
        id, QDir::cleanPath(templatesFolder)};
}

ManifestLocation defaultManifestLocation(const QString& templatesFolder) {
    return defaultManifestLocation(templatesFolder,
                                   ExecutableBundle(QCoreApplication::applicationDirPath()));
}

} // namespace Orvoinstaller
