#include "ui/Style.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleHints>
#include <QSvgRenderer>

#include <map>
#include <optional>
#include <tuple>

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

bool isDark() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    switch (QGuiApplication::styleHints()->colorScheme()) {
    case Qt::ColorScheme::Dark:
        return true;
    case Qt::ColorScheme::Light:
        return false;
    case Qt::ColorScheme::Unknown:
        break;
    }
#endif
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

QColor systemBlue() {
    return isDark() ? QColor(0x0A, 0x84, 0xFF) : QColor(0x00, 0x7A, 0xFF);
}
QColor warning() {
    return isDark() ? QColor(0xFF, 0x9F, 0x0A) : QColor(0xFF, 0x95, 0x00);
}
QColor systemGray() {
    // The same in both appearances.
    return QColor(0x8E, 0x8E, 0x93);
}
QColor separator(qreal opacity) {
    // Gray disappears into a dark window; a faint white reads as the same line there.
    QColor line = isDark() ? QColor(Qt::white) : systemGray();
    line.setAlphaF(isDark() ? opacity * 0.75 : opacity);
    return line;
}

QColor color(Tint tint) {
    switch (tint) {
    case Tint::accent:
        return systemBlue();
    case Tint::secondary:
        return secondaryLabel(QGuiApplication::palette());
    case Tint::buttonText:
        break;
    }
    return QGuiApplication::palette().color(QPalette::ButtonText);
}
QColor white() {
    return QColor(Qt::white);
}
QColor disabledButtonText() {
    return isDark() ? QColor(255, 255, 255, 125) : QColor(0, 0, 0, 115);
}

QColor secondaryLabel(const QPalette& palette) {
    return palette.color(QPalette::PlaceholderText);
}

QColor windowBackground(const QPalette& palette) {
    return palette.color(QPalette::Window);
}

namespace {

// Draws a bundled icon on demand, at the size and scale it is asked for, and keeps what it
// drew. Nothing is drawn for sizes, scales or modes the window never shows.
class TintedIconEngine : public QIconEngine {
public:
    TintedIconEngine(QString name, QColor color) : m_name(std::move(name)), m_color(color) {}
    TintedIconEngine(QString name, Tint tint) : m_name(std::move(name)), m_tint(tint) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        if (size.isEmpty())
            return {};
        const bool disabled = mode == QIcon::Disabled;
        const QColor tinted = m_tint ? Style::color(*m_tint) : m_color;
        const auto key = std::tuple(size.width(), size.height(), disabled, tinted.rgba());
        if (const auto found = m_drawn.find(key); found != m_drawn.end())
            return found->second;
        QColor color = tinted;
        if (disabled)
            color.setAlphaF(color.alphaF() * 0.4);
        const QPixmap drawn = draw(size, color);
        m_drawn.emplace(key, drawn);
        return drawn;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap(rect.size() * dpr, mode, state);
        drawn.setDevicePixelRatio(dpr);
        painter->drawPixmap(rect, drawn);
    }

    QIconEngine* clone() const override { return new TintedIconEngine(*this); }
    QString key() const override { return QStringLiteral("tinted"); }

private:
    QPixmap draw(const QSize& size, const QColor& color) const {
        static const bool registered = (registerIconResources(), true);
        Q_UNUSED(registered);
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(m_name));
        renderer.render(&painter);
        // The drawings are black; keep their coverage and paint it in the wanted colour.
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(image.rect(), color);
        painter.end();
        return QPixmap::fromImage(image);
    }

    QString m_name;
    QColor m_color;
    std::optional<Tint> m_tint;
    // By size, mode and colour: an appearance switched back finds its drawings again.
    std::map<std::tuple<int, int, bool, QRgb>, QPixmap> m_drawn;
};

} // namespace

QIcon icon(const QString& name, const QColor& color) {
    // Every folder row asks for the same picker icon: one engine, so each size is drawn once.
    static QHash<QString, QIcon> made;
    const QString key = name + QLatin1Char('|') + color.name(QColor::HexArgb);
    if (const auto found = made.constFind(key); found != made.constEnd())
        return *found;
    const QIcon result(new TintedIconEngine(name, color));
    made.insert(key, result);
    return result;
}

QIcon icon(const QString& name, Tint tint) {
    static QHash<QString, QIcon> made;
    const QString key = name + QLatin1Char('|') + QString::number(static_cast<int>(tint));
    if (const auto found = made.constFind(key); found != made.constEnd())
        return *found;
    const QIcon result(new TintedIconEngine(name, tint));
    made.insert(key, result);
    return result;
}

int defaultPadding() {
    return QApplication::style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
}

} // namespace Orvoinstaller::Style
