#include "toolbar/OverlayGeometry.h"
#include "toolbar/OverlayWindow.h"

#include "GeometryPrinters.h"

#include <QPixmap>

#include <gtest/gtest.h>

#include <cmath>

namespace qb {
namespace {

constexpr TColor32 KBlue = 0xFF2040C0;
constexpr TColor32 KRed = 0xFFE01010;

// Blue with a red 8 x 8 block in the top-right corner.
TBitmap32 MarkedIcon(int size = 48)
{
    TBitmap32 icon(size, size, KBlue);
    icon.FillRect(QRect(size - 8, 0, 8, 8), KRed);
    return icon;
}

TEST(OverlayGeometry, PivotSizeAndPlace)
{
    struct TCase {
        const char* Name;
        QSize Image;
        double Ratio, Scale, Angle;
        QPoint Pivot;
        QSize Size;
        QPoint Offset;
    };
    const TCase cases[] = {
        // 48 + 2 x 4 spare pixels; the window starts 4 + 24 left of and 4 + 12 above the pivot.
        { "upright", QSize(48, 48), 1, 1, 0, QPoint(24, 12), QSize(56, 56), QPoint(-28, -16) },
        // Turned a quarter about (24, 12) and doubled: x 24..120, y -24..72.
        { "quarter turn, doubled", QSize(48, 48), 1, 2, 90, QPoint(24, 12), QSize(104, 104),
            QPoint(-28, -52) },
        // A 48-pixel image of a 32-pixel icon at zoom 1 is shown at 32.
        { "larger image", QSize(48, 48), 1.5, 1, 0, QPoint(24, 12), QSize(40, 40), QPoint(-20, -12) },
        // Round(2.5) = 2 and Round(8.75) = 9.
        { "rounded pivot", QSize(10, 10), 1, 1, 0, QPoint(5, 2), QSize(18, 18), QPoint(-9, -6) },
        { "odd sizes", QSize(33, 35), 1, 1, 0, QPoint(16, 9), QSize(41, 43), QPoint(-20, -13) },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TOverlayGeometry g = OverlayGeometry(c.Image, c.Ratio, c.Scale, c.Angle);
        EXPECT_EQ(g.Pivot, c.Pivot);
        EXPECT_DOUBLE_EQ(g.Scale, c.Scale / c.Ratio);
        EXPECT_EQ(g.Size, c.Size);
        EXPECT_EQ(g.Offset, c.Offset);
    }
}

TEST(OverlayGeometry, ThePivotStaysUnderItsScreenPointAndTheImageInsideTheWindow)
{
    const QSize image(40, 52);
    for (const double angle : { 0.0, 17.0, 45.0, 90.0, -30.0, 180.0, 271.5 }) {
        for (const double scale : { 0.25, 0.5, 1.0, 2.25, 9.0 }) {
            for (const double ratio : { 1.0, 1.5 }) {
                SCOPED_TRACE(testing::Message() << angle << " deg, scale " << scale << ", ratio " << ratio);
                const TOverlayGeometry g = OverlayGeometry(image, ratio, scale, angle);
                const QPointF pivot = g.Transform.map(QPointF(g.Pivot)) + QPointF(g.Offset);
                EXPECT_LE(std::abs(pivot.x()), 0.5 + 1e-9);
                EXPECT_LE(std::abs(pivot.y()), 0.5 + 1e-9);
                for (const QPointF corner :
                    { QPointF(0, 0), QPointF(40, 0), QPointF(0, 52), QPointF(40, 52) }) {
                    const QPointF p = g.Transform.map(corner);
                    EXPECT_GE(p.x(), 4 - 1e-9);
                    EXPECT_GE(p.y(), 4 - 1e-9);
                    EXPECT_LE(p.x(), g.Size.width() - 4 + 1e-9);
                    EXPECT_LE(p.y(), g.Size.height() - 4 + 1e-9);
                }
            }
        }
    }
}

TEST(OverlayGeometry, NoScaleIsStillAVisibleIcon)
{
    const TOverlayGeometry g = OverlayGeometry(QSize(32, 32), 1, 1 - 1.0, 0);
    EXPECT_GT(g.Scale, 0);
    EXPECT_GT(g.Size.width(), 8);
    EXPECT_TRUE(g.Transform.isInvertible());
}

TEST(OverlayPicture, PositiveAnglesTurnCounterClockwise)
{
    const TBitmap32 icon = MarkedIcon();
    const TOverlayGeometry g = OverlayGeometry(QSize(48, 48), 1, 2, 90);
    const TBitmap32 picture = OverlayPicture(icon, g);
    ASSERT_EQ(picture.Width(), 104);
    // The top-right block went to the top left: source (40..48, 0..8) lands on (4..20, 4..20).
    EXPECT_EQ(picture.Pixel(12, 12), KRed);
    EXPECT_EQ(picture.Pixel(12, 40), KBlue);
    // The pivot at (28, 52) is blue, the spare border transparent.
    EXPECT_EQ(picture.Pixel(28, 52), KBlue);
    EXPECT_EQ(AlphaOf(picture.Pixel(1, 1)), 0);
    EXPECT_EQ(AlphaOf(picture.Pixel(102, 102)), 0);
}

TEST(TurnedLayer, TurnsAboutThePivotAtItsPosition)
{
    TBitmap32 icon(32, 32, KBlue);
    icon.FillRect(QRect(0, 0, 32, 4), KRed);
    const QPointF pivot(16, 8);
    const QPointF position(50, 30);

    const TTurnedLayer upright = TurnedLayer(icon, pivot, 0, position);
    EXPECT_EQ(upright.TopLeft, QPoint(33, 21));
    EXPECT_EQ(upright.Picture.Width(), 34);
    auto at = [](const TTurnedLayer& layer, QPoint barPoint) {
        return layer.Picture.Pixel(barPoint.x() - layer.TopLeft.x(), barPoint.y() - layer.TopLeft.y());
    };
    EXPECT_EQ(at(upright, QPoint(50, 23)), KRed); // 6 pixels above the pivot: the top band
    EXPECT_EQ(at(upright, QPoint(50, 36)), KBlue);

    const TTurnedLayer upsideDown = TurnedLayer(icon, pivot, 180, position);
    EXPECT_EQ(at(upsideDown, QPoint(50, 36)), KRed);
    EXPECT_EQ(at(upsideDown, QPoint(50, 23)), KBlue);
}

TEST(Overlay1, AFramelessTopMostWindowThatTakesNeitherFocusNorPointer)
{
    TOverlay1 overlay;
    const Qt::WindowFlags flags = overlay.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_EQ(overlay.windowType(), Qt::Tool);
    EXPECT_TRUE(overlay.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(overlay.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(overlay.testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_FALSE(overlay.isVisible());
}

TEST(Overlay1, ShowsTheIconWithItsPivotAtTheScreenPoint)
{
    TOverlay1 overlay;
    const TBitmap32 icon = MarkedIcon();
    overlay.OverlayBitmap32(icon, 1, 1, 0, QPoint(500, 400));
    EXPECT_TRUE(overlay.isVisible());
    EXPECT_EQ(overlay.PtDst(), QPoint(472, 384));
    EXPECT_EQ(overlay.geometry(), QRect(472, 384, 56, 56));

    const QImage shown = overlay.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(shown.size(), QSize(56, 56));
    EXPECT_EQ(shown.pixel(28, 16), KBlue) << "the pivot";
    EXPECT_EQ(shown.pixel(4 + 44, 4 + 4), KRed);
    EXPECT_EQ(qAlpha(shown.pixel(1, 1)), 0) << "see-through around the icon";

    // The next tick moves and turns it.
    overlay.OverlayBitmap32(icon, 1, 2, 90, QPoint(300, 300));
    EXPECT_EQ(overlay.geometry(), QRect(272, 248, 104, 104));
    EXPECT_EQ(overlay.Dest().Pixel(12, 12), KRed);
}

} // namespace
} // namespace qb
