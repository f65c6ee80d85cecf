#include "discovery/TemplateOrder.h"

#include <QCollator>

#include <algorithm>

namespace Orvoinstaller {

void sortTemplates(QList<FolderItem>& templates) {
    // The C locale compares code points alone, numbers as text: English is as neutral.
    const QLocale system;
    QCollator collator(system.language() == QLocale::C ? QLocale(QLocale::English) : system);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(templates.begin(), templates.end(),
                     [&](const FolderItem& a, const FolderItem& b) {
                         if (a.type != b.type)
                             return a.type < b.type;
                         return collator.compare(a.originalName, b.originalName) < 0;
                     });
}

} // namespace Orvoinstaller
