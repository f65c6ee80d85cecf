#include "support/Trace.h"

#include "discovery/NameList.h"

#include <QDir>

namespace Orvoinstaller::Testing {

QStringList maskValues(QStringList lines, const QStringList& prefixes) {
    for (QString& line : lines) {
        for (const QString& prefix : prefixes) {
            if (line.startsWith(prefix)) {
                line = prefix + QStringLiteral("…");
                break;
            }
        }
    }
    return lines;
}

QStringList namesInListingOrder(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                   QDir::NoDotAndDotDot,
                               QDir::Unsorted);
}

QStringList resourceFoundTrace(const QString& identifier, const QString& bundlePath,
                               const QString& resourcePath) {
    return {
        QStringLiteral("开始查找资源路径..."),
        QStringLiteral("Bundle 标识符: ") + identifier,
        QStringLiteral("Bundle 路径: ") + bundlePath,
        QStringLiteral("找到资源路径: ") + resourcePath,
        QStringLiteral("资源目录内容: ") + nameListText(namesInListingOrder(resourcePath)),
    };
}

} // namespace Orvoinstaller::Testing
