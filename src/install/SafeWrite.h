#pragma once

#include "platform/FileSystem.h"

namespace Orvoinstaller {

// Writes into the user's folders so that at every instant each entry holds its old or its
// new content under its name. Work happens in hidden temporaries beside the target, moved
// in with one rename; a run that is cut short leaves only such temporaries, which the next
// run removes.

// A fresh temporary name inside `folder`.
QString temporaryPath(const QString& folder);
// True for names that temporaryPath() makes, and for those of earlier versions.
bool isTemporaryName(const QString& name);
// Removes the temporaries left in `folder` (never anything else); errors are ignored, as
// a leftover harms nothing and is tried again by the next run.
void removeTemporaries(FileSystem& fs, const QString& folder);

// Told of what is about to appear at `target` while it is still the temporary `staged`, with
// whatever was at `target` still there; a failure keeps it from appearing.
using Staged = std::function<Failure(const QString& staged, const QString& target)>;

// Copies `source` (a file, link or whole folder) to `target`, where nothing exists yet.
Failure copyNew(FileWriter& fs, const QString& source, const QString& target,
                const CopyProgress& progress = {}, const Staged& staged = {});
// Puts a copy of `source` (a file or link) in place of the file or link at `target`.
Failure replaceWithCopy(FileWriter& fs, const QString& source, const QString& target,
                        const CopyProgress& progress = {}, const Staged& staged = {});
// Puts a clone of the regular file `source` in place of the file or link at `target`; fails
// where the file systems cannot clone.
Failure replaceWithClone(FileWriter& fs, const QString& source, const QString& target,
                         const Staged& staged = {});

// The reasons for entries that are never written over or through.
Error linkRefused(const QString& path);
Error otherTypeRefused(const QString& path);
Error folderKept(const QString& path);

} // namespace Orvoinstaller
