#pragma once

#include "raster/Bitmap32.h"

namespace qb {

// Whole-bitmap colour operations. Each works in place on every pixel.

// Every pixel := LightenReg(pixel, amount).
void Lighten(TBitmap32& bitmap, int amount);

// Red, green and blue := the pixel's Intensity(); alpha kept.
void Grayscale(TBitmap32& bitmap);
// `dst` := a grey copy of `src` (sized like it; dst's drawing attributes stay).
void Grayscale(const TBitmap32& src, TBitmap32& dst);

// Alpha := Intensity() of the same pixel of `src`; colours stay. Only the area both bitmaps
// cover is changed.
void IntensityToAlpha(TBitmap32& dst, const TBitmap32& src);
void IntensityToAlpha(TBitmap32& bitmap);

// Red, green and blue := 255 - channel; alpha kept.
void Invert(TBitmap32& bitmap);

// Sets the alpha of every pixel, colours untouched.
void SetAlpha(TBitmap32& bitmap, int alpha);

// Premultiplies the colours by alpha (round(c a / 255)); a pixel of alpha 0 becomes 0.
void Premultiply(TBitmap32& bitmap);
// Undoes premultiplication the way premultiplied pictures are read: for 0 < alpha < 255 each
// channel := min(255, channel x 255 div alpha); other pixels stay.
void Unpremultiply(TBitmap32& bitmap);

// amount := clamp(amount, 0, 255). For every pixel with alpha > 0:
// d := Round(mean(R, G, B of the pixel) - mean(R, G, B of colour)); each channel :=
// Round(amount/255 x (colour channel + d) + (255 - amount)/255 x pixel channel) clamped to
// 0..255; alpha unchanged. Used to desaturate icons (black, 255 gives grey).
void BlendToColor(TBitmap32& bitmap, TColor32 colour, int amount);

// When `pageColour` is not white ($FFFFFFFF) every pixel := ColorModulate(pixel, pageColour);
// returns whether it tinted.
bool TintPage(TBitmap32& page, TColor32 pageColour);

// For every pixel and each of red, green, blue (alpha untouched), with c the pixel's channel
// and k the colour's: o := 255 - ((255 - k)(255 - c) div 128) when c >= 128, else
// (c k) div 128; the channel := ((255 - s) c + s o) div 256. `strength` s is clamped to 0..255.
void TintOverlay(TBitmap32& bitmap, TColor32 colour, int strength);

// When the bitmap is not already width x height it is replaced by a copy of itself stretched
// to that size with TLinearResampler (drawing attributes stay).
void ResizeLinear(TBitmap32& bitmap, int width, int height);

} // namespace qb
