#include "raster/Polygons.h"

#include "raster/Resamplers.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qb {

namespace {

template <typename F> void Paint(TBitmap32& bitmap, F&& f)
{
    if (bitmap.IsEmpty())
        return;
    QImage view = bitmap.AsImage();
    QPainter p(&view);
    p.setRenderHint(QPainter::Antialiasing);
    f(p);
}

Qt::FillRule ToQt(TFillMode mode)
{
    return mode == TFillMode::Alternate ? Qt::OddEvenFill : Qt::WindingFill;
}

Qt::PenJoinStyle ToQt(TJoinStyle join)
{
    switch (join) {
    case TJoinStyle::Bevel:
        return Qt::BevelJoin;
    case TJoinStyle::Round:
        return Qt::RoundJoin;
    case TJoinStyle::Miter:
        break;
    }
    return Qt::MiterJoin;
}

Qt::PenCapStyle ToQt(TEndStyle end)
{
    switch (end) {
    case TEndStyle::Square:
        return Qt::SquareCap;
    case TEndStyle::Round:
        return Qt::RoundCap;
    case TEndStyle::Butt:
        break;
    }
    return Qt::FlatCap;
}

// Corners for a round outline of radius r whose chords stray at most 0.1 px from the arc.
int StepsFor(double r)
{
    r = std::abs(r);
    if (r <= 0.1)
        return 8;
    const double step = 2 * std::acos(1 - 0.1 / r);
    return std::clamp(static_cast<int>(std::ceil(2 * std::numbers::pi / step)), 8, 2048);
}

// Appends the arc around c of radius r from angle a0 by `sweep` (radians), end points included.
void AddArc(QPolygonF& out, const QPointF& c, double r, double a0, double sweep)
{
    // An even count puts a corner on the middle of the arc: a half circle reaches its apex.
    int n = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / (2 * std::numbers::pi) * StepsFor(r))));
    n += n % 2;
    for (int i = 0; i <= n; ++i) {
        const double a = a0 + sweep * i / n;
        out << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
}

double Length(const QPointF& v)
{
    return std::hypot(v.x(), v.y());
}

QPolygonF WithoutRepeats(const QPolygonF& points)
{
    QPolygonF out;
    for (const QPointF& p : points) {
        if (out.isEmpty() || Length(p - out.last()) > 1e-9)
            out << p;
    }
    while (out.size() > 1 && Length(out.first() - out.last()) <= 1e-9)
        out.removeLast();
    return out;
}

double SignedArea(const QPolygonF& p)
{
    double a = 0;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QPointF& u = p[i];
        const QPointF& v = p[(i + 1) % p.size()];
        a += u.x() * v.y() - v.x() * u.y();
    }
    return a / 2;
}

// The outline of all points within r of the segment a-b.
QPolygonF Stadium(const QPointF& a, const QPointF& b, double r)
{
    const QPointF d = (b - a) / Length(b - a);
    const double angle = std::atan2(d.y(), d.x());
    const double half = std::numbers::pi / 2;
    QPolygonF out;
    AddArc(out, b, r, angle - half, std::numbers::pi);
    AddArc(out, a, r, angle + half, std::numbers::pi);
    return out;
}

} // namespace

void PolygonFS(TBitmap32& bitmap, const QPolygonF& points, TColor32 colour, TFillMode mode)
{
    if (points.size() < 3)
        return;
    Paint(bitmap, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgba(colour));
        p.drawPolygon(points, ToQt(mode));
    });
}

void PolygonFS(TBitmap32& bitmap, const QPolygonF& points, const TRadialGradient& gradient, TFillMode mode)
{
    if (points.size() < 3 || gradient.Stops.isEmpty() || gradient.RadiusX <= 0 || gradient.RadiusY <= 0)
        return;
    // The gradient is laid out on the unit circle and stretched by the brush transform, so
    // elliptic gradients come out right.
    QRadialGradient g(QPointF(0, 0), 1.0);
    for (const TColorStop& stop : gradient.Stops)
        g.setColorAt(std::clamp(stop.Offset, 0.0, 1.0), QColor::fromRgba(stop.Color));
    switch (gradient.Wrap) {
    case TWrapMode::Repeat:
        g.setSpread(QGradient::RepeatSpread);
        break;
    case TWrapMode::Mirror:
        g.setSpread(QGradient::ReflectSpread);
        break;
    case TWrapMode::Clamp:
        g.setSpread(QGradient::PadSpread);
        break;
    }
    QBrush brush(g);
    QTransform t;
    t.translate(gradient.Centre.x(), gradient.Centre.y());
    t.scale(gradient.RadiusX, gradient.RadiusY);
    brush.setTransform(t);
    Paint(bitmap, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(brush);
        p.drawPolygon(points, ToQt(mode));
    });
}

void PolyPolygonFS(TBitmap32& bitmap, const QList<QPolygonF>& polygons, TColor32 colour, TFillMode mode)
{
    QPainterPath path;
    path.setFillRule(ToQt(mode));
    for (const QPolygonF& polygon : polygons) {
        if (polygon.size() >= 3) {
            path.addPolygon(polygon);
            path.closeSubpath();
        }
    }
    if (path.isEmpty())
        return;
    Paint(bitmap, [&](QPainter& p) { p.fillPath(path, QColor::fromRgba(colour)); });
}

void PolylineFS(TBitmap32& bitmap, const QPolygonF& points, TColor32 colour, bool closed, double width,
    TJoinStyle join, TEndStyle end, double miterLimit)
{
    if (points.size() < 2 || width <= 0)
        return;
    Paint(bitmap, [&](QPainter& p) {
        QPen pen(QColor::fromRgba(colour), width, Qt::SolidLine, ToQt(end), ToQt(join));
        pen.setMiterLimit(miterLimit);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        if (closed)
            p.drawPolygon(points);
        else
            p.drawPolyline(points);
    });
}

void LineFS(
    TBitmap32& bitmap, const QPointF& from, const QPointF& to, TColor32 colour, double width, TEndStyle end)
{
    PolylineFS(bitmap, QPolygonF { from, to }, colour, false, width, TJoinStyle::Miter, end);
}

QPolygonF Circle(const QPointF& centre, double radius, int steps)
{
    return Ellipse(centre, radius, radius, steps);
}

QPolygonF Ellipse(const QPointF& centre, double radiusX, double radiusY, int steps)
{
    if (steps <= 0)
        steps = StepsFor(std::max(std::abs(radiusX), std::abs(radiusY)));
    QPolygonF out;
    out.reserve(steps);
    for (int i = 0; i < steps; ++i) {
        const double a = 2 * std::numbers::pi * i / steps;
        out << QPointF(centre.x() + radiusX * std::cos(a), centre.y() + radiusY * std::sin(a));
    }
    return out;
}

QPolygonF Rectangle(const QRectF& rect)
{
    return QPolygonF { rect.topLeft(), rect.topRight(), rect.bottomRight(), rect.bottomLeft() };
}

QPolygonF TranslatePolygon(const QPolygonF& points, double dx, double dy)
{
    return points.translated(dx, dy);
}

QPolygonF Grow(const QPolygonF& points, double delta, TJoinStyle join, double miterLimit)
{
    const QPolygonF p = WithoutRepeats(points);
    if (p.isEmpty())
        return {};
    if (delta == 0)
        return p;
    const double area = SignedArea(p);
    if (p.size() < 3 || std::abs(area) < 1e-9) {
        // No inside to speak of: a point or a run of collinear points.
        if (delta < 0)
            return {};
        if (p.size() == 1)
            return Circle(p.first(), delta);
        QPointF a = p.first(), b = p.first();
        double best = -1;
        for (const QPointF& u : p) {
            for (const QPointF& v : p) {
                if (Length(v - u) > best) {
                    best = Length(v - u);
                    a = u;
                    b = v;
                }
            }
        }
        return Stadium(a, b, delta);
    }

    const double orient = area > 0 ? 1.0 : -1.0;
    const qsizetype n = p.size();
    const auto normal = [&](qsizetype i) {
        const QPointF d = p[(i + 1) % n] - p[i];
        const double len = Length(d);
        return QPointF(d.y(), -d.x()) * (orient / len);
    };
    QPolygonF out;
    for (qsizetype i = 0; i < n; ++i) {
        const QPointF& v = p[i];
        const QPointF n0 = normal((i + n - 1) % n);
        const QPointF n1 = normal(i);
        const QPointF d0 = v - p[(i + n - 1) % n];
        const QPointF d1 = p[(i + 1) % n] - v;
        const double cross = (d0.x() * d1.y() - d0.y() * d1.x()) * orient;
        const double dot = n0.x() * n1.x() + n0.y() * n1.y();
        // Outside corners of the grown outline get a join; inside corners meet at the crossing.
        const bool outside = (cross > 0) == (delta > 0);
        if (std::abs(cross) < 1e-12 && dot > 0) {
            out << v + n1 * delta;
            continue;
        }
        if (!outside && dot > -0.999) {
            out << v + (n0 + n1) * (delta / (1 + dot));
            continue;
        }
        const QPointF from = v + n0 * delta;
        const QPointF to = v + n1 * delta;
        if (join == TJoinStyle::Round) {
            const double a0 = std::atan2(n0.y() * delta, n0.x() * delta);
            double sweep = std::atan2(n1.y() * delta, n1.x() * delta) - a0;
            while (sweep > std::numbers::pi)
                sweep -= 2 * std::numbers::pi;
            while (sweep < -std::numbers::pi)
                sweep += 2 * std::numbers::pi;
            AddArc(out, v, std::abs(delta), a0, sweep);
        } else if (join == TJoinStyle::Miter && dot > -0.999 && 1 / std::sqrt((1 + dot) / 2) <= miterLimit) {
            out << v + (n0 + n1) * (delta / (1 + dot));
        } else {
            out << from << to;
        }
    }
    return out;
}

QPolygonF RoundRect(const QRectF& rect, double radius)
{
    const QRectF r = rect.normalized();
    radius = std::min(radius, std::min(r.width(), r.height()) / 2);
    if (radius <= 0)
        return Rectangle(r);
    return Grow(Rectangle(r.adjusted(radius, radius, -radius, -radius)), radius, TJoinStyle::Round);
}

void Transform(TBitmap32& dst, const TBitmap32& src, const QTransform& transform)
{
    if (dst.IsEmpty() || src.IsEmpty())
        return;
    bool invertible = false;
    const QTransform inverse = transform.inverted(&invertible);
    if (!invertible)
        return;
    const QRect area = transform.mapRect(QRectF(src.BoundsRect()))
                           .toAlignedRect()
                           .adjusted(-1, -1, 1, 1)
                           .intersected(dst.BoundsRect());
    const double margin = src.PixelAccess() == TPixelAccess::TransparentEdge ? 0.5 : 0.0;
    const double maxX = src.Width() + margin;
    const double maxY = src.Height() + margin;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        TColor32* row = dst.ScanLine(y);
        for (int x = area.left(); x <= area.right(); ++x) {
            const QPointF s = inverse.map(QPointF(x + 0.5, y + 0.5));
            if (s.x() < -margin || s.y() < -margin || s.x() >= maxX || s.y() >= maxY)
                continue;
            const TColor32 c = src.PixelF(s.x(), s.y());
            CombineLine(&c, row + x, 1, src.DrawMode(), src.CombineMode(), src.MasterAlpha());
        }
    }
}

} // namespace qb
