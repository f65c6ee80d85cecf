#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPushButton>
#include <QTimer>

namespace Orvoinstaller {

// A button without bezel or background: its icon and text drawn in the accent colour of the
// current appearance, at their natural size. Used for the tutorial button, the
// release-address link and the picker.
class PlainButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit PlainButton(QWidget* parent = nullptr);

    void setUnderline(bool underline);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The install button: a filled rounded label, blue when idle and gray with a spinning
// indicator while busy; icon and text in white.
class InstallButton : public QPushButton {
    Q_OBJECT

public:
    explicit InstallButton(QWidget* parent = nullptr);

    void setBusy(bool busy);
    bool isBusy() const { return m_busy; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Return and Enter press it when it has the focus, as Space does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_busy = false;
    int m_spinnerStep = 0;
    QTimer m_spinnerTimer;
};

} // namespace Orvoinstaller
