#pragma once

#include "raster/Bitmap32.h"

#include <QByteArray>
#include <QByteArrayView>

namespace qb {

// Largest width and height a BMP blob may declare; anything beyond is refused before any
// allocation happens.
inline constexpr int KMaxBmpSide = 16384;

// The one BMP form the program writes: 14-byte file header, 108-byte version-4 information
// header with bit fields (R 00FF0000, G 0000FF00, B 000000FF, A FF000000, colour space "BGRs"),
// pixels bottom-up as the little-endian ARGB values, alpha not premultiplied. The blob is
// 122 + 4 x W x H bytes. An empty bitmap is written as one transparent pixel, because a blob
// of width 0 could not be read back. Throws std::length_error for a side above KMaxBmpSide.
QByteArray EncodeBmp(const TBitmap32& bitmap);

// Reads a 24- or 32-bit BMP file (bottom-up or top-down rows; information header of 12, 40,
// 52, 56, 108 or 124 bytes; BI_RGB, or BI_BITFIELDS / BI_ALPHABITFIELDS with 32 bits). A
// 32-bit BI_RGB image whose fourth bytes are all 0 is read as opaque. The result replaces the
// pixels of `bitmap`, whose drawing attributes stay. Anything else — a foreign format, a
// truncated blob, a zero or negative width, a zero height, a side above KMaxBmpSide — throws
// EImageFormat and leaves `bitmap` untouched.
void DecodeBmp(QByteArrayView data, TBitmap32& bitmap);

} // namespace qb
