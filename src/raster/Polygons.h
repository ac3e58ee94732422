#pragma once

#include "raster/Bitmap32.h"

#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QTransform>

namespace qb {

// Vector drawing on a TBitmap32: anti-aliased, painted over the pixels (Porter-Duff "over").
// Coordinates are in pixels with (0, 0) the top-left corner of the first pixel, so the centre
// of pixel (x, y) is (x + 0.5, y + 0.5).

enum class TFillMode {
    Alternate, // even-odd
    Winding, // non-zero
};

enum class TJoinStyle {
    Miter,
    Bevel,
    Round,
};

enum class TEndStyle {
    Butt, // flat, ending at the end point
    Square, // flat, half the width beyond the end point
    Round,
};

struct TColorStop {
    double Offset = 0; // 0..1 along the gradient
    TColor32 Color = 0;
};

// How a gradient continues beyond its last stop.
enum class TWrapMode {
    Clamp,
    Repeat,
    Mirror,
};

// Colours by distance from Centre: offset 0 at the centre, 1 on the ellipse with the radii.
struct TRadialGradient {
    QPointF Centre;
    double RadiusX = 1;
    double RadiusY = 1;
    QList<TColorStop> Stops;
    TWrapMode Wrap = TWrapMode::Clamp;
};

void PolygonFS(
    TBitmap32& bitmap, const QPolygonF& points, TColor32 colour, TFillMode mode = TFillMode::Winding);
void PolygonFS(TBitmap32& bitmap, const QPolygonF& points, const TRadialGradient& gradient,
    TFillMode mode = TFillMode::Winding);
// Several outlines filled as one shape (holes by the fill mode).
void PolyPolygonFS(TBitmap32& bitmap, const QList<QPolygonF>& polygons, TColor32 colour,
    TFillMode mode = TFillMode::Winding);

// A stroke of `width` along the points; `closed` joins the last point to the first.
void PolylineFS(TBitmap32& bitmap, const QPolygonF& points, TColor32 colour, bool closed, double width,
    TJoinStyle join = TJoinStyle::Miter, TEndStyle end = TEndStyle::Butt, double miterLimit = 4.0);
void LineFS(TBitmap32& bitmap, const QPointF& from, const QPointF& to, TColor32 colour, double width,
    TEndStyle end = TEndStyle::Butt);

// Outlines as polygons. `steps` 0 chooses enough corners for the radius to look round.
QPolygonF Circle(const QPointF& centre, double radius, int steps = 0);
QPolygonF Ellipse(const QPointF& centre, double radiusX, double radiusY, int steps = 0);
QPolygonF Rectangle(const QRectF& rect);
QPolygonF TranslatePolygon(const QPolygonF& points, double dx, double dy);

// The closed outline moved outwards by `delta` (inwards when negative): every edge shifted
// along its normal; convex corners joined by `join` (Round: an arc of radius delta), concave
// ones by the edges' crossing. Repeated points are ignored; a single point grows into a circle,
// collinear points into a stadium. Meant for convex outlines such as rectangles.
QPolygonF Grow(
    const QPolygonF& points, double delta, TJoinStyle join = TJoinStyle::Round, double miterLimit = 4.0);

// A rectangle with corners of `radius` (limited to half the smaller side), built the way the
// bar draws them: the rectangle shrunk by the radius, grown again with round joins.
QPolygonF RoundRect(const QRectF& rect, double radius);

// Draws `src` through an affine transformation (source pixel coordinates to destination
// pixel coordinates), sampling bilinearly with the source's pixel access at its border and
// combining with the source's draw mode, combine mode and master alpha.
void Transform(TBitmap32& dst, const TBitmap32& src, const QTransform& transform);

} // namespace qb
