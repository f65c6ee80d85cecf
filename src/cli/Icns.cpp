#include "cli/Icns.h"

#include <QBuffer>
#include <QtEndian>

#include <array>

namespace Orvoinstaller {

namespace {

struct Entry {
    const char* type;
    int size;
};

// ic11-ic14 and ic10 are the doubled-density variants; ic10 is 512 points at 2x.
constexpr std::array<Entry, 10> entries{{{"icp4", 16},
                                         {"icp5", 32},
                                         {"ic11", 32},
                                         {"ic12", 64},
                                         {"ic07", 128},
                                         {"ic13", 256},
                                         {"ic08", 256},
                                         {"ic14", 512},
                                         {"ic09", 512},
                                         {"ic10", 1024}}};

void appendLength(QByteArray& out, qsizetype length) {
    char bytes[4];
    qToBigEndian(static_cast<quint32>(length), bytes);
    out.append(bytes, 4);
}

} // namespace

std::variant<QByteArray, QString> icnsFromImage(const QImage& image) {
    if (image.isNull())
        return QStringLiteral("not a picture");
    if (image.width() != image.height() || image.width() < 1024)
        return QStringLiteral("the picture is %1 x %2 pixels; it must be square, 1024 or larger")
            .arg(image.width())
            .arg(image.height());
    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    QByteArray body;
    for (const Entry& entry : entries) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        source.scaled(entry.size, entry.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .save(&buffer, "PNG");
        body.append(entry.type, 4);
        appendLength(body, png.size() + 8);
        body.append(png);
    }
    QByteArray icns("icns");
    appendLength(icns, body.size() + 8);
    return icns + body;
}

} // namespace Orvoinstaller
