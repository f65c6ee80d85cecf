#pragma once

#include <QString>
#include <QStringList>

namespace Orvoinstaller {

// ["a", "b \"q\""]: each name quoted, quotes and backslashes escaped, in the given order.
QString nameListText(const QStringList& names);

} // namespace Orvoinstaller
