#include "raster/Filters.h"

#include "raster/ColorOps.h"
#include "raster/Resamplers.h"

#include <algorithm>
#include <array>

namespace qb {

namespace {

template <typename F> void ForEachPixel(TBitmap32& bitmap, F&& f)
{
    TColor32* p = bitmap.Bits();
    for (qsizetype i = 0, n = bitmap.PixelCount(); i < n; ++i)
        p[i] = f(p[i]);
}

// round(n / 255) for any sign; n / 255 never lies exactly half-way.
int RoundDiv255(int n)
{
    return n >= 0 ? (n + 127) / 255 : -((-n + 127) / 255);
}

// round(n / 3) for any sign; thirds never lie half-way either.
int RoundDiv3(int n)
{
    return n >= 0 ? (n + 1) / 3 : -((-n + 1) / 3);
}

} // namespace

void Lighten(TBitmap32& bitmap, int amount)
{
    if (amount == 0)
        return;
    ForEachPixel(bitmap, [amount](TColor32 c) { return LightenReg(c, amount); });
}

void Grayscale(TBitmap32& bitmap)
{
    ForEachPixel(bitmap, [](TColor32 c) { return Gray32(c); });
}

void Grayscale(const TBitmap32& src, TBitmap32& dst)
{
    if (&src != &dst) {
        dst.SetSize(src.Width(), src.Height());
        std::copy_n(src.Bits(), src.PixelCount(), dst.Bits());
    }
    Grayscale(dst);
}

void IntensityToAlpha(TBitmap32& dst, const TBitmap32& src)
{
    const int w = std::min(dst.Width(), src.Width());
    const int h = std::min(dst.Height(), src.Height());
    for (int y = 0; y < h; ++y) {
        TColor32* d = dst.ScanLine(y);
        const TColor32* s = src.ScanLine(y);
        for (int x = 0; x < w; ++x)
            d[x] = (d[x] & 0x00FFFFFF) | (static_cast<TColor32>(Intensity(s[x])) << 24);
    }
}

void IntensityToAlpha(TBitmap32& bitmap)
{
    ForEachPixel(
        bitmap, [](TColor32 c) { return (c & 0x00FFFFFF) | (static_cast<TColor32>(Intensity(c)) << 24); });
}

void Invert(TBitmap32& bitmap)
{
    ForEachPixel(bitmap, [](TColor32 c) { return c ^ 0x00FFFFFF; });
}

void SetAlpha(TBitmap32& bitmap, int alpha)
{
    const TColor32 a = static_cast<TColor32>(ClampByte(alpha)) << 24;
    ForEachPixel(bitmap, [a](TColor32 c) { return (c & 0x00FFFFFF) | a; });
}

void Premultiply(TBitmap32& bitmap)
{
    ForEachPixel(bitmap, [](TColor32 c) {
        const quint32 a = static_cast<quint32>(AlphaOf(c));
        if (a == 255)
            return c;
        return Color32(static_cast<int>(Div255(RedOf(c) * a)), static_cast<int>(Div255(GreenOf(c) * a)),
            static_cast<int>(Div255(BlueOf(c) * a)), static_cast<int>(a));
    });
}

void Unpremultiply(TBitmap32& bitmap)
{
    ForEachPixel(bitmap, [](TColor32 c) {
        const int a = AlphaOf(c);
        if (a == 0 || a == 255)
            return c;
        const auto ch = [a](int v) { return std::min(255, v * 255 / a); };
        return Color32(ch(RedOf(c)), ch(GreenOf(c)), ch(BlueOf(c)), a);
    });
}

void BlendToColor(TBitmap32& bitmap, TColor32 colour, int amount)
{
    amount = ClampByte(amount);
    const int kr = RedOf(colour), kg = GreenOf(colour), kb = BlueOf(colour);
    const int colourSum = kr + kg + kb;
    const int keep = 255 - amount;
    ForEachPixel(bitmap, [&](TColor32 c) {
        if (AlphaOf(c) == 0)
            return c;
        const int r = RedOf(c), g = GreenOf(c), b = BlueOf(c);
        const int d = RoundDiv3(r + g + b - colourSum);
        const auto ch = [&](int k, int p) { return ClampByte(RoundDiv255(amount * (k + d) + keep * p)); };
        return Color32(ch(kr, r), ch(kg, g), ch(kb, b), AlphaOf(c));
    });
}

bool TintPage(TBitmap32& page, TColor32 pageColour)
{
    if (pageColour == 0xFFFFFFFF)
        return false;
    ForEachPixel(page, [pageColour](TColor32 c) { return ColorModulate(c, pageColour); });
    return true;
}

void TintOverlay(TBitmap32& bitmap, TColor32 colour, int strength)
{
    const int s = ClampByte(strength);
    // Per channel the result depends only on the pixel's byte: one table per channel.
    std::array<std::array<quint8, 256>, 3> table {};
    const int ks[3] = { RedOf(colour), GreenOf(colour), BlueOf(colour) };
    for (int ch = 0; ch < 3; ++ch) {
        const int k = ks[ch];
        for (int c = 0; c < 256; ++c) {
            const int o = c >= 128 ? 255 - ((255 - k) * (255 - c)) / 128 : (c * k) / 128;
            table[ch][c] = static_cast<quint8>(((255 - s) * c + s * o) / 256);
        }
    }
    ForEachPixel(bitmap, [&table](TColor32 c) {
        return Color32(table[0][RedOf(c)], table[1][GreenOf(c)], table[2][BlueOf(c)], AlphaOf(c));
    });
}

void ResizeLinear(TBitmap32& bitmap, int width, int height)
{
    if (bitmap.Width() == width && bitmap.Height() == height)
        return;
    TBitmap32 resized(width, height);
    TLinearResampler().Stretch(resized, resized.BoundsRect(), bitmap, bitmap.BoundsRect());
    bitmap.SwapPixels(resized);
}

} // namespace qb
