#pragma once

#include "platform/Bundle.h"
#include "platform/FileSystem.h"

#include <QString>

namespace Orvoinstaller {

// The identifier where the running program has no Info.plist (outside an app bundle, as on
// Linux): the build's default, so that such builds share one record.
inline constexpr char fallbackBundleId[] = "com.orvo.plugininstaller";
// The name earlier versions gave the one record a bundle kept, whatever its templates folder.
inline constexpr char legacyManifestFileName[] = "installed-templates.json";

// Where one bundle keeps the record of what its installations wrote into one templates
// folder: a record made for another bundle or another templates folder is never trusted.
struct ManifestLocation {
    QString path;            // the manifest file itself
    QString bundleId;        // the bundle whose installations it records
    QString templatesFolder; // paths inside are relative to this folder
    QString legacyPath;      // read while `path` is missing, when it names the same folder

    // Entries not yet folded into the manifest, one line each, beside it.
    QString journalPath() const {
        return path.isEmpty() ? path : path + QStringLiteral(".journal");
    }
};

// The record of `templatesFolder` (the one in the file system's home when empty), in the
// file system's data folder: <data>/<bundle id>/installed-templates-<key>.json, the key
// standing for the templates folder, so that each templates folder has its own record.
// The path is empty when the file system names no data folder.
ManifestLocation manifestLocation(const FileReader& fs, const Bundle& bundle,
                                  QString templatesFolder = {});

} // namespace Orvoinstaller
