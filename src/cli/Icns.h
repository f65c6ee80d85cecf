#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <variant>

namespace Orvoinstaller {

// An Apple icon file (.icns) with PNG images of every size Finder and the Dock ask for,
// scaled down from one square picture of at least 1024 pixels. Otherwise the reason.
std::variant<QByteArray, QString> icnsFromImage(const QImage& image);

} // namespace Orvoinstaller
