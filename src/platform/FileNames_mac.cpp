#include "platform/FileNames.h"

namespace Orvoinstaller {

QString fileNameKey(const QString& name) {
    // Finder and the pack may store "é" precomposed or decomposed; both open the same folder.
    return name.toCaseFolded().normalized(QString::NormalizationForm_D);
}

} // namespace Orvoinstaller
