#include "ui/Style.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QSvgRenderer>

// Resources compiled into a static library must be registered by hand.
static void registerIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace Orvoinstaller::Style {

QFont font(TextRole role) {
    QFont f = QApplication::font();
    const qreal base = f.pointSizeF() > 0 ? f.pointSizeF() : 10.0;
    // Ratios of the platform's role sizes to its body size (13 pt body).
    switch (role) {
    case TextRole::body:
        break;
    case TextRole::headline:
        f.setBold(true);
        break;
    case TextRole::subheadline:
        f.setPointSizeF(base * 11.0 / 13.0);
        break;
    case TextRole::caption:
    case TextRole::footnote:
        f.setPointSizeF(base * 10.0 / 13.0);
        break;
    }
    return f;
}

QColor systemBlue() {
    return QColor(0x00, 0x7A, 0xFF);
}
QColor systemGray() {
    return QColor(0x8E, 0x8E, 0x93);
}
QColor white() {
    return QColor(Qt::white);
}

QColor secondaryLabel(const QPalette& palette) {
    return palette.color(QPalette::PlaceholderText);
}

QColor windowBackground(const QPalette& palette) {
    return palette.color(QPalette::Window);
}

namespace {

QPixmap tinted(const QString& name, const QColor& color, int size, qreal dpr) {
    static const bool registered = (registerIconResources(), true);
    Q_UNUSED(registered);
    const int pixels = qRound(size * dpr);
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(name));
    renderer.render(&painter);
    // The drawings are black; keep their coverage and paint it in the wanted colour.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    painter.end();
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

} // namespace

QIcon icon(const QString& name, const QColor& color, int size) {
    // Every folder row asks for the same picker icon: draw each icon once.
    static QHash<QString, QIcon> drawn;
    const QString key = QStringLiteral("%1|%2|%3").arg(name, color.name(QColor::HexArgb)).arg(size);
    if (const auto found = drawn.constFind(key); found != drawn.constEnd())
        return *found;
    const qreal dpr = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QColor faded = color;
    faded.setAlphaF(color.alphaF() * 0.4);
    QIcon result;
    for (qreal scale : {1.0, dpr > 1.0 ? dpr : 2.0}) {
        result.addPixmap(tinted(name, color, size, scale), QIcon::Normal);
        result.addPixmap(tinted(name, faded, size, scale), QIcon::Disabled);
    }
    drawn.insert(key, result);
    return result;
}

int defaultPadding() {
    return QApplication::style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
}

} // namespace Orvoinstaller::Style
