#include "toolbar/BarLayers.h"
#include "toolbar/Markers.h"

#include "GeometryPrinters.h"
#include "raster/ColorOps.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

constexpr TColor32 KIconColour = 0xFF3366CC;

int CountPixels(const TBitmap32& b, TColor32 c)
{
    int n = 0;
    for (qsizetype i = 0; i < b.PixelCount(); ++i)
        n += b.Bits()[i] == c ? 1 : 0;
    return n;
}

TEST(HoverLayer, EnlargedLightenedIconOverItsCell)
{
    TLayout layout;
    layout.NewSize(TSettings());
    // The pointer in the middle of cell 0 (icon at 18, 2): the icon grows by 18 div 4 pixels
    // and brightens by 4 per pixel.
    const THoverEffect effect = layout.HoverEffect(0, QPoint(34, 18), 1, 16);
    ASSERT_EQ(effect.Grow, 4);
    ASSERT_EQ(effect.Lighten, 16);

    TBitmapLayer layer;
    MakeHoverLayer(layer, layout, effect, TBitmap32(32, 32, KIconColour), false);
    EXPECT_TRUE(layer.Visible);
    EXPECT_EQ(layer.Position, QPoint(16, 0));
    ASSERT_EQ(layer.Bitmap.BoundsRect(), QRect(0, 0, 36, 36));
    EXPECT_EQ(CountPixels(layer.Bitmap, 0xFF4376DC), 36 * 36);

    // Grey for a disabled button: intensity 0x62, then lightened.
    MakeHoverLayer(layer, layout, effect, TBitmap32(32, 32, KIconColour), true);
    EXPECT_EQ(CountPixels(layer.Bitmap, 0xFF727272), 36 * 36);

    // A placeholder picture leaves the layer without colour.
    MakeHoverLayer(layer, layout, effect, TBitmap32(1, 1, 0xFFFF0000), false);
    int opaque = 0;
    for (qsizetype i = 0; i < layer.Bitmap.PixelCount(); ++i)
        opaque += AlphaOf(layer.Bitmap.Bits()[i]) != 0 ? 1 : 0;
    EXPECT_EQ(opaque, 0);

    // At the cell's edge the icon keeps its size and colour.
    const THoverEffect edge = layout.HoverEffect(0, QPoint(16, 18), 1, 16);
    MakeHoverLayer(layer, layout, edge, TBitmap32(32, 32, KIconColour), false);
    EXPECT_EQ(layer.Bitmap.BoundsRect(), QRect(0, 0, 32, 32));
    EXPECT_EQ(layer.Position, QPoint(18, 2));
    EXPECT_EQ(CountPixels(layer.Bitmap, KIconColour), 32 * 32);
}

TEST(Composition, PageOverTheWindowColourThenLabelsThenLayers)
{
    constexpr TColor32 KBackdrop = 0xFF0000FF;
    TBitmap32 page(4, 3, 0xFF808080);
    page.SetPixel(0, 0, 0);
    page.SetPixel(1, 0, 0xFFFF0000);
    page.SetPixel(2, 0, 0x80FF0000);

    TBitmap32 labels(4, 3);
    labels.SetDrawMode(TDrawMode::Blend);
    labels.SetPixel(0, 2, 0x80FFFFFF);

    TBitmapLayer hover;
    hover.Bitmap = TBitmap32(2, 2, 0xFF00FF00);
    hover.Bitmap.SetDrawMode(TDrawMode::Blend);
    hover.Bitmap.SetCombineMode(TCombineMode::Merge);
    hover.Position = QPoint(3, 1); // half of it hangs over the right edge
    hover.Visible = true;
    TBitmapLayer hidden;
    hidden.Bitmap = TBitmap32(4, 3, 0xFFFFFF00);
    hidden.Visible = false;

    TBitmap32 out;
    ComposeBar(out, KBackdrop, page, &labels, { &hidden, &hover });
    ASSERT_EQ(out.BoundsRect(), page.BoundsRect());
    EXPECT_EQ(out.Pixel(0, 0), KBackdrop);
    EXPECT_EQ(out.Pixel(1, 0), 0xFFFF0000u);
    EXPECT_EQ(out.Pixel(2, 0), BlendReg(0x80FF0000, KBackdrop));
    EXPECT_EQ(out.Pixel(0, 2), BlendReg(0x80FFFFFF, 0xFF808080));
    EXPECT_EQ(out.Pixel(3, 1), 0xFF00FF00u);
    EXPECT_EQ(out.Pixel(3, 2), 0xFF00FF00u);
    EXPECT_EQ(out.Pixel(2, 1), 0xFF808080u);
    EXPECT_EQ(CountPixels(out, 0xFFFFFF00), 0);

    // Without the label layer the page shows as it is.
    ComposeBar(out, KBackdrop, page, nullptr, {});
    EXPECT_EQ(out.Pixel(0, 2), 0xFF808080u);
}

TEST(Markers, SoundMarkerIsACyanDiscWithAWhiteRoundedSquare)
{
    const TBitmap32 m = MakeSoundMarker(48);
    ASSERT_EQ(m.BoundsRect(), QRect(0, 0, 12, 12));
    EXPECT_EQ(m.DrawMode(), TDrawMode::Blend);
    EXPECT_EQ(m.CombineMode(), TCombineMode::Merge);
    // Disc of radius 5.4 round (6, 6); square of half-side 2.97 with corners of radius 1.08.
    EXPECT_EQ(m.Pixel(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(m.Pixel(6, 6), 0xFFFFFFFFu);
    EXPECT_EQ(m.Pixel(10, 6), 0xB000FFFFu);
    EXPECT_EQ(m.Pixel(6, 1), 0xB000FFFFu);
    EXPECT_EQ(m.Pixel(0, 0), 0u);
    EXPECT_EQ(m.Pixel(11, 11), 0u);
    // The square's corner pixel is rounded off: more cyan than white shows through.
    const TColor32 corner = m.Pixel(3, 3);
    EXPECT_LT(RedOf(corner), 200);
    EXPECT_EQ(MakeSoundMarker(16).BoundsRect(), QRect(0, 0, 4, 4));
}

TEST(Markers, AdminShieldIsAQuarterOfTheIconAndOpaqueInside)
{
    for (const int iconSize : { 32, 48, 256 }) {
        SCOPED_TRACE(iconSize);
        const TBitmap32 m = MakeAdminMarker(iconSize);
        const int s = iconSize / 4;
        ASSERT_EQ(m.BoundsRect(), QRect(0, 0, s, s));
        EXPECT_EQ(m.DrawMode(), TDrawMode::Blend);
        EXPECT_EQ(m.CombineMode(), TCombineMode::Merge);
        for (const QPoint p : { QPoint(0, 0), QPoint(s - 1, 0), QPoint(0, s - 1), QPoint(s - 1, s - 1) })
            EXPECT_LT(AlphaOf(m.Pixel(p.x(), p.y())), 64) << p.x() << "," << p.y();
        const TColor32 inside = m.Pixel(s / 2 - 1, s / 4);
        EXPECT_EQ(AlphaOf(inside), 255);
        EXPECT_GT(BlueOf(inside), RedOf(inside));
    }
}

} // namespace
} // namespace qb
