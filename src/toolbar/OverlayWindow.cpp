#include "toolbar/OverlayWindow.h"

#include <QPainter>

namespace qb {

// The window manager is kept out: the overlay follows the pointer every 16 ms, and a managed
// window would wait for the manager on every move and resize.
TOverlay1::TOverlay1()
    : QWidget(nullptr,
          Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
              | Qt::BypassWindowManagerHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void TOverlay1::OverlayBitmap32(
    const TBitmap32& image, double dragRatio, double scale, double angleDeg, QPoint pivotOnScreen)
{
    const TOverlayGeometry g
        = OverlayGeometry(QSize(image.Width(), image.Height()), dragRatio, scale, angleDeg);
    FDest = OverlayPicture(image, g);
    FPtDst = pivotOnScreen + g.Offset;
    FSzWnd = g.Size;
    setGeometry(QRect(FPtDst, FSzWnd));
    update();
    if (!isVisible())
        show();
}

void TOverlay1::paintEvent(QPaintEvent*)
{
    if (FDest.IsEmpty())
        return;
    QPainter painter(this);
    // The window's own pixels are replaced, alpha included: Qt premultiplies for the compositor.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), FDest.AsImage());
}

} // namespace qb
