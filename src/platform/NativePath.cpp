#include "platform/NativePath.h"

#include <algorithm>

namespace Orvoinstaller {

namespace {

constexpr char16_t escapeBase = 0xDC00;

bool isEscape(char16_t c) {
    return c >= escapeBase + 0x80 && c <= escapeBase + 0xFF;
}

// Bytes a valid UTF-8 sequence starting with `lead` takes, or 0 for a byte that starts none.
qsizetype sequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

} // namespace

QString pathFromNative(QByteArrayView bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() == bytes)
        return text;
    text.clear();
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const qsizetype length = sequenceLength(lead);
        if (length > 0 && i + length <= bytes.size()) {
            const QByteArrayView piece = bytes.sliced(i, length);
            const QString decoded = QString::fromUtf8(piece);
            // Overlong forms and encoded surrogates do not come back as they went in.
            if (decoded.toUtf8() == piece) {
                text += decoded;
                i += length;
                continue;
            }
        }
        text += QChar(static_cast<char16_t>(escapeBase + lead));
        ++i;
    }
    return text;
}

QByteArray nativePath(const QString& path) {
    if (std::none_of(path.cbegin(), path.cend(), [](QChar c) { return isEscape(c.unicode()); }))
        return path.toUtf8();
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        // A low surrogate after a high one is half of a real character, not an escape.
        if (!isEscape(c) || (i > 0 && path[i - 1].isHighSurrogate()))
            continue;
        bytes += QStringView(path).sliced(start, i - start).toUtf8();
        bytes += static_cast<char>(c - escapeBase);
        start = i + 1;
    }
    bytes += QStringView(path).sliced(start).toUtf8();
    return bytes;
}

QString environmentPath(const char* name) {
    return pathFromNative(qgetenv(name));
}

} // namespace Orvoinstaller
