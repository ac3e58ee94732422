#include "raster/Polygons.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace qb {
namespace {

double Area(const QPolygonF& p)
{
    double a = 0;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QPointF& u = p[i];
        const QPointF& v = p[(i + 1) % p.size()];
        a += u.x() * v.y() - v.x() * u.y();
    }
    return std::abs(a) / 2;
}

// Distance from a point to the outline of an axis-parallel rectangle it lies outside of.
double DistanceOutside(const QRectF& r, const QPointF& p)
{
    const double dx = std::max({ r.left() - p.x(), 0.0, p.x() - r.right() });
    const double dy = std::max({ r.top() - p.y(), 0.0, p.y() - r.bottom() });
    return std::hypot(dx, dy);
}

int Alpha(const TBitmap32& b, int x, int y)
{
    return AlphaOf(b.Pixel(x, y));
}

} // namespace

TEST(PolygonShapes, CircleAndEllipseCorners)
{
    const QPolygonF c = Circle(QPointF(10, 20), 5, 12);
    ASSERT_EQ(c.size(), 12);
    for (const QPointF& p : c)
        EXPECT_NEAR(std::hypot(p.x() - 10, p.y() - 20), 5, 1e-9);
    EXPECT_GE(Circle(QPointF(), 30).size(), 32) << "enough corners to look round";
    EXPECT_LE(Circle(QPointF(), 1).size(), 16);

    const QPolygonF e = Ellipse(QPointF(1, 2), 8, 3, 20);
    ASSERT_EQ(e.size(), 20);
    for (const QPointF& p : e)
        EXPECT_NEAR(std::pow((p.x() - 1) / 8, 2) + std::pow((p.y() - 2) / 3, 2), 1.0, 1e-9);

    const QPolygonF moved = TranslatePolygon(Rectangle(QRectF(0, 0, 2, 1)), 3, -1);
    EXPECT_EQ(moved, (QPolygonF { QPointF(3, -1), QPointF(5, -1), QPointF(5, 0), QPointF(3, 0) }));
}

TEST(PolygonShapes, GrowWithRoundJoins)
{
    const QRectF square(0, 0, 10, 10);
    // Repeated corners, also the first one closing the outline, change nothing.
    const QPolygonF repeated { QPointF(0, 0), QPointF(0, 0), QPointF(10, 0), QPointF(10, 10), QPointF(0, 10),
        QPointF(0, 0) };
    for (const QPolygonF& outline : { Rectangle(square), repeated }) {
        const QPolygonF grown = Grow(outline, 2);
        for (const QPointF& p : grown)
            EXPECT_NEAR(DistanceOutside(square, p), 2, 1e-9);
        EXPECT_NEAR(grown.boundingRect().left(), -2, 1e-9);
        EXPECT_NEAR(grown.boundingRect().bottom(), 12, 1e-9);
        EXPECT_NEAR(Area(grown), 100 + 4 * 10 * 2 + std::numbers::pi * 4, 1.0)
            << "chords cut the arcs a little";
    }
    // The same square listed the other way round grows outwards too.
    QPolygonF reversed = Rectangle(square);
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_NEAR(Grow(reversed, 2).boundingRect().width(), 14, 1e-9);

    const QPolygonF shrunk = Grow(Rectangle(square), -2);
    EXPECT_NEAR(shrunk.boundingRect().left(), 2, 1e-9);
    EXPECT_NEAR(shrunk.boundingRect().right(), 8, 1e-9);
    EXPECT_NEAR(Area(shrunk), 36, 1e-9);

    const QPolygonF mitred = Grow(Rectangle(square), 1, TJoinStyle::Miter);
    EXPECT_EQ(mitred.size(), 4);
    EXPECT_NEAR(Area(mitred), 144, 1e-9);
}

TEST(PolygonShapes, DegenerateOutlinesGrowIntoDiscsAndStadiums)
{
    const QPolygonF disc = Grow(QPolygonF { QPointF(5, 5), QPointF(5, 5) }, 3);
    ASSERT_GE(disc.size(), 8);
    for (const QPointF& p : disc)
        EXPECT_NEAR(std::hypot(p.x() - 5, p.y() - 5), 3, 1e-9);

    // A rectangle whose shrunk core is a line: the rounded rectangle is a stadium.
    const QPolygonF stadium = RoundRect(QRectF(0, 0, 10, 4), 3);
    EXPECT_NEAR(stadium.boundingRect().left(), 0, 1e-9);
    EXPECT_NEAR(stadium.boundingRect().right(), 10, 1e-9);
    EXPECT_NEAR(stadium.boundingRect().top(), 0, 1e-9);
    EXPECT_NEAR(stadium.boundingRect().bottom(), 4, 1e-9);
    EXPECT_NEAR(Area(stadium), 6 * 4 + std::numbers::pi * 4, 1.0);

    const QPolygonF round = RoundRect(QRectF(0, 0, 10, 10), 5);
    for (const QPointF& p : round)
        EXPECT_NEAR(std::hypot(p.x() - 5, p.y() - 5), 5, 1e-9);

    EXPECT_EQ(RoundRect(QRectF(1, 2, 3, 4), 0), Rectangle(QRectF(1, 2, 3, 4)));
    EXPECT_TRUE(Grow(QPolygonF(), 3).isEmpty());
    EXPECT_TRUE(Grow(QPolygonF { QPointF(1, 1) }, -3).isEmpty());
}

TEST(PolygonFill, PixelAlignedEdgesAreExactAndHalfPixelsHalfCovered)
{
    TBitmap32 b(6, 5);
    PolygonFS(b, Rectangle(QRectF(1, 1, 3, 2)), 0xFF3366CC);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x <= 3 && y >= 1 && y <= 2;
            EXPECT_EQ(b.Pixel(x, y), inside ? 0xFF3366CCu : 0u) << x << "," << y;
        }
    }
    TBitmap32 half(6, 5);
    PolygonFS(half, Rectangle(QRectF(1.5, 1, 2.5, 2)), 0xFF3366CC);
    EXPECT_NEAR(Alpha(half, 1, 1), 128, 2);
    EXPECT_EQ(Alpha(half, 2, 1), 255);
    EXPECT_EQ(Alpha(half, 0, 1), 0);
}

TEST(PolygonFill, TranslucentFillGoesOver)
{
    TBitmap32 b(4, 4, 0xFF0000FF);
    PolygonFS(b, Rectangle(QRectF(0, 0, 4, 4)), 0x80FF0000);
    EXPECT_NEAR(RedOf(b.Pixel(2, 2)), 128, 1);
    EXPECT_NEAR(BlueOf(b.Pixel(2, 2)), 127, 1);
    EXPECT_EQ(Alpha(b, 2, 2), 255);

    TBitmap32 clear(4, 4);
    PolygonFS(clear, Rectangle(QRectF(0, 0, 4, 4)), 0x9A000000);
    EXPECT_EQ(clear.Pixel(1, 1), 0x9A000000u);
}

TEST(PolygonFill, DiscCoversItsArea)
{
    TBitmap32 b(40, 40);
    const QPolygonF disc = Circle(QPointF(20, 20), 12);
    PolygonFS(b, disc, 0xFFFFFFFF);
    double covered = 0;
    for (qsizetype i = 0; i < b.PixelCount(); ++i)
        covered += AlphaOf(b.Bits()[i]) / 255.0;
    EXPECT_NEAR(covered, Area(disc), 1.5);
    EXPECT_NEAR(Area(disc), std::numbers::pi * 144, 6) << "chords stay close to the circle";
    EXPECT_EQ(Alpha(b, 20, 20), 255);
    EXPECT_EQ(Alpha(b, 20, 5), 0);
}

TEST(PolygonFill, PolyPolygonHoles)
{
    TBitmap32 b(20, 20);
    PolyPolygonFS(b, { Rectangle(QRectF(0, 0, 20, 20)), Rectangle(QRectF(5, 5, 10, 10)) }, 0xFF000000,
        TFillMode::Alternate);
    EXPECT_EQ(Alpha(b, 2, 2), 255);
    EXPECT_EQ(Alpha(b, 10, 10), 0);
}

TEST(PolygonFill, RadialGradientStopsAndWrap)
{
    const auto sample = [](TWrapMode wrap, int x) {
        TBitmap32 b(60, 1);
        TRadialGradient g;
        g.Centre = QPointF(0.5, 0.5);
        g.RadiusX = g.RadiusY = 20;
        g.Stops = { { 0, 0xFF000000 }, { 1, 0xFFFFFFFF } };
        g.Wrap = wrap;
        PolygonFS(b, Rectangle(QRectF(0, 0, 60, 1)), g);
        return RedOf(b.Pixel(x, 0));
    };
    EXPECT_NEAR(sample(TWrapMode::Clamp, 0), 0, 3);
    EXPECT_NEAR(sample(TWrapMode::Clamp, 10), 128, 4);
    EXPECT_NEAR(sample(TWrapMode::Clamp, 30), 255, 1);
    EXPECT_NEAR(sample(TWrapMode::Mirror, 30), 128, 4) << "1.5 mirrors to 0.5";
    EXPECT_NEAR(sample(TWrapMode::Mirror, 40), 0, 4);
    EXPECT_NEAR(sample(TWrapMode::Repeat, 30), 128, 4);

    // Several stops: flat up to 0.5, then a ramp.
    TBitmap32 b(30, 1);
    TRadialGradient g { QPointF(0.5, 0.5), 20, 20,
        { { 0, 0xFF1D1D1D }, { 0.5, 0xFF1D1D1D }, { 1, 0xFFC0C0C0 } }, TWrapMode::Clamp };
    PolygonFS(b, Rectangle(QRectF(0, 0, 30, 1)), g);
    EXPECT_NEAR(RedOf(b.Pixel(5, 0)), 0x1D, 1);
    EXPECT_NEAR(RedOf(b.Pixel(15, 0)), (0x1D + 0xC0) / 2, 4);

    // Elliptic: half the vertical radius reaches the same colour in half the distance.
    TBitmap32 e(1, 30);
    TRadialGradient eg { QPointF(0.5, 0.5), 40, 20, { { 0, 0xFF000000 }, { 1, 0xFFFFFFFF } },
        TWrapMode::Clamp };
    PolygonFS(e, Rectangle(QRectF(0, 0, 1, 30)), eg);
    EXPECT_NEAR(RedOf(e.Pixel(0, 10)), 128, 4);
}

TEST(PolylineStroke, EndsAndWidth)
{
    const auto stroke = [](TEndStyle end) {
        TBitmap32 b(30, 11);
        LineFS(b, QPointF(10, 5.5), QPointF(20, 5.5), 0xFF000000, 4, end);
        return b;
    };
    const TBitmap32 butt = stroke(TEndStyle::Butt);
    const TBitmap32 round = stroke(TEndStyle::Round);
    const TBitmap32 square = stroke(TEndStyle::Square);
    EXPECT_EQ(Alpha(butt, 15, 5), 255);
    EXPECT_EQ(Alpha(butt, 15, 4), 255);
    EXPECT_EQ(Alpha(butt, 15, 2), 0) << "width 4 covers rows 3..7";
    EXPECT_EQ(Alpha(butt, 8, 5), 0);
    EXPECT_GT(Alpha(round, 8, 5), 200);
    EXPECT_LT(Alpha(round, 8, 3), Alpha(square, 8, 3)) << "a round end is cut at its corners";
    EXPECT_EQ(Alpha(square, 8, 5), 255);

    // A closed outline strokes the edge back to the start, an open one does not.
    TBitmap32 open(20, 20), closed(20, 20);
    const QPolygonF tri { QPointF(2, 2), QPointF(18, 2), QPointF(18, 18) };
    PolylineFS(open, tri, 0xFF000000, false, 2);
    PolylineFS(closed, tri, 0xFF000000, true, 2);
    EXPECT_EQ(Alpha(open, 10, 10), 0);
    EXPECT_GT(Alpha(closed, 10, 10), 100);
}

TEST(TransformDraw, TranslationAndTransparentEdges)
{
    TBitmap32 src(2, 2, 0xFF00FF00);
    src.SetPixel(1, 1, 0xFFFF0000);
    src.SetDrawMode(TDrawMode::Blend);
    src.SetCombineMode(TCombineMode::Merge);
    TBitmap32 dst(5, 5);
    Transform(dst, src, QTransform::fromTranslate(2, 1));
    EXPECT_EQ(dst.Pixel(2, 1), 0xFF00FF00u);
    EXPECT_EQ(dst.Pixel(3, 2), 0xFFFF0000u);
    EXPECT_EQ(dst.Pixel(1, 1), 0u);
    EXPECT_EQ(dst.Pixel(4, 1), 0u);

    // Off the pixel grid: the safe access cuts the edge, the transparent edge fades it.
    TBitmap32 hard(5, 5), soft(5, 5);
    src.SetPixelAccess(TPixelAccess::Safe);
    Transform(hard, src, QTransform::fromTranslate(1.6, 1));
    src.SetPixelAccess(TPixelAccess::TransparentEdge);
    Transform(soft, src, QTransform::fromTranslate(1.6, 1));
    EXPECT_EQ(Alpha(hard, 1, 1), 0);
    EXPECT_EQ(Alpha(hard, 2, 1), 255);
    EXPECT_NEAR(Alpha(soft, 1, 1), 102, 1);
    EXPECT_EQ(soft.Pixel(1, 1) & 0xFFFFFF, 0x00FF00u) << "fading keeps the colour";
    EXPECT_EQ(Alpha(soft, 2, 1), 255);

    // A quarter turn about the picture's centre matches Rotate90.
    TBitmap32 quarter(2, 2);
    src.SetDrawMode(TDrawMode::Opaque);
    QTransform t;
    t.translate(1, 1);
    t.rotate(90);
    t.translate(-1, -1);
    Transform(quarter, src, t);
    TBitmap32 turned = src;
    turned.Rotate90();
    EXPECT_EQ(quarter, turned);
}

} // namespace qb
