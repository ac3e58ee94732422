#include "toolbar/BarWindow.h"

#include <QCloseEvent>
#include <QPainter>
#include <QTimer>

namespace qb {

TBarWindow::TBarWindow(IBarWindowEvents& events)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::Tool)
    , FEvents(events)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void TBarWindow::SetStanding(bool onTop, bool showAltTab)
{
    Qt::WindowFlags flags = Qt::FramelessWindowHint;
    flags |= showAltTab ? Qt::Window : Qt::Tool;
    if (onTop)
        flags |= Qt::WindowStaysOnTopHint;
    if (flags == windowFlags())
        return;
    const bool visible = isVisible();
    setWindowFlags(flags);
    if (visible)
        show();
}

void TBarWindow::SetPicture(const QImage& picture)
{
    FPicture = picture;
    update();
}

void TBarWindow::SetPictureAlignment(Qt::Alignment alignment, QSize fullSize)
{
    if (alignment == FAlignment && fullSize == FFullSize)
        return;
    FAlignment = alignment;
    FFullSize = fullSize;
    update();
}

void TBarWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (FPicture.isNull()) {
        painter.fillRect(rect(), palette().button());
        return;
    }
    QRect target = rect();
    if (FAlignment && FFullSize.isValid()) {
        target.setSize(FFullSize);
        if (FAlignment & Qt::AlignRight)
            target.moveRight(rect().right());
        if (FAlignment & Qt::AlignBottom)
            target.moveBottom(rect().bottom());
    }
    if (FPicture.size() != target.size())
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(target, FPicture);
    if (!FPainted) {
        FPainted = true;
        // Told from the event loop, once this paint has been flushed to the screen.
        QTimer::singleShot(0, this, [this] { FEvents.BarFirstPainted(); });
    }
}

void TBarWindow::mousePressEvent(QMouseEvent* event)
{
    FEvents.BarMousePress(*event);
}

void TBarWindow::mouseMoveEvent(QMouseEvent* event)
{
    FEvents.BarMouseMove(*event);
}

void TBarWindow::mouseReleaseEvent(QMouseEvent* event)
{
    FEvents.BarMouseRelease(*event);
}

void TBarWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    FEvents.BarDoubleClick(*event);
}

void TBarWindow::enterEvent(QEnterEvent*)
{
    FEvents.BarEnter();
}

void TBarWindow::leaveEvent(QEvent*)
{
    FEvents.BarLeave();
}

void TBarWindow::wheelEvent(QWheelEvent* event)
{
    FEvents.BarWheel(*event);
}

void TBarWindow::keyPressEvent(QKeyEvent* event)
{
    FEvents.BarKeyPress(*event);
}

void TBarWindow::keyReleaseEvent(QKeyEvent* event)
{
    FEvents.BarKeyRelease(*event);
}

void TBarWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            FEvents.BarActivated();
        else
            FEvents.BarDeactivated();
    }
    QWidget::changeEvent(event);
}

void TBarWindow::closeEvent(QCloseEvent* event)
{
    // The owner decides when the window goes away: closing saves and fades out first.
    event->ignore();
    FEvents.BarCloseRequested();
}

} // namespace qb
