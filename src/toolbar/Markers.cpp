#include "toolbar/Markers.h"

#include "raster/Filters.h"
#include "raster/Polygons.h"

#include <QPolygonF>

#include <algorithm>

namespace qb {

namespace {

void MakeOverlay(TBitmap32& b, int side)
{
    b.SetSize(side, side);
    b.Clear(0);
    b.SetDrawMode(TDrawMode::Blend);
    b.SetCombineMode(TCombineMode::Merge);
    b.SetResampler(TResamplerKind::Linear);
}

// Points along a quadratic curve from `from` to `to`, `from` itself left out.
void AppendCurve(QPolygonF& p, QPointF from, QPointF control, QPointF to, int steps)
{
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps;
        const double u = 1 - t;
        p << u * u * from + 2 * u * t * control + t * t * to;
    }
}

// The shield's outline in a square of edge `s`: a flat top dipping gently towards the middle,
// straight shoulders and sides that bow in to a point at the bottom.
QPolygonF ShieldOutline(double s)
{
    const auto at = [s](double x, double y) { return QPointF(x * s, y * s); };
    QPolygonF p;
    p << at(0.50, 0.10);
    AppendCurve(p, at(0.50, 0.10), at(0.68, 0.17), at(0.86, 0.14), 8);
    p << at(0.86, 0.48);
    AppendCurve(p, at(0.86, 0.48), at(0.84, 0.78), at(0.50, 0.94), 12);
    AppendCurve(p, at(0.50, 0.94), at(0.16, 0.78), at(0.14, 0.48), 12);
    p << at(0.14, 0.14);
    AppendCurve(p, at(0.14, 0.14), at(0.32, 0.17), at(0.50, 0.10), 7);
    return p;
}

} // namespace

TBitmap32 MakeSoundMarker(int iconSize)
{
    const int s = std::max(1, iconSize / 4);
    TBitmap32 b;
    MakeOverlay(b, s);
    const double c = s / 2.0;
    const double radius = 0.45 * s;
    PolygonFS(b, Circle(QPointF(c, c), radius), 0xB000FFFF);
    const double half = 0.55 * radius;
    PolygonFS(b, RoundRect(QRectF(c - half, c - half, 2 * half, 2 * half), 0.2 * radius), 0xFFFFFFFF);
    return b;
}

TBitmap32 MakeAdminMarker(int iconSize)
{
    // Drawn at full size and then reduced, so the small picture keeps a smooth outline.
    const int full = std::max(4, iconSize);
    TBitmap32 b;
    MakeOverlay(b, full);
    const double s = full;
    const QPolygonF outline = ShieldOutline(s);
    PolygonFS(b, outline, 0xFF15306E);
    const QPolygonF inner = Grow(outline, -0.07 * s, TJoinStyle::Round);
    TRadialGradient face;
    face.Centre = QPointF(0.38 * s, 0.30 * s);
    face.RadiusX = face.RadiusY = 0.75 * s;
    face.Stops = { { 0.0, 0xFF6FA8F0 }, { 1.0, 0xFF1F4FB0 } };
    PolygonFS(b, inner, face);
    // The right half a shade darker, as if lit from the left.
    const QPolygonF rightHalf = inner.intersected(QPolygonF(QRectF(0.5 * s, 0, 0.5 * s, s)));
    PolygonFS(b, rightHalf, 0x40000830);
    // A gold bar across the middle.
    const QPolygonF band = inner.intersected(QPolygonF(QRectF(0, 0.40 * s, s, 0.12 * s)));
    PolygonFS(b, band, 0xFFF2C230);
    ResizeLinear(b, std::max(1, iconSize / 4), std::max(1, iconSize / 4));
    return b;
}

} // namespace qb
