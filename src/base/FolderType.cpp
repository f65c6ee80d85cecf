#include "base/FolderType.h"

#include "base/Text.h"

#include <QCoreApplication>

namespace Orvoinstaller {

namespace {

struct KindRow {
    const char* resourceFolder;
    const char* kindFolder;
    const char* label;
};

const KindRow& row(FolderType type) {
    static const KindRow table[] = {
        {"Titles", "Titles.localized", QT_TRANSLATE_NOOP("Orvoinstaller", "字幕Titles")},
        {"Effects", "Effects.localized", QT_TRANSLATE_NOOP("Orvoinstaller", "效果Effects")},
        {"Generators", "Generators.localized",
         QT_TRANSLATE_NOOP("Orvoinstaller", "发生器Generators")},
        {"Transitions", "Transitions.localized",
         QT_TRANSLATE_NOOP("Orvoinstaller", "转场Transitions")},
    };
    return table[static_cast<int>(type)];
}

} // namespace

QString resourceFolderName(FolderType type) {
    return QString::fromUtf8(row(type).resourceFolder);
}

QString kindFolderName(FolderType type) {
    return QString::fromUtf8(row(type).kindFolder);
}

QString kindLabel(FolderType type) {
    return QCoreApplication::translate(Text::context, row(type).label);
}

QString pickerStartFolder(FolderType type) {
    return QStringLiteral("~/") + QString::fromUtf8(motionTemplatesRelativePath) +
           QLatin1Char('/') + kindFolderName(type);
}

} // namespace Orvoinstaller
