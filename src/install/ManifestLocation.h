#pragma once

#include "platform/Bundle.h"

#include <QString>

namespace Orvoinstaller {

// The identifier where the running program has no Info.plist (outside an app bundle, as on
// Linux): the build's default, so that such builds share one record.
inline constexpr char fallbackBundleId[] = "com.orvo.plugininstaller";
// The manifest's file name in the bundle's application-data folder.
inline constexpr char manifestFileName[] = "installed-templates.json";

// Where one bundle keeps the record of what its installations wrote, and for which
// templates folder: a record made for another bundle or another home is never trusted.
struct ManifestLocation {
    QString path;            // the manifest file itself
    QString bundleId;        // the bundle whose installations it records
    QString templatesFolder; // paths inside are relative to this folder
};

// The manifest of the running bundle in the per-user application-data folder.
ManifestLocation defaultManifestLocation(const QString& templatesFolder);
// The same for `bundle`: <generic data location>/<bundle id>/installed-templates.json, that is
// ~/Library/Application Support/<id>/ on macOS and $XDG_DATA_HOME (~/.local/share)/<id>/ on
// Linux. The path is empty when the system names no such folder.
ManifestLocation defaultManifestLocation(const QString& templatesFolder, const Bundle& bundle);

} // namespace Orvoinstaller
