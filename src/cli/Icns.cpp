#include "cli/Icns.h"

#include <QBuffer>
#include <QtEndian>

#include <array>
#include <map>

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

namespace {

// The three colour planes of a classic entry, each run-length coded: a byte below 0x80 is
// followed by that many plus one literal bytes, one above by a byte repeated it less 0x7D
// times.
QByteArray unpackPlanes(const QByteArray& packed, qsizetype from, qsizetype wanted) {
    QByteArray planes;
    planes.reserve(wanted);
    for (qsizetype at = from; at < packed.size() && planes.size() < wanted;) {
        const auto code = static_cast<quint8>(packed[at++]);
        if (code < 0x80) {
            const qsizetype count = code + 1;
            if (at + count > packed.size())
                break;
            planes.append(packed.mid(at, count));
            at += count;
        } else if (at < packed.size()) {
            planes.append(QByteArray(code - 0x80 + 3, packed[at++]));
        }
    }
    return planes.size() == wanted ? planes : QByteArray();
}

} // namespace

std::vector<QImage> icnsImages(const QByteArray& icns) {
    const auto length = [&](qsizetype at) {
        return static_cast<qsizetype>(qFromBigEndian<quint32>(icns.constData() + at));
    };
    std::map<QByteArray, QByteArray> entries;
    if (icns.size() < 8 || !icns.startsWith("icns"))
        return {};
    for (qsizetype at = 8; at + 8 <= icns.size();) {
        const qsizetype size = length(at + 4);
        if (size < 8 || at + size > icns.size())
            break;
        entries[icns.mid(at, 4)] = icns.mid(at + 8, size - 8);
        at += size;
    }
    std::vector<QImage> images;
    for (const auto& [type, data] : entries) {
        if (data.startsWith("\x89PNG"))
            if (QImage image = QImage::fromData(data, "PNG"); !image.isNull())
                images.push_back(std::move(image));
    }
    const struct {
        const char* colour;
        const char* mask;
        int side;
        int header; // it32's planes follow four zero bytes
    } classic[] = {{"is32", "s8mk", 16, 0}, {"il32", "l8mk", 32, 0}, {"it32", "t8mk", 128, 4}};
    for (const auto& entry : classic) {
        const auto colour = entries.find(entry.colour);
        const auto mask = entries.find(entry.mask);
        const qsizetype pixels = entry.side * entry.side;
        if (colour == entries.end() || mask == entries.end() || mask->second.size() != pixels)
            continue;
        const QByteArray planes = unpackPlanes(colour->second, entry.header, 3 * pixels);
        if (planes.isEmpty())
            continue;
        QImage image(entry.side, entry.side, QImage::Format_ARGB32);
        for (qsizetype i = 0; i < pixels; ++i) {
            const auto at = [&](qsizetype index) { return static_cast<quint8>(planes[index]); };
            image.setPixel(static_cast<int>(i % entry.side), static_cast<int>(i / entry.side),
                           qRgba(at(i), at(pixels + i), at(2 * pixels + i),
                                 static_cast<quint8>(mask->second[i])));
        }
        images.push_back(std::move(image));
    }
    return images;
}

} // namespace Orvoinstaller
