#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

#include <optional>

class QPushButton;

namespace Orvoinstaller {

// Draws a picture scaled to fit the space it gets, keeping its aspect ratio.
class FittedImage : public QWidget {
    Q_OBJECT

public:
    explicit FittedImage(QImage image, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    const QImage& image() const { return m_image; }

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};

// The sheet that shows where the plug-ins appear in FCPX: the picture (when the bundle's
// resources hold a readable "插件位置.jpg") above the "关闭" button.
class LocationSheet : public QDialog {
    Q_OBJECT

public:
    // `resourcePath` is the bundle's resource folder, if it has one.
    LocationSheet(const std::optional<QString>& resourcePath, QWidget* parent);

    FittedImage* picture() const { return m_picture; }
    QPushButton* closeButton() const { return m_close; }

    static QString pictureFileName();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    FittedImage* m_picture = nullptr;
    QPushButton* m_close;
};

} // namespace Orvoinstaller
