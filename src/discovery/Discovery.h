#pragma once

#include "base/FolderItem.h"
#include "platform/Bundle.h"
#include "platform/FileSystem.h"
#include "platform/Output.h"

#include <QList>

#include <optional>

namespace Orvoinstaller {

// The resource folder of the bundle, or the fallback beside it, with the trace of where it
// looked.
std::optional<QString> findResourcePath(const Bundle& bundle, const FileReader& fs,
                                        DiagnosticOutput& output);

struct PackContents {
    QList<FolderItem> templates; // by kind, then as each kind folder lists them
    bool hasFonts = false; // also when Fonts/ is there but cannot be listed: installing says why
    // What is there but could not be read or used: a kind folder or Fonts/ that cannot be
    // listed, a template whose name is not UTF-8. A missing kind folder or Fonts/ is no
    // failure. Each has had its trace line.
    QList<Error> failures;
};

// The templates and fonts of the pack in `resources`, with the trace of the scan.
PackContents scanPack(const FileReader& fs, const QString& resources, DiagnosticOutput& output);

} // namespace Orvoinstaller
