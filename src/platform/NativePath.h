#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace Orvoinstaller {

// A path's bytes as the system holds them, carried through a QString without loss: a byte
// that is not part of valid UTF-8 becomes the lone surrogate U+DC80 + its value (as
// Python's "surrogateescape" does), and turns back into that byte on the way out. A HOME
// in another encoding thus still names the folder it names.
QString pathFromNative(QByteArrayView bytes);
QByteArray nativePath(const QString& path);

// An environment variable's value as a path; empty when unset.
QString environmentPath(const char* name);

} // namespace Orvoinstaller
