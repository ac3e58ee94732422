#pragma once

#include "raster/Bitmap32.h"

#include <algorithm>

namespace qb {

// x / 255 rounded to nearest, exact for 0 <= x <= 65662 (every product of two channels).
constexpr quint32 Div255(quint32 x)
{
    return (x + 128 + ((x + 128) >> 8)) >> 8;
}

constexpr int ClampByte(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Adds `amount` to red, green and blue, each clamped to 0..255; alpha unchanged.
constexpr TColor32 LightenReg(TColor32 c, int amount)
{
    return Color32(ClampByte(RedOf(c) + amount), ClampByte(GreenOf(c) + amount),
        ClampByte(BlueOf(c) + amount), AlphaOf(c));
}

// Multiplies the channels, all four, as fractions of 255: round(c1 x c2 / 255), so white is
// neutral.
constexpr TColor32 ColorModulate(TColor32 c1, TColor32 c2)
{
    return Color32(static_cast<int>(Div255(RedOf(c1) * RedOf(c2))),
        static_cast<int>(Div255(GreenOf(c1) * GreenOf(c2))),
        static_cast<int>(Div255(BlueOf(c1) * BlueOf(c2))),
        static_cast<int>(Div255(AlphaOf(c1) * AlphaOf(c2))));
}

// Mixes x with weight w/255 and y with (255 - w)/255 in all four channels, rounded to nearest;
// w is clamped to 0..255.
constexpr TColor32 CombineReg(TColor32 x, TColor32 y, int w)
{
    const quint32 wx = static_cast<quint32>(ClampByte(w));
    const quint32 wy = 255 - wx;
    const auto mix = [wx, wy](int a, int b) { return static_cast<int>(Div255(a * wx + b * wy)); };
    return Color32(mix(RedOf(x), RedOf(y)), mix(GreenOf(x), GreenOf(y)), mix(BlueOf(x), BlueOf(y)),
        mix(AlphaOf(x), AlphaOf(y)));
}

// Source over destination colour with the source alpha (scaled by `masterAlpha`); the
// destination keeps its own alpha.
constexpr TColor32 BlendReg(TColor32 f, TColor32 b, int masterAlpha = 255)
{
    quint32 a = static_cast<quint32>(AlphaOf(f));
    if (masterAlpha < 255)
        a = Div255(a * static_cast<quint32>(masterAlpha));
    if (a == 0)
        return b;
    const quint32 na = 255 - a;
    const auto mix = [a, na](int fc, int bc) { return static_cast<int>(Div255(fc * a + bc * na)); };
    return Color32(
        mix(RedOf(f), RedOf(b)), mix(GreenOf(f), GreenOf(b)), mix(BlueOf(f), BlueOf(b)), AlphaOf(b));
}

// Porter-Duff "over" of non-premultiplied colours, source alpha scaled by `masterAlpha`:
// alpha = a + round(b (255 - a) / 255); each channel is the alpha-weighted mean
// (F a 255 + B b (255 - a)) / (a 255 + b (255 - a)), rounded to nearest.
constexpr TColor32 MergeReg(TColor32 f, TColor32 b, int masterAlpha = 255)
{
    quint32 a = static_cast<quint32>(AlphaOf(f));
    if (masterAlpha < 255)
        a = Div255(a * static_cast<quint32>(masterAlpha));
    if (a == 0)
        return b;
    const quint32 ba = static_cast<quint32>(AlphaOf(b));
    if (a == 255 || ba == 0)
        return (f & 0x00FFFFFF) | (a << 24);
    const quint32 na = 255 - a;
    if (ba == 255)
        return BlendReg((f & 0x00FFFFFF) | (a << 24), b);
    const quint32 wf = a * 255;
    const quint32 wb = ba * na;
    const quint32 d = wf + wb;
    const auto mix = [wf, wb, d](int fc, int bc) {
        return static_cast<int>((static_cast<quint32>(fc) * wf + static_cast<quint32>(bc) * wb + d / 2) / d);
    };
    return Color32(mix(RedOf(f), RedOf(b)), mix(GreenOf(f), GreenOf(b)), mix(BlueOf(f), BlueOf(b)),
        static_cast<int>(a + Div255(wb)));
}

// Luminance as the toolbar weighs it: (61 R + 174 G + 21 B) div 256.
constexpr int Intensity(TColor32 c)
{
    return (61 * RedOf(c) + 174 * GreenOf(c) + 21 * BlueOf(c)) >> 8;
}

// The grey of the same intensity, alpha kept.
constexpr TColor32 Gray32(TColor32 c)
{
    const int i = Intensity(c);
    return Color32(i, i, i, AlphaOf(c));
}

// Fills `count` pixels from `dst` with one value.
inline void FillLongWord(TColor32* dst, qsizetype count, TColor32 value)
{
    if (count > 0)
        std::fill_n(dst, count, value);
}

} // namespace qb
