#pragma once

#include "raster/Bitmap32.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace qb {

// PNG with its alpha channel, through Qt's codec.
QByteArray EncodePng(const TBitmap32& bitmap);

// Decodes a picture: BMP with our own reader, every other format Qt can read (PNG, JPEG, ...)
// with Qt. Pictures larger than KMaxBmpSide on a side, and anything undecodable, throw
// EImageFormat; `bitmap` is then left as it was. Its drawing attributes always stay.
void DecodeImage(QByteArrayView data, TBitmap32& bitmap);

// Reads a picture file as DecodeImage() does; a file that cannot be read throws EImageFile.
void LoadFromFile(const QString& fileName, TBitmap32& bitmap);

// Writes a PNG file atomically (the old file stays whole when writing fails); throws
// EImageFile on failure.
void SaveToPng(const TBitmap32& bitmap, const QString& fileName);

} // namespace qb
