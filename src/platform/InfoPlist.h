#pragma once

#include "base/Result.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace Orvoinstaller {

// A bundle's Info.plist in Apple's XML form: its top-level strings read, some changed, and
// everything else written back as it was, so that a copied bundle keeps what the build put
// there (LSMinimumSystemVersion, NSHighResolutionCapable, …).
class InfoPlist {
public:
    // Empty when `xml` is not a property list whose top is a dictionary.
    static std::optional<InfoPlist> parse(const QByteArray& xml);
    static Result<InfoPlist> read(const QString& path);
    QByteArray serialize() const;
    // In one atomic step: the old file or the new one, never a half-written one.
    Failure write(const QString& path) const;

    // The top-level keys whose values are strings.
    QHash<QString, QString> strings() const;
    void setString(const QString& key, const QString& value);

private:
    struct Value {
        QString type;               // the element: string, dict, array, true, integer, …
        QString text;               // of a scalar
        std::vector<QString> keys;  // of a dict, in order
        std::vector<Value> members; // of a dict (one per key) or an array
    };
    Value m_top;
};

// Writes `bytes` as the whole of the file at `path`, replacing it in one atomic step.
Failure saveFile(const QString& path, const QByteArray& bytes);

} // namespace Orvoinstaller
