#include "ui/LocationSheet.h"

#include "discovery/Pack.h"
#include "platform/FileSystem.h"
#include "platform/Language.h"
#include "ui/Style.h"

#include <QBuffer>
#include <QEvent>
#include <QImageReader>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace Orvoinstaller {

namespace {

// The largest picture size asked for, so that the sheet stays within the window.
constexpr QSize largestPicture(680, 390);

} // namespace

FittedImage::FittedImage(QImage image, QWidget* parent)
    : QWidget(parent), m_image(std::move(image)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setMinimumSize(120, 80);
    setAccessibleName(tr("插件位置"));
}

void FittedImage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        setAccessibleName(tr("插件位置"));
}

QSize FittedImage::sizeHint() const {
    QSize size = m_image.size() / m_image.devicePixelRatio();
    if (size.width() > largestPicture.width() || size.height() > largestPicture.height())
        size.scale(largestPicture, Qt::KeepAspectRatio);
    return size;
}

void FittedImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QSize fitted = m_image.size();
    fitted.scale(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    painter.drawImage(target, m_image);
}

QString LocationSheet::pictureFileName() {
    return Pack::locationPictureName();
}

std::optional<QString> LocationSheet::picture(const FileReader& fs,
                                              const std::optional<QString>& resourcePath) {
    if (!resourcePath)
        return std::nullopt;
    for (const QString& name :
         {Pack::locationPictureName(Language::current()), pictureFileName()}) {
        const QString path = joinPath(*resourcePath, name);
        if (fs.type(path, true) != FileReader::Type::missing)
            return path;
    }
    return std::nullopt;
}

LocationSheet::LocationSheet(const std::optional<QByteArray>& picture, QWidget* parent)
    : QDialog(parent, Qt::Sheet) {
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const int padding = Style::defaultPadding();

    // Looked up and read afresh each time the sheet is built; no message when unusable.
    if (picture) {
        QBuffer buffer;
        buffer.setData(*picture);
        QImageReader reader(&buffer);
        reader.setDecideFormatFromContent(true);
        const QImage image = reader.read();
        if (!image.isNull()) {
            m_picture = new FittedImage(image, this);
            auto* frame = new QVBoxLayout;
            frame->setContentsMargins(padding, padding, padding, padding);
            frame->addWidget(m_picture);
            layout->addLayout(frame, 1);
        }
    }

    m_close = new QPushButton(this);
    m_close->setDefault(true);
    m_close->setAutoDefault(true);
    auto* buttonRow = new QVBoxLayout;
    buttonRow->setContentsMargins(padding, m_picture ? 0 : padding, padding, padding);
    buttonRow->addWidget(m_close, 0, Qt::AlignHCenter);
    layout->addLayout(buttonRow);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
    retranslate();
}

void LocationSheet::retranslate() {
    setWindowTitle(tr("插件位置"));
    m_close->setText(tr("关闭"));
}

void LocationSheet::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

} // namespace Orvoinstaller
