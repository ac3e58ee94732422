#include "raster/ImageIo.h"
#include "raster/Bmp.h"
#include "raster/RasterError.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace qb {
namespace {

TBitmap32 Translucent()
{
    TBitmap32 b(3, 2);
    const TColor32 px[6] = { 0xFF102030, 0x80405060, 0x00000000, 0x01A0B0C0, 0xFFD0E0F0, 0x7F010203 };
    for (int i = 0; i < 6; ++i)
        b.SetPixel(i % 3, i / 3, px[i]);
    return b;
}

quint32 Crc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char ch : data) {
        crc ^= static_cast<quint8>(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

} // namespace

TEST(ImageIo, PngKeepsStraightAlpha)
{
    const TBitmap32 original = Translucent();
    const QByteArray png = EncodePng(original);
    ASSERT_TRUE(png.startsWith("\x89PNG"));
    TBitmap32 back;
    DecodeImage(png, back);
    EXPECT_EQ(back, original);
}

TEST(ImageIo, DecodeImageReadsBmpAndOtherFormats)
{
    TBitmap32 fromBmp;
    DecodeImage(EncodeBmp(Translucent()), fromBmp);
    EXPECT_EQ(fromBmp, Translucent());

    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    QByteArray ppm;
    QBuffer buffer(&ppm);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(red.save(&buffer, "PPM"));
    TBitmap32 fromPpm;
    DecodeImage(ppm, fromPpm);
    EXPECT_EQ(fromPpm.Pixel(3, 3), 0xFFFF0000u);
}

TEST(ImageIo, UndecodableDataLeavesTheBitmap)
{
    TBitmap32 b(1, 1, 0xFF00FF00);
    for (const QByteArray& junk :
        { QByteArray(), QByteArray("not a picture"), EncodePng(Translucent()).left(40) }) {
        EXPECT_THROW(DecodeImage(junk, b), EImageFormat);
        EXPECT_EQ(b.Pixel(0, 0), 0xFF00FF00u);
    }
    // A well-formed PNG header that declares a 20000-pixel-wide picture is refused.
    QByteArray giant = EncodePng(Translucent());
    qToBigEndian<quint32>(20000, giant.data() + 16);
    qToBigEndian<quint32>(Crc32(giant.mid(12, 17)), giant.data() + 29);
    EXPECT_THROW(DecodeImage(giant, b), EImageFormat);
}

TEST(ImageIo, FilesAreWrittenWholeAndReadBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("icon.png"));
    SaveToPng(Translucent(), name);
    TBitmap32 back;
    LoadFromFile(name, back);
    EXPECT_EQ(back, Translucent());

    // Overwriting replaces the file; a failing write throws and leaves the old file.
    SaveToPng(TBitmap32(2, 2, 0xFF0000FF), name);
    LoadFromFile(name, back);
    EXPECT_EQ(back.Width(), 2);
    EXPECT_THROW(SaveToPng(Translucent(), dir.filePath(QStringLiteral("missing/icon.png"))), EImageFile);
    EXPECT_THROW(LoadFromFile(dir.filePath(QStringLiteral("nothing.png")), back), EImageFile);
    EXPECT_EQ(back.Width(), 2);
}

} // namespace qb
