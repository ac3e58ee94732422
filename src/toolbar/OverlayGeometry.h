#pragma once

#include "raster/Bitmap32.h"

#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QTransform>

namespace qb {

// Turning by a positive angle goes counter-clockwise on the screen (y down).
QTransform TurnDegrees(double angleDeg);

// Where and how big the floating window that carries a dragged icon outside the bar is.
struct TOverlayGeometry {
    QPoint Pivot; // in the image: (width div 2, Round(height x 0.25))
    double Scale = 1; // image pixels to screen pixels
    QTransform Transform; // image pixels to window pixels
    QSize Size; // of the window
    // The window's top-left corner relative to the screen point the pivot is held at.
    QPoint Offset;
};

// The image turned by `angleDeg` about its pivot and scaled by `scale` / `dragRatio` (the image
// is dragRatio times the bar's icon size, so `scale` is the zoom the icon is seen at). The
// window covers the turned image with 4 pixels to spare on every side. A scale of 0 or less,
// which the extra scale can reach on a small zoom, is taken as the smallest visible one.
TOverlayGeometry OverlayGeometry(QSize imageSize, double dragRatio, double scale, double angleDeg);

// The window's picture: the image drawn through the geometry's transformation onto a cleared
// bitmap of its size, with the image's own pixel access and combine mode.
TBitmap32 OverlayPicture(const TBitmap32& image, const TOverlayGeometry& geometry);

// The dragged icon on the bar's own layer: `bitmap` turned by `angleDeg` about `pivot` (a point
// of the bitmap) with its pivot at `position` (bitmap pixels of the bar). TopLeft is where the
// turned picture goes.
struct TTurnedLayer {
    TBitmap32 Picture;
    QPoint TopLeft;
};
TTurnedLayer TurnedLayer(const TBitmap32& bitmap, QPointF pivot, double angleDeg, QPointF position);

} // namespace qb
