#include "raster/Bitmap32.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(Bitmap32, SetSizeClearsOnlyWhenTheSizeChanges)
{
    TBitmap32 b(3, 2, 0xFF112233);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.PixelU(2, 1), 0xFF112233u);

    b.SetSize(3, 2);
    EXPECT_EQ(b.PixelU(0, 0), 0xFF112233u);
    b.SetSize(2, 3);
    EXPECT_EQ(b.PixelU(1, 2), 0u);

    b.SetSize(-4, 5);
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_FALSE(TBitmap32(1, 1).IsEmpty());
}

TEST(Bitmap32, CheckedAccessStaysInside)
{
    TBitmap32 b(2, 2, 0xFF000000);
    b.SetOuterColor(0x12345678);
    for (const QPoint p : { QPoint(-1, 0), QPoint(2, 0), QPoint(0, -1), QPoint(0, 2), QPoint(-100000, 7) }) {
        EXPECT_EQ(b.Pixel(p.x(), p.y()), 0x12345678u);
        b.SetPixel(p.x(), p.y(), 0xFFFFFFFF);
    }
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(b.Pixel(x, y), 0xFF000000u);
    b.SetPixel(1, 0, 0x80FF0000);
    EXPECT_EQ(b.ScanLine(0)[1], 0x80FF0000u);
}

TEST(Bitmap32, ImageViewSharesThePixels)
{
    TBitmap32 b(4, 3);
    b.SetPixel(3, 2, 0x7F00FF00);
    QImage view = b.AsImage();
    ASSERT_EQ(view.format(), QImage::Format_ARGB32);
    EXPECT_EQ(view.constBits(), reinterpret_cast<const uchar*>(b.Bits()));
    EXPECT_EQ(view.pixel(3, 2), 0x7F00FF00u);
    {
        QPainter p(&view);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(QRect(0, 0, 2, 1), QColor(0x11, 0x22, 0x33, 0x44));
    }
    EXPECT_EQ(b.Pixel(1, 0), 0x44112233u);
    EXPECT_EQ(b.Pixel(2, 0), 0u);
    EXPECT_TRUE(TBitmap32().AsImage().isNull());
}

TEST(Bitmap32, ImageConversionKeepsStraightAlpha)
{
    QImage premultiplied(2, 1, QImage::Format_ARGB32_Premultiplied);
    premultiplied.setPixel(0, 0, qRgba(0x55, 0x22, 0x00, 0x55)); // premultiplied bytes
    premultiplied.setPixel(1, 0, qRgba(0, 0, 0, 0));
    const TBitmap32 b = TBitmap32::FromImage(premultiplied);
    EXPECT_EQ(b.Pixel(0, 0), 0x55FF6600u);
    EXPECT_EQ(b.Pixel(1, 0), 0u);

    QImage copy = b.ToImage();
    copy.setPixel(0, 0, 0xFFFFFFFF);
    EXPECT_EQ(b.Pixel(0, 0), 0x55FF6600u) << "ToImage must not share pixels";
    EXPECT_TRUE(TBitmap32::FromImage(QImage()).IsEmpty());
}

TEST(Bitmap32, EqualityComparesPixelsNotAttributes)
{
    TBitmap32 a(2, 2, 0xFF0000FF);
    TBitmap32 b = a;
    b.SetDrawMode(TDrawMode::Blend);
    b.SetMasterAlpha(10);
    EXPECT_EQ(a, b);
    b.SetPixel(1, 1, 0xFE0000FF);
    EXPECT_NE(a, b);
    EXPECT_NE(TBitmap32(2, 1), TBitmap32(1, 2));
}

TEST(Bitmap32, SubPixelSamplingAtTheBorder)
{
    TBitmap32 b(2, 1, 0xFF204060);
    // Inside, half-way between two equal pixels, both modes agree.
    EXPECT_EQ(b.PixelF(1.0, 0.5), 0xFF204060u);
    // Half a pixel beyond the left edge: the safe mode cuts hard, the transparent edge fades.
    b.SetPixelAccess(TPixelAccess::Safe);
    EXPECT_EQ(b.PixelF(-0.01, 0.5), 0u);
    EXPECT_EQ(b.PixelF(0.0, 0.5), 0xFF204060u);
    b.SetPixelAccess(TPixelAccess::TransparentEdge);
    EXPECT_EQ(b.PixelF(0.0, 0.5), 0x80204060u) << "colour kept, alpha halved";
    EXPECT_EQ(b.PixelF(-0.6, 0.5), 0u);
}

} // namespace
} // namespace qb
