#pragma once

#include "install/ManifestLocation.h"
#include "platform/FileSystem.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

namespace Orvoinstaller {

// The manifest's format; one of a later format is never trusted, since its rules may differ.
// Format 1 recorded no folders: an uninstall of one removes no folder.
inline constexpr int manifestFormatVersion = 2;

// One file, link or folder an installation put in place, as it was then.
struct ManifestEntry {
    QString path;            // relative to the templates folder
    FileReader::Facts facts; // type, size, modification time, device and inode
};

// The entries of a trusted manifest with its journal folded in, by path. Fails with a reason
// naming the file when both are missing (code ENOENT), unreadable, malformed, of a later
// format, made for another bundle or templates folder, or name a path that leaves the
// templates folder. A journal's last line cut short by a killed writer is left out.
Result<QList<ManifestEntry>> loadManifest(const FileReader& fs, const ManifestLocation& location);

// A path the installer can have written: relative, below a template folder of one of the
// kind folders (or, for a `folder`, that template folder itself), no "." or "..".
bool insideTemplates(const QString& relative, bool folder = false);

// One entry as the manifest and its journal write it.
QByteArray entryJson(const QString& path, const FileReader::Facts& facts);

// A journal line that takes back the entry of `path`.
QByteArray forgetJson(const QString& path);

// The whole manifest with `entries`, in one atomic step, then without the journal it folds in.
Failure writeManifest(FileSystem& fs, const ManifestLocation& location,
                      const QMap<QString, FileReader::Facts>& entries);
// Lines added to the journal, on the disk when it returns; makes the folder when missing.
Failure appendJournal(FileSystem& fs, const ManifestLocation& location, const QByteArray& lines);

// The entries by path, a later one in place of an earlier one.
QMap<QString, FileReader::Facts> byPath(const QList<ManifestEntry>& entries);

} // namespace Orvoinstaller
