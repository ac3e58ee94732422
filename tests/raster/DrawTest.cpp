#include "raster/Bitmap32.h"
#include "raster/ColorOps.h"
#include "raster/Filters.h"
#include "raster/Resamplers.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <cmath>

#include <vector>

namespace qb {
namespace {

// A w x h bitmap whose pixel (x, y) is 0xFF0000yx: every pixel tells where it came from.
TBitmap32 Numbered(int w, int h)
{
    TBitmap32 b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, 0xFF000000u | static_cast<TColor32>(y << 4 | x));
    return b;
}

std::vector<TColor32> Row(const TBitmap32& b, int y)
{
    return std::vector<TColor32>(b.ScanLine(y), b.ScanLine(y) + b.Width());
}

bool AllPixels(const TBitmap32& b, TColor32 c)
{
    for (qsizetype i = 0; i < b.PixelCount(); ++i) {
        if (b.Bits()[i] != c)
            return false;
    }
    return true;
}

} // namespace

TEST(Draw, OpaqueCopyClipsBothSides)
{
    const TBitmap32 src = Numbered(3, 3);
    TBitmap32 dst(4, 3, 0xFFFFFFFF);
    dst.Draw(-1, 1, src); // column 0 and row 2 of src fall outside
    EXPECT_EQ(Row(dst, 0), (std::vector<TColor32> { 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF }));
    EXPECT_EQ(Row(dst, 1), (std::vector<TColor32> { 0xFF000001, 0xFF000002, 0xFFFFFFFF, 0xFFFFFFFF }));
    EXPECT_EQ(Row(dst, 2), (std::vector<TColor32> { 0xFF000011, 0xFF000012, 0xFFFFFFFF, 0xFFFFFFFF }));

    // A source rectangle reaching outside the picture draws only what exists, in place.
    TBitmap32 dst2(4, 4, 0);
    dst2.Draw(1, 1, QRect(-1, -1, 3, 3), src);
    EXPECT_EQ(Row(dst2, 1), (std::vector<TColor32> { 0, 0, 0, 0 }));
    EXPECT_EQ(Row(dst2, 2), (std::vector<TColor32> { 0, 0, 0xFF000000, 0xFF000001 }));
    EXPECT_EQ(Row(dst2, 3), (std::vector<TColor32> { 0, 0, 0xFF000010, 0xFF000011 }));

    dst2.Draw(100, 100, src);
    dst2.Draw(0, 0, TBitmap32());
    EXPECT_EQ(Row(dst2, 0), (std::vector<TColor32> { 0, 0, 0, 0 }));
}

TEST(Draw, ModesOfTheSource)
{
    TBitmap32 src(1, 1, 0x80FF0000);
    const struct {
        TDrawMode Draw;
        TCombineMode Combine;
        int Master;
        TColor32 Dst;
        TColor32 Expected;
    } cases[] = {
        { TDrawMode::Opaque, TCombineMode::Blend, 255, 0xFF0000FF, 0x80FF0000 },
        { TDrawMode::Opaque, TCombineMode::Merge, 10, 0xFF0000FF, 0x80FF0000 }, // opaque ignores master alpha
        { TDrawMode::Blend, TCombineMode::Blend, 255, 0xFF0000FF, 0xFF80007F },
        { TDrawMode::Blend, TCombineMode::Blend, 255, 0x000000FF, 0x0080007F }, // blend keeps dst alpha
        { TDrawMode::Blend, TCombineMode::Merge, 255, 0x000000FF, 0x80FF0000 },
        { TDrawMode::Blend, TCombineMode::Merge, 255, 0x800000FF, 0xC0AA0055 },
        { TDrawMode::Blend, TCombineMode::Merge, 0, 0x800000FF, 0x800000FF },
        { TDrawMode::Blend, TCombineMode::Blend, 128, 0xFF000000, 0xFF400000 },
    };
    for (const auto& c : cases) {
        src.SetDrawMode(c.Draw);
        src.SetCombineMode(c.Combine);
        src.SetMasterAlpha(c.Master);
        TBitmap32 dst(1, 1, c.Dst);
        src.DrawTo(dst, 0, 0);
        EXPECT_EQ(dst.Pixel(0, 0), c.Expected)
            << static_cast<int>(c.Draw) << static_cast<int>(c.Combine) << " " << c.Master;
    }
}

TEST(Draw, RowsCombineLikeThePixelFormulas)
{
    // Runs of every length up to 19 (the fast path takes four pixels at a time), colours with
    // alpha 0, 255 and in between, destinations opaque or not.
    QRandomGenerator rng(3);
    const auto colour = [&rng](bool mostlyOpaque) {
        const TColor32 c = rng.generate();
        switch (rng.bounded(4)) {
        case 0:
            return c & 0x00FFFFFF;
        case 1:
            return c | 0xFF000000;
        default:
            return mostlyOpaque ? c | 0xFF000000 : c;
        }
    };
    for (int round = 0; round < 400; ++round) {
        const int w = 1 + round % 19;
        TBitmap32 src(w, 1), dst(w, 1);
        const bool opaqueDst = round % 3 != 0;
        for (int x = 0; x < w; ++x) {
            src.SetPixel(x, 0, colour(false));
            dst.SetPixel(x, 0, colour(opaqueDst));
        }
        const int master = round % 5 == 0 ? static_cast<int>(rng.bounded(256)) : 255;
        for (TCombineMode mode : { TCombineMode::Blend, TCombineMode::Merge }) {
            src.SetDrawMode(TDrawMode::Blend);
            src.SetCombineMode(mode);
            src.SetMasterAlpha(master);
            TBitmap32 out = dst;
            out.Draw(0, 0, src);
            for (int x = 0; x < w; ++x) {
                const TColor32 f = src.Pixel(x, 0), b = dst.Pixel(x, 0);
                const TColor32 expected
                    = mode == TCombineMode::Merge ? MergeReg(f, b, master) : BlendReg(f, b, master);
                ASSERT_EQ(out.Pixel(x, 0), expected)
                    << std::hex << f << " over " << b << std::dec << " master " << master << " mode "
                    << static_cast<int>(mode);
            }
        }
    }
}

TEST(Stretch, SolidColoursStayExact)
{
    for (TResamplerKind kind : { TResamplerKind::Nearest, TResamplerKind::Linear, TResamplerKind::Draft }) {
        for (const QSize& from : { QSize(256, 256), QSize(48, 48), QSize(1, 1), QSize(7, 3) }) {
            for (const QSize& to : { QSize(48, 48), QSize(72, 72), QSize(5, 11) }) {
                TBitmap32 src(from.width(), from.height(), 0x80336699);
                src.SetResampler(kind);
                TBitmap32 dst(to.width(), to.height());
                src.DrawTo(dst, dst.BoundsRect());
                EXPECT_TRUE(AllPixels(dst, 0x80336699))
                    << static_cast<int>(kind) << " " << from.width() << "->" << to.width() << ": " << std::hex
                    << dst.Pixel(0, 0);
            }
        }
    }
}

TEST(Stretch, FilterWeightsOnOneRow)
{
    TBitmap32 two(2, 1);
    two.SetPixel(0, 0, 0xFF000000);
    two.SetPixel(1, 0, 0xFFFFFFFF);
    TBitmap32 four(4, 1);
    four.SetPixel(0, 0, 0xFF000000);
    four.SetPixel(1, 0, 0xFF606060);
    four.SetPixel(2, 0, 0xFFC8C8C8);
    four.SetPixel(3, 0, 0xFFF0F0F0);
    const auto grey = [](int v) { return 0xFF000000u | static_cast<TColor32>(v * 0x010101); };
    const struct {
        const char* Name;
        TResamplerKind Kind;
        const TBitmap32& Src;
        int To;
        std::vector<TColor32> Expected;
    } cases[] = {
        { "nearest x2", TResamplerKind::Nearest, two, 4, { grey(0), grey(0), grey(255), grey(255) } },
        { "linear x2", TResamplerKind::Linear, two, 4, { grey(0), grey(64), grey(191), grey(255) } },
        { "draft x2 is linear", TResamplerKind::Draft, two, 4, { grey(0), grey(64), grey(191), grey(255) } },
        // Reducing by 2 widens the triangle to 4 taps: 1/8, 3/8, 3/8, 1/8.
        { "linear /2", TResamplerKind::Linear, four, 2, { grey(61), grey(207) } },
        { "draft /2 averages boxes", TResamplerKind::Draft, four, 2, { grey(48), grey(220) } },
    };
    for (const auto& c : cases) {
        TBitmap32 src = c.Src;
        src.SetResampler(c.Kind);
        TBitmap32 dst(c.To, 1);
        src.DrawTo(dst, dst.BoundsRect());
        EXPECT_EQ(Row(dst, 0), c.Expected) << c.Name;
    }
}

// The reference: an alpha-weighted mean with given weights, in doubles.
TColor32 WeightedMean(const std::vector<std::pair<TColor32, double>>& taps)
{
    double a = 0, r = 0, g = 0, b = 0, sum = 0;
    for (const auto& [c, w] : taps) {
        sum += w;
        a += w * AlphaOf(c);
        r += w * AlphaOf(c) * RedOf(c);
        g += w * AlphaOf(c) * GreenOf(c);
        b += w * AlphaOf(c) * BlueOf(c);
    }
    if (a / sum < 0.5)
        return 0;
    return Color32(static_cast<int>(std::lround(r / a)), static_cast<int>(std::lround(g / a)),
        static_cast<int>(std::lround(b / a)), static_cast<int>(std::lround(a / sum)));
}

bool Near(TColor32 x, TColor32 y)
{
    for (int shift = 0; shift < 32; shift += 8) {
        if (std::abs(static_cast<int>((x >> shift) & 0xFF) - static_cast<int>((y >> shift) & 0xFF)) > 1)
            return false;
    }
    return true;
}

TEST(Stretch, ReductionsMatchTheirFilterDefinitions)
{
    QRandomGenerator rng(5);
    TBitmap32 src(64, 48);
    for (qsizetype i = 0; i < src.PixelCount(); ++i)
        src.Bits()[i] = rng.bounded(3) == 0 ? (rng.generate() & 0x00FFFFFF) : rng.generate();

    // Draft by 4: the plain mean of each 4 x 4 block.
    src.SetResampler(TResamplerKind::Draft);
    TBitmap32 draft(16, 12);
    src.DrawTo(draft, draft.BoundsRect());
    // Linear by 2: the triangle of radius 2 (weights 1, 3, 3, 1 per axis), edges repeated.
    src.SetResampler(TResamplerKind::Linear);
    TBitmap32 linear(32, 24);
    src.DrawTo(linear, linear.BoundsRect());
    const double tent[4] = { 1, 3, 3, 1 };
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 16; ++x) {
            std::vector<std::pair<TColor32, double>> box;
            for (int j = 0; j < 4; ++j)
                for (int i = 0; i < 4; ++i)
                    box.emplace_back(src.Pixel(4 * x + i, 4 * y + j), 1.0);
            ASSERT_TRUE(Near(draft.Pixel(x, y), WeightedMean(box))) << x << "," << y;
        }
    }
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 32; ++x) {
            std::vector<std::pair<TColor32, double>> taps;
            for (int j = 0; j < 4; ++j) {
                for (int i = 0; i < 4; ++i) {
                    const int sx = std::clamp(2 * x - 1 + i, 0, 63), sy = std::clamp(2 * y - 1 + j, 0, 47);
                    taps.emplace_back(src.Pixel(sx, sy), tent[i] * tent[j]);
                }
            }
            ASSERT_TRUE(Near(linear.Pixel(x, y), WeightedMean(taps)))
                << x << "," << y << std::hex << " " << linear.Pixel(x, y) << " " << WeightedMean(taps);
        }
    }
}

TEST(Stretch, TransparentNeighboursLendNoColour)
{
    TBitmap32 src(2, 1);
    src.SetPixel(1, 0, 0xFFFF0000);
    src.SetResampler(TResamplerKind::Linear);
    TBitmap32 dst(4, 1);
    src.DrawTo(dst, dst.BoundsRect());
    EXPECT_EQ(Row(dst, 0), (std::vector<TColor32> { 0x00000000, 0x40FF0000, 0xBFFF0000, 0xFFFF0000 }));
}

TEST(Stretch, LargerSourceRectangleDrawsSmaller)
{
    TBitmap32 src(4, 4, 0xFF00FF00);
    src.SetResampler(TResamplerKind::Linear);
    TBitmap32 dst(8, 8, 0xFF0000FF);
    dst.Draw(dst.BoundsRect(), QRect(-1, -1, 6, 6), src);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 1 && x <= 6 && y >= 1 && y <= 6;
            EXPECT_EQ(dst.Pixel(x, y), inside ? 0xFF00FF00u : 0xFF0000FFu) << x << "," << y;
        }
    }
}

TEST(Stretch, PartOfThePictureMagnified)
{
    // The middle 2 x 2 of a 4 x 4 picture onto 4 x 4 with nearest: each pixel doubled.
    const TBitmap32 src = Numbered(4, 4);
    TBitmap32 dst(4, 4);
    dst.Draw(dst.BoundsRect(), QRect(1, 1, 2, 2), src);
    EXPECT_EQ(Row(dst, 0), (std::vector<TColor32> { 0xFF000011, 0xFF000011, 0xFF000012, 0xFF000012 }));
    EXPECT_EQ(Row(dst, 3), (std::vector<TColor32> { 0xFF000021, 0xFF000021, 0xFF000022, 0xFF000022 }));

    // Stretching into a rectangle that sticks out of the destination keeps the scale.
    TBitmap32 clipped(2, 2);
    clipped.Draw(QRect(-2, -2, 4, 4), QRect(1, 1, 2, 2), src);
    EXPECT_EQ(Row(clipped, 0), (std::vector<TColor32> { 0xFF000022, 0xFF000022 }));
}

TEST(Stretch, BlendedStretchCombinesWithTheDestination)
{
    TBitmap32 src(2, 2, 0x80FF0000);
    src.SetDrawMode(TDrawMode::Blend);
    src.SetCombineMode(TCombineMode::Merge);
    src.SetResampler(TResamplerKind::Linear);
    TBitmap32 dst(5, 5, 0xFF0000FF);
    src.DrawTo(dst, QRect(1, 1, 3, 3));
    EXPECT_EQ(dst.Pixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(dst.Pixel(2, 2), 0xFF80007Fu);
    EXPECT_EQ(dst.Pixel(4, 4), 0xFF0000FFu);
}

TEST(Stretch, ResizeLinear)
{
    TBitmap32 b = Numbered(2, 2);
    b.SetDrawMode(TDrawMode::Blend);
    const TBitmap32 before = b;
    ResizeLinear(b, 2, 2);
    EXPECT_EQ(b, before) << "same size: untouched";

    TBitmap32 solid(1, 1, 0xFF123456);
    ResizeLinear(solid, 3, 2);
    ASSERT_EQ(solid.Width(), 3);
    ASSERT_EQ(solid.Height(), 2);
    EXPECT_TRUE(AllPixels(solid, 0xFF123456));

    ResizeLinear(b, 10, 10);
    EXPECT_EQ(b.Width(), 10);
    EXPECT_EQ(b.DrawMode(), TDrawMode::Blend) << "drawing attributes stay";
    EXPECT_EQ(b.Pixel(0, 0), 0xFF000000u) << "corners keep the corner pixels";
    EXPECT_EQ(b.Pixel(9, 9), 0xFF000011u);
}

TEST(FlipRotate, PixelsMoveWhereExpected)
{
    const TBitmap32 src = Numbered(3, 2); // 00 01 02 / 10 11 12
    TBitmap32 b = src;
    b.FlipHorz();
    EXPECT_EQ(Row(b, 0), (std::vector<TColor32> { 0xFF000002, 0xFF000001, 0xFF000000 }));
    b = src;
    b.FlipVert();
    EXPECT_EQ(Row(b, 0), Row(src, 1));
    EXPECT_EQ(Row(b, 1), Row(src, 0));

    b = src;
    b.Rotate90(); // clockwise: the left column becomes the top row, bottom first
    ASSERT_EQ(b.Width(), 2);
    ASSERT_EQ(b.Height(), 3);
    EXPECT_EQ(Row(b, 0), (std::vector<TColor32> { 0xFF000010, 0xFF000000 }));
    EXPECT_EQ(Row(b, 2), (std::vector<TColor32> { 0xFF000012, 0xFF000002 }));

    b = src;
    b.Rotate270();
    ASSERT_EQ(b.Width(), 2);
    EXPECT_EQ(Row(b, 0), (std::vector<TColor32> { 0xFF000002, 0xFF000012 }));
    EXPECT_EQ(Row(b, 2), (std::vector<TColor32> { 0xFF000000, 0xFF000010 }));

    TBitmap32 twice = src;
    twice.Rotate90();
    twice.Rotate90();
    b = src;
    b.Rotate180();
    EXPECT_EQ(b, twice);
    b.FlipHorz();
    b.FlipVert();
    EXPECT_EQ(b, src);
}

TEST(Lines, EndPointsIncludedAndClipped)
{
    TBitmap32 b(4, 3);
    b.HorzLine(1, 0, 5, 0xFF000001);
    b.VertLine(0, 2, -7, 0xFF000002);
    b.FillRect(QRect(2, 2, 10, 10), 0xFF000003);
    EXPECT_EQ(Row(b, 0), (std::vector<TColor32> { 0xFF000002, 0xFF000001, 0xFF000001, 0xFF000001 }));
    EXPECT_EQ(Row(b, 1), (std::vector<TColor32> { 0xFF000002, 0, 0, 0 }));
    EXPECT_EQ(Row(b, 2), (std::vector<TColor32> { 0xFF000002, 0, 0xFF000003, 0xFF000003 }));
}

} // namespace qb
