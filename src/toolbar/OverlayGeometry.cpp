#include "toolbar/OverlayGeometry.h"

#include "raster/Polygons.h"
#include "raster/Round.h"

#include <QRectF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qb {

namespace {

// The smallest scale the overlay shows an icon at.
constexpr double KMinScale = 0.05;
// Spare pixels around the turned picture, so the soft edges of the resampling are not cut off.
constexpr int KMargin = 4;

// Whole pixels that a turn by a multiple of 90 degrees reaches only up to rounding noise
// (cos 90 is not exactly 0) must not grow the window by a pixel.
double Snapped(double v)
{
    const double nearest = std::round(v);
    return std::abs(v - nearest) < 1e-9 ? nearest : v;
}

QRect OuterPixels(const QRectF& r, int margin)
{
    const int left = int(std::floor(Snapped(r.left()))) - margin;
    const int top = int(std::floor(Snapped(r.top()))) - margin;
    const int right = int(std::ceil(Snapped(r.right()))) + margin;
    const int bottom = int(std::ceil(Snapped(r.bottom()))) + margin;
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

QTransform TurnDegrees(double angleDeg)
{
    const double a = angleDeg * std::numbers::pi / 180.0;
    const double s = std::sin(a);
    const double c = std::cos(a);
    // x' = c x + s y, y' = -s x + c y
    return QTransform(c, -s, s, c, 0, 0);
}

TOverlayGeometry OverlayGeometry(QSize imageSize, double dragRatio, double scale, double angleDeg)
{
    TOverlayGeometry g;
    g.Pivot = QPoint(imageSize.width() / 2, RoundHalfEven(imageSize.height() * 0.25));
    const double ratio = dragRatio > 0 ? dragRatio : 1.0;
    g.Scale = std::max(scale, KMinScale) / ratio;

    const double px = g.Pivot.x();
    const double py = g.Pivot.y();
    const QTransform turnAndScale = QTransform::fromTranslate(-px, -py) * TurnDegrees(angleDeg)
        * QTransform::fromTranslate(px, py) * QTransform::fromScale(g.Scale, g.Scale);
    const QRect bounds
        = OuterPixels(turnAndScale.mapRect(QRectF(0, 0, imageSize.width(), imageSize.height())), KMargin);

    g.Transform = turnAndScale * QTransform::fromTranslate(-bounds.x(), -bounds.y());
    g.Size = bounds.size();
    g.Offset = QPoint(bounds.x() - RoundHalfEven(g.Scale * px), bounds.y() - RoundHalfEven(g.Scale * py));
    return g;
}

TBitmap32 OverlayPicture(const TBitmap32& image, const TOverlayGeometry& geometry)
{
    TBitmap32 dest(geometry.Size.width(), geometry.Size.height());
    dest.SetDrawMode(TDrawMode::Blend);
    dest.SetCombineMode(TCombineMode::Merge);
    Transform(dest, image, geometry.Transform);
    return dest;
}

TTurnedLayer TurnedLayer(const TBitmap32& bitmap, QPointF pivot, double angleDeg, QPointF position)
{
    const QTransform turn = QTransform::fromTranslate(-pivot.x(), -pivot.y()) * TurnDegrees(angleDeg)
        * QTransform::fromTranslate(position.x(), position.y());
    // One spare pixel on each side keeps the soft edge of a turned picture.
    const QRect bounds = OuterPixels(turn.mapRect(QRectF(bitmap.BoundsRect())), 1);

    TTurnedLayer layer;
    layer.TopLeft = bounds.topLeft();
    layer.Picture.SetSize(bounds.width(), bounds.height());
    layer.Picture.SetDrawMode(TDrawMode::Blend);
    layer.Picture.SetCombineMode(TCombineMode::Merge);
    layer.Picture.SetResampler(TResamplerKind::Linear);
    layer.Picture.SetPixelAccess(TPixelAccess::TransparentEdge);
    Transform(layer.Picture, bitmap, turn * QTransform::fromTranslate(-bounds.x(), -bounds.y()));
    return layer;
}

} // namespace qb
