#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <variant>
#include <vector>

namespace Orvoinstaller {

// An Apple icon file (.icns) with PNG images of every size Finder and the Dock ask for,
// scaled down from one square picture of at least 1024 pixels. Otherwise the reason.
std::variant<QByteArray, QString> icnsFromImage(const QImage& image);

// The pictures of an icns file that Qt can draw without a plug-in: its PNG entries and its
// classic run-length ones of 16, 32 and 128 pixels with their masks. JPEG 2000 entries and
// broken ones are left out.
std::vector<QImage> icnsImages(const QByteArray& icns);

} // namespace Orvoinstaller
