#include "discovery/NameList.h"

namespace Orvoinstaller {

QString nameListText(const QStringList& names) {
    QStringList quoted;
    quoted.reserve(names.size());
    for (QString name : names) {
        name.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        name.replace(QLatin1Char('"'), QLatin1String("\\\""));
        quoted << QLatin1Char('"') + name + QLatin1Char('"');
    }
    return QLatin1Char('[') + quoted.join(QLatin1String(", ")) + QLatin1Char(']');
}

} // namespace Orvoinstaller
