#pragma once

#include <QImage>
#include <QWidget>

namespace qb {

// Receives what happens to the bar window. Implemented by the bar's controller.
class IBarWindowEvents {
public:
    virtual ~IBarWindowEvents() = default;
    virtual void BarMousePress(QMouseEvent& event) = 0;
    virtual void BarMouseMove(QMouseEvent& event) = 0;
    virtual void BarMouseRelease(QMouseEvent& event) = 0;
    virtual void BarDoubleClick(QMouseEvent& event) = 0;
    virtual void BarEnter() = 0;
    virtual void BarLeave() = 0;
    virtual void BarWheel(QWheelEvent& event) = 0;
    virtual void BarKeyPress(QKeyEvent& event) = 0;
    virtual void BarKeyRelease(QKeyEvent& event) = 0;
    // The window's first picture reached the screen.
    virtual void BarFirstPainted() = 0;
    // The window became active, or lost the activation.
    virtual void BarActivated() = 0;
    virtual void BarDeactivated() = 0;
    // The user or the session asks the window to close.
    virtual void BarCloseRequested() = 0;
};

// The bar's window: frameless, optionally top-most, kept out of the task bar unless asked. It
// shows the page picture stretched over its whole client area (so the window size is the
// picture's natural size times the zoom) and hands every pointer and key event to its owner.
class TBarWindow final : public QWidget {
    Q_OBJECT
public:
    explicit TBarWindow(IBarWindowEvents& events);

    // Flags that need the window to be re-created are applied while it is hidden.
    void SetStanding(bool onTop, bool showAltTab);
    // The picture to show; it is drawn stretched to the window.
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return FPicture; }
    // While the bar slides or is slid out the window shows only part of the picture: drawn at
    // `fullSize` against the window side(s) in `alignment`. An empty alignment fills the window.
    void SetPictureAlignment(Qt::Alignment alignment, QSize fullSize);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    IBarWindowEvents& FEvents;
    QImage FPicture;
    bool FPainted = false;
    Qt::Alignment FAlignment;
    QSize FFullSize;
};

} // namespace qb
