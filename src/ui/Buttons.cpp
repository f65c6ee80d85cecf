#include "ui/Buttons.h"

#include "ui/Style.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFocusRect>

namespace Orvoinstaller {

namespace {

constexpr int iconTextSpacing = 6;
constexpr int defaultIconSize = 16;

QColor faded(QColor color, qreal factor) {
    color.setAlphaF(color.alphaF() * factor);
    return color;
}

void drawFocusRing(QPainter& painter, const QRectF& rect, qreal radius,
                   const QColor& color = faded(Style::systemBlue(), 0.6)) {
    QPen pen(color, 2);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius, radius);
}

} // namespace

PlainButton::PlainButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setIconSize(QSize(defaultIconSize, defaultIconSize));
}

void PlainButton::setUnderline(bool underline) {
    QFont f = font();
    f.setUnderline(underline);
    setFont(f);
    updateGeometry();
}

QSize PlainButton::sizeHint() const {
    const QFontMetrics metrics(font());
    int width = 0;
    int height = 0;
    if (!icon().isNull()) {
        width += iconSize().width();
        height = iconSize().height();
    }
    if (!text().isEmpty()) {
        if (width > 0)
            width += iconTextSpacing;
        width += metrics.horizontalAdvance(text());
        height = std::max(height, metrics.height());
    }
    // Room for the focus ring.
    return {width + 6, height + 4};
}

void PlainButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QSize content = sizeHint() - QSize(6, 4);
    int x = (width() - content.width()) / 2;
    const int centerY = height() / 2;
    if (!icon().isNull()) {
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        const QPixmap pixmap = icon().pixmap(iconSize(), devicePixelRatioF(), mode);
        painter.drawPixmap(x, centerY - iconSize().height() / 2, pixmap);
        x += iconSize().width() + iconTextSpacing;
    }
    if (!text().isEmpty()) {
        const QColor color = Style::systemBlue();
        painter.setPen(isEnabled() ? color : faded(color, 0.4));
        painter.setFont(font());
        const QFontMetrics metrics(font());
        painter.drawText(QRect(x, 0, metrics.horizontalAdvance(text()) + 1, height()),
                         Qt::AlignVCenter | Qt::AlignLeft, text());
    }
    if (hasFocus())
        drawFocusRing(painter, rect(), 4);
}

InstallButton::InstallButton(QWidget* parent) : QPushButton(parent) {
    setIconSize(QSize(defaultIconSize, defaultIconSize));
    setAutoDefault(false);
    m_spinnerTimer.setInterval(80);
    connect(&m_spinnerTimer, &QTimer::timeout, this, [this] {
        m_spinnerStep = (m_spinnerStep + 1) % 8;
        update();
    });
}

void InstallButton::setBusy(bool busy) {
    if (m_busy == busy)
        return;
    m_busy = busy;
    m_spinnerStep = 0;
    if (busy)
        m_spinnerTimer.start();
    else
        m_spinnerTimer.stop();
    update();
}

void InstallButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && isEnabled()) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

QSize InstallButton::sizeHint() const {
    const QFontMetrics metrics(font());
    const int content = iconSize().width() + iconTextSpacing + metrics.horizontalAdvance(text());
    // 8 points above and below the label row.
    return {content + 32, std::max(metrics.height(), iconSize().height()) + 16};
}

QSize InstallButton::minimumSizeHint() const {
    return sizeHint();
}

void InstallButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect());
    constexpr qreal radius = 8;
    QPainterPath shape;
    shape.addRoundedRect(area, radius, radius);
    painter.fillPath(shape, m_busy ? Style::systemGray() : Style::systemBlue());
    if (isDown())
        painter.fillPath(shape, QColor(0, 0, 0, 40));
    // Disabled while busy is said by the gray fill; otherwise the blue stays and the label
    // fades.
    if (!isEnabled() && !m_busy)
        painter.setOpacity(0.55);

    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(text());
    const int centerY = height() / 2;
    if (m_busy) {
        // An indeterminate spinner at 0.8 of its 16-point size, 4 points before the text.
        const qreal spinner = 16 * 0.8;
        const qreal total = spinner + 4 + textWidth;
        const qreal left = (width() - total) / 2;
        painter.save();
        painter.translate(left + spinner / 2, centerY);
        for (int i = 0; i < 8; ++i) {
            const int age = (m_spinnerStep - i + 8) % 8;
            painter.setPen(
                QPen(faded(Style::white(), 1.0 - age * 0.11), 1.6, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(0, -spinner * 0.25), QPointF(0, -spinner * 0.5));
            painter.rotate(-45);
        }
        painter.restore();
        painter.setPen(Style::white());
        painter.drawText(QRectF(left + spinner + 4, 0, textWidth + 1, height()),
                         Qt::AlignVCenter | Qt::AlignLeft, text());
    } else {
        const int total = iconSize().width() + iconTextSpacing + textWidth;
        const int left = (width() - total) / 2;
        painter.drawPixmap(left, centerY - iconSize().height() / 2,
                           icon().pixmap(iconSize(), devicePixelRatioF(), QIcon::Normal));
        painter.setPen(Style::white());
        painter.drawText(
            QRect(left + iconSize().width() + iconTextSpacing, 0, textWidth + 1, height()),
            Qt::AlignVCenter | Qt::AlignLeft, text());
    }
    painter.setOpacity(1.0);
    if (hasFocus())
        drawFocusRing(painter, area.adjusted(2, 2, -2, -2), radius - 2, faded(Style::white(), 0.8));
}

} // namespace Orvoinstaller
