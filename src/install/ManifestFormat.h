#pragma once

#include "install/ManifestLocation.h"
#include "platform/FileSystem.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

namespace Orvoinstaller {

// The manifest's format; one of a later format is never trusted, since its rules may differ.
inline constexpr int manifestFormatVersion = 1;

// One file or link an installation put in place, as it was then.
struct ManifestEntry {
    QString path;            // relative to the templates folder
    FileSystem::Facts facts; // type, size, modification time, device and inode
};

// The entries of a trusted manifest, by path. Fails with a reason naming the file when it is
// missing (code ENOENT), unreadable, malformed, of a later format, made for another bundle or
// templates folder, or names a path that leaves the templates folder.
Result<QList<ManifestEntry>> loadManifest(FileSystem& fs, const ManifestLocation& location);

// A path the installer can have written: relative, below a template folder of one of the
// kind folders, no "." or "..".
bool insideTemplates(const QString& relative);

// One entry, kept serialised: a save joins these instead of building the whole document anew.
QByteArray entryJson(const QString& path, const FileSystem::Facts& facts);

// The whole manifest with `entries` (serialised, by path), in one atomic step. `makeFolder`:
// the folder may not exist yet.
Failure writeManifest(FileSystem& fs, const ManifestLocation& location,
                     const QMap<QString, QByteArray>& entries, bool makeFolder = true);

// The entries by path, a later one in place of an earlier one.
QMap<QString, FileSystem::Facts> byPath(const QList<ManifestEntry>& entries);

} // namespace Orvoinstaller
