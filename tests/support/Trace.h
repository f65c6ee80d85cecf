#pragma once

#include <QString>
#include <QStringList>

namespace Orvoinstaller::Testing {

// Cuts every line that starts with one of `prefixes` down to that prefix followed by "…",
// so whole traces compare line by line where a value is the platform's own wording.
QStringList maskValues(QStringList lines, const QStringList& prefixes);

// The entry names of a folder, hidden ones included, in the file system's order.
QStringList namesInListingOrder(const QString& dir);

// The lines locating the resource folder when the bundle's own one is there and readable.
QStringList resourceFoundTrace(const QString& identifier, const QString& bundlePath,
                               const QString& resourcePath);

} // namespace Orvoinstaller::Testing

#include <QTest>
#include <QUrl>

#include <optional>

// Readable failure messages for the optional values the state object hands out.
namespace QTest {
template <> inline char* toString(const std::optional<QString>& value) {
    return value ? toString(QStringLiteral("\"%1\"").arg(*value)) : qstrdup("(absent)");
}
template <> inline char* toString(const std::optional<QUrl>& value) {
    return value ? toString(value->toString()) : qstrdup("(absent)");
}
} // namespace QTest
