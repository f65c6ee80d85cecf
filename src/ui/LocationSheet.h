#pragma once

#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <QString>

#include <optional>

class QPushButton;

namespace Orvoinstaller {

class FileReader;

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
// resources hold a readable "插件位置.jpg", or its English "插件位置.en.jpg") above the "关闭"
// button.
class LocationSheet : public QDialog {
    Q_OBJECT

public:
    // `picture` is the picture file to show, if there is one.
    // `picture`: the bytes of the picture file, when there is one.
    LocationSheet(const std::optional<QByteArray>& picture, QWidget* parent);

    FittedImage* picture() const { return m_picture; }
    QPushButton* closeButton() const { return m_close; }

    static QString pictureFileName();
    // The picture for the window's language in `resourcePath`: the language's own when the
    // pack has it, else the Chinese one; none when neither is there.
    static std::optional<QString> picture(const FileReader& fs,
                                          const std::optional<QString>& resourcePath);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    FittedImage* m_picture = nullptr;
    QPushButton* m_close;
};

} // namespace Orvoinstaller
