#include "discovery/TemplateOrder.h"

#include <QCollator>

#include <algorithm>
#include <numeric>
#include <vector>

namespace Orvoinstaller {

void sortTemplates(QList<FolderItem>& templates) {
    // The C locale compares code points alone, numbers as text: English is as neutral.
    const QLocale system;
    QCollator collator(system.language() == QLocale::C ? QLocale(QLocale::English) : system);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // One key per name, made once: comparing keys costs far less than collating twice per
    // comparison, which thousands of templates would feel at start-up.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(templates.size());
    for (const FolderItem& item : std::as_const(templates))
        keys.push_back(collator.sortKey(item.originalName));
    std::vector<qsizetype> order(templates.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        if (templates[a].type != templates[b].type)
            return templates[a].type < templates[b].type;
        return keys[a].compare(keys[b]) < 0;
    });
    QList<FolderItem> sorted;
    sorted.reserve(templates.size());
    for (const qsizetype i : order)
        sorted.append(std::move(templates[i]));
    templates = std::move(sorted);
}

} // namespace Orvoinstaller
