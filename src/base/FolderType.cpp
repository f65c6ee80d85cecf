#include "base/FolderType.h"

#include <QCoreApplication>

namespace Orvoinstaller {

namespace {

// A kind's folders and its name for people, said in the kind's context.
struct Kind {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::Kind)

public:
    const char* resourceFolder;
    const char* kindFolder;
    const char* label;

    static const Kind& of(FolderType type);
};

const Kind& Kind::of(FolderType type) {
    static const Kind table[] = {
        {"Titles", "Titles.localized", QT_TR_NOOP("字幕Titles")},
        {"Effects", "Effects.localized", QT_TR_NOOP("效果Effects")},
        {"Generators", "Generators.localized", QT_TR_NOOP("发生器Generators")},
        {"Transitions", "Transitions.localized", QT_TR_NOOP("转场Transitions")},
    };
    return table[static_cast<int>(type)];
}

} // namespace

QString resourceFolderName(FolderType type) {
    return QString::fromUtf8(Kind::of(type).resourceFolder);
}

QString kindFolderName(FolderType type) {
    return QString::fromUtf8(Kind::of(type).kindFolder);
}

QString kindLabel(FolderType type) {
    return Kind::tr(Kind::of(type).label);
}

QString pickerStartFolder(FolderType type) {
    return QStringLiteral("~/") + QString::fromUtf8(motionTemplatesRelativePath) +
           QLatin1Char('/') + kindFolderName(type);
}

} // namespace Orvoinstaller
