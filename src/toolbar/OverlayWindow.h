#pragma once

#include "raster/Bitmap32.h"
#include "toolbar/OverlayGeometry.h"

#include <QImage>
#include <QWidget>

namespace qb {

// The floating window that carries a dragged icon outside the bar: frameless, above other
// windows, see-through where the icon is, never taking the focus and letting the pointer pass
// (the bar keeps the pointer while the button is held, so wheel and release reach the bar).
class TOverlay1 final : public QWidget {
    Q_OBJECT
public:
    TOverlay1();

    // Shows `image` (dragRatio times the bar's icon size) turned by `angleDeg` about its pivot
    // and scaled to `scale`, the pivot held at `pivotOnScreen`.
    void OverlayBitmap32(
        const TBitmap32& image, double dragRatio, double scale, double angleDeg, QPoint pivotOnScreen);

    // The picture shown and where the window was put.
    const TBitmap32& Dest() const { return FDest; }
    QPoint PtDst() const { return FPtDst; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TBitmap32 FDest;
    QPoint FPtDst;
    QSize FSzWnd;
};

} // namespace qb
