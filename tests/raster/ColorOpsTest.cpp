#include "raster/ColorOps.h"
#include "raster/Filters.h"
#include "raster/Round.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <cmath>

namespace qb {
namespace {

struct TCase {
    TColor32 A;
    TColor32 B;
    int N;
    TColor32 Expected;
};

// Runs `op` over one pixel in a 1 x 1 bitmap.
template <typename F> TColor32 OnePixel(TColor32 c, F&& op)
{
    TBitmap32 b(1, 1, c);
    op(b);
    return b.Pixel(0, 0);
}

} // namespace

TEST(ColorOps, LightenRegClampsColoursAndKeepsAlpha)
{
    const TCase cases[] = {
        { 0xFF102030, 0, 0, 0xFF102030 },
        { 0x80102030, 0, 10, 0x801A2A3A },
        { 0x80F01005, 0, 20, 0x80FF2419 },
        { 0x40102030, 0, -0x18, 0x40000818 },
        { 0xFFFFFFFF, 0, 255, 0xFFFFFFFF },
        { 0x7F000000, 0, -255, 0x7F000000 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LightenReg(c.A, c.N), c.Expected) << std::hex << c.A << " " << std::dec << c.N;
        EXPECT_EQ(OnePixel(c.A, [&](TBitmap32& b) { Lighten(b, c.N); }), c.Expected);
    }
}

TEST(ColorOps, ColorModulateMultipliesAllFourChannels)
{
    const TCase cases[] = {
        { 0xFF804020, 0xFFFFFFFF, 0, 0xFF804020 },
        { 0xFF804020, 0xFF000000, 0, 0xFF000000 },
        { 0xFF808080, 0xFF808080, 0, 0xFF404040 },
        { 0x80FF00FF, 0xFF7F3F01, 0, 0x807F0001 },
        { 0xC8C8C8C8, 0x64646464, 0, 0x4E4E4E4E },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorModulate(c.A, c.B), c.Expected) << std::hex << c.A << " " << c.B;
}

TEST(ColorOps, CombineRegWeights)
{
    const TCase cases[] = {
        { 0xC0808080, 0x40D0D0D0, 255, 0xC0808080 },
        { 0xC0808080, 0x40D0D0D0, 0, 0x40D0D0D0 },
        { 0xC0808080, 0x40D0D0D0, 128, 0x80A8A8A8 },
        { 0xFFFFFFFF, 0x00000000, 128, 0x80808080 },
        { 0xFFFFFFFF, 0x00000000, 127, 0x7F7F7F7F },
        { 0xC0808080, 0x40D0D0D0, 300, 0xC0808080 },
        { 0xC0808080, 0x40D0D0D0, -5, 0x40D0D0D0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(CombineReg(c.A, c.B, c.N), c.Expected) << c.N;
}

TEST(ColorOps, BlendKeepsDestinationAlpha)
{
    const TCase cases[] = {
        { 0x00FFFFFF, 0x40123456, 255, 0x40123456 },
        { 0xFF112233, 0x40FFFFFF, 255, 0x40112233 },
        { 0x80FF0000, 0xFF0000FF, 255, 0xFF80007F },
        { 0xFFFF0000, 0xFF0000FF, 128, 0xFF80007F }, // master alpha scales the source alpha
        { 0xFFFF0000, 0xFF0000FF, 0, 0xFF0000FF },
    };
    for (const auto& c : cases)
        EXPECT_EQ(BlendReg(c.A, c.B, c.N), c.Expected) << std::hex << c.A << " over " << c.B;
}

TEST(ColorOps, MergeIsPorterDuffOverOfStraightColours)
{
    const TCase cases[] = {
        { 0x00FFFFFF, 0x40123456, 255, 0x40123456 },
        { 0x80FF0000, 0x000000FF, 255, 0x80FF0000 }, // over nothing: the source as it is
        { 0x80FF0000, 0x800000FF, 255, 0xC0AA0055 },
        { 0x80FF0000, 0xFF0000FF, 255, 0xFF80007F }, // over opaque: same as blend
        { 0xFF00FF00, 0x10FF0000, 255, 0xFF00FF00 },
        { 0xFF00FF00, 0x800000FF, 128, 0xC000AA55 }, // master alpha 128 = source alpha 128
        { 0xFF00FF00, 0x800000FF, 0, 0x800000FF },
    };
    for (const auto& c : cases)
        EXPECT_EQ(MergeReg(c.A, c.B, c.N), c.Expected) << std::hex << c.A << " over " << c.B;
}

TEST(ColorOps, MergeMatchesTheRealFormula)
{
    // Against the textbook formula in doubles, over random colours.
    QRandomGenerator rng(7);
    for (int i = 0; i < 20000; ++i) {
        const TColor32 f = rng.generate();
        const TColor32 b = rng.generate();
        const double fa = AlphaOf(f) / 255.0, ba = AlphaOf(b) / 255.0;
        const double ra = fa + ba * (1 - fa);
        const TColor32 got = MergeReg(f, b);
        if (AlphaOf(f) == 0) {
            ASSERT_EQ(got, b);
            continue;
        }
        ASSERT_NEAR(AlphaOf(got), ra * 255, 0.5 + 1e-9);
        const int shifts[3] = { 16, 8, 0 };
        for (int s : shifts) {
            const double fc = (f >> s) & 0xFF, bc = (b >> s) & 0xFF;
            const double expected = (fc * fa + bc * ba * (1 - fa)) / ra;
            ASSERT_NEAR(static_cast<int>((got >> s) & 0xFF), expected, 0.5 + 1e-9)
                << std::hex << f << " " << b;
        }
    }
}

TEST(ColorOps, GrayscaleUsesTheBarsWeights)
{
    const TCase cases[] = {
        { 0xFFFFFFFF, 0, 0, 0xFFFFFFFF },
        { 0x80FF0000, 0, 0, 0x803C3C3C },
        { 0x4000FF00, 0, 0, 0x40ADADAD },
        { 0x000000FF, 0, 0, 0x00141414 },
        { 0xFF000000, 0, 0, 0xFF000000 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Gray32(c.A), c.Expected);
        EXPECT_EQ(OnePixel(c.A, [](TBitmap32& b) { Grayscale(b); }), c.Expected);
    }
    TBitmap32 src(2, 1, 0x80FF0000);
    TBitmap32 grey;
    Grayscale(src, grey);
    EXPECT_EQ(grey.Pixel(1, 0), 0x803C3C3Cu);
    EXPECT_EQ(src.Pixel(1, 0), 0x80FF0000u) << "the source stays";
}

TEST(ColorOps, AlphaAndInversionFilters)
{
    EXPECT_EQ(OnePixel(0x80102030, [](TBitmap32& b) { Invert(b); }), 0x80EFDFCFu);
    EXPECT_EQ(OnePixel(0x00FFFFFF, [](TBitmap32& b) { IntensityToAlpha(b); }), 0xFFFFFFFFu);
    EXPECT_EQ(OnePixel(0xFF808080, [](TBitmap32& b) { IntensityToAlpha(b); }), 0x80808080u);
    EXPECT_EQ(OnePixel(0x12345678, [](TBitmap32& b) { SetAlpha(b, 255); }), 0xFF345678u);

    // The mask route of icons without alpha: inverted mask intensity becomes the alpha.
    TBitmap32 colour(2, 1, 0x00336699);
    TBitmap32 mask(2, 1, 0xFFFFFFFF);
    mask.SetPixel(0, 0, 0xFF000000);
    Invert(mask);
    IntensityToAlpha(colour, mask);
    EXPECT_EQ(colour.Pixel(0, 0), 0xFF336699u);
    EXPECT_EQ(colour.Pixel(1, 0), 0x00336699u);
}

TEST(ColorOps, PremultiplyAndBack)
{
    const TCase cases[] = {
        { 0x80FF8040, 0, 0, 0x80804020 },
        { 0x00FFFFFF, 0, 0, 0x00000000 },
        { 0xFF123456, 0, 0, 0xFF123456 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(OnePixel(c.A, [](TBitmap32& b) { Premultiply(b); }), c.Expected);
    const TCase back[] = {
        { 0x80804020, 0, 0, 0x80FF7F3F },
        { 0x40FF0000, 0, 0, 0x40FF0000 }, // at most 255
        { 0x00123456, 0, 0, 0x00123456 },
        { 0xFF123456, 0, 0, 0xFF123456 },
    };
    for (const auto& c : back)
        EXPECT_EQ(OnePixel(c.A, [](TBitmap32& b) { Unpremultiply(b); }), c.Expected);
}

TEST(ColorOps, BlendToColorTable)
{
    const TCase cases[] = {
        { 0xFF306090, 0xFF000000, 255, 0xFF606060 }, // full desaturation towards black
        { 0xFF306090, 0xFF000000, 256, 0xFF606060 }, // Blend 16 x 16 is clamped to 255
        { 0xFF306090, 0xFF000000, 0, 0xFF306090 }, { 0xFF306090, 0xFF000000, -5, 0xFF306090 },
        { 0x00306090, 0xFF000000, 255, 0x00306090 }, // transparent pixels are skipped
        { 0x80FFFFFF, 0xFF0000FF, 128, 0x80D4D4FF }, // blue beyond 255 clamps
        { 0xFF0000FF, 0xFFFFFFFF, 200, 0xFF43437A }, // negative d
        { 0xFF000000, 0xFF00FF00, 255, 0xFF00AA00 }, // colour + d below 0 clamps
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OnePixel(c.A, [&](TBitmap32& b) { BlendToColor(b, c.B, c.N); }), c.Expected)
            << std::hex << c.A << " to " << c.B << std::dec << " amount " << c.N;
    }
}

TEST(ColorOps, BlendToColorMatchesTheRealFormula)
{
    QRandomGenerator rng(11);
    for (int i = 0; i < 20000; ++i) {
        const TColor32 pixel = rng.generate() | 0x01000000;
        const TColor32 colour = rng.generate();
        const int amount = static_cast<int>(rng.bounded(256));
        const int pr[3] = { RedOf(pixel), GreenOf(pixel), BlueOf(pixel) };
        const int kr[3] = { RedOf(colour), GreenOf(colour), BlueOf(colour) };
        const int d = RoundHalfEven((pr[0] + pr[1] + pr[2]) / 3.0 - (kr[0] + kr[1] + kr[2]) / 3.0);
        int expected[3];
        for (int ch = 0; ch < 3; ++ch) {
            const double v = amount / 255.0 * (kr[ch] + d) + (255 - amount) / 255.0 * pr[ch];
            expected[ch] = std::clamp(RoundHalfEven(v), 0, 255);
        }
        const TColor32 got = OnePixel(pixel, [&](TBitmap32& b) { BlendToColor(b, colour, amount); });
        ASSERT_EQ(got, Color32(expected[0], expected[1], expected[2], AlphaOf(pixel)))
            << std::hex << pixel << " " << colour << std::dec << " " << amount;
    }
}

TEST(ColorOps, TintOverlayBothBranches)
{
    const TCase cases[] = {
        // R 200 takes the screen branch, G 100 and B 50 the multiply branch.
        { 0xFFC86432, 0x00FF8000, 255, 0xFFFE6300 }, { 0x80C86432, 0x00336699, 128, 0x80B75936 },
        // 128 is the first value of the screen branch, 127 the last of the multiply branch.
        { 0xFF807F00, 0x00000000, 255, 0xFF010000 },
        // Strength 0 still divides by 256: white loses one step.
        { 0xFFFFFFFF, 0x00123456, 0, 0xFFFEFEFE }, { 0x00FFFFFF, 0x00FFFFFF, 255, 0x00FEFEFE },
        { 0xFFC86432, 0x00FF8000, 999, 0xFFFE6300 }, // strength clamped to 255
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OnePixel(c.A, [&](TBitmap32& b) { TintOverlay(b, c.B, c.N); }), c.Expected)
            << std::hex << c.A << " " << c.B << std::dec << " " << c.N;
    }
}

TEST(ColorOps, TintPageSkipsWhite)
{
    TBitmap32 page(2, 2, 0xFF808080);
    EXPECT_FALSE(TintPage(page, 0xFFFFFFFF));
    EXPECT_EQ(page.Pixel(1, 1), 0xFF808080u);
    EXPECT_TRUE(TintPage(page, 0xFFFF8000));
    EXPECT_EQ(page.Pixel(1, 1), 0xFF804000u);
    // Not white unless all four channels are: an almost-white colour still tints.
    EXPECT_TRUE(TintPage(page, 0xFEFFFFFF));
    EXPECT_EQ(page.Pixel(0, 0), 0xFE804000u);
}

TEST(ColorOps, FillLongWordFillsARun)
{
    TColor32 run[5] = { 1, 2, 3, 4, 5 };
    FillLongWord(run + 1, 3, 0xDEADBEEF);
    EXPECT_EQ(run[0], 1u);
    EXPECT_EQ(run[1], 0xDEADBEEFu);
    EXPECT_EQ(run[3], 0xDEADBEEFu);
    EXPECT_EQ(run[4], 5u);
    FillLongWord(run, 0, 0);
    FillLongWord(run, -3, 0);
    EXPECT_EQ(run[0], 1u);
}

} // namespace qb
