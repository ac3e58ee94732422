#include "raster/Bmp.h"
#include "raster/RasterError.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>

#include <gtest/gtest.h>

#include <limits>

namespace qb {
namespace {

void Put(QByteArray& b, qsizetype at, quint32 v, int bytes = 4)
{
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A BMP file written as other programs write them: `headerSize` 12/40/108/124, rows padded to
// four bytes, `pixels` given top-down as ARGB and stored in the requested order and depth.
struct TForeignBmp {
    int HeaderSize = 40;
    int Bpp = 24;
    quint32 Compression = 0;
    bool TopDown = false;
    std::vector<quint32> Masks; // after a 40-byte header, or inside a larger one
    bool StoreAlpha = true; // 32-bit BI_RGB: write the alpha byte, or 0

    QByteArray Build(int w, int h, const std::vector<TColor32>& pixels) const
    {
        const int stride = ((w * Bpp + 31) / 32) * 4;
        const bool masksAfterHeader = HeaderSize == 40 && !Masks.empty();
        const int offset = 14 + HeaderSize + (masksAfterHeader ? 4 * static_cast<int>(Masks.size()) : 0);
        QByteArray b(offset + stride * h, '\0');
        b[0] = 'B';
        b[1] = 'M';
        Put(b, 2, static_cast<quint32>(b.size()));
        Put(b, 10, static_cast<quint32>(offset));
        Put(b, 14, static_cast<quint32>(HeaderSize));
        if (HeaderSize == 12) {
            Put(b, 18, static_cast<quint32>(w), 2);
            Put(b, 20, static_cast<quint32>(h), 2);
            Put(b, 22, 1, 2);
            Put(b, 24, static_cast<quint32>(Bpp), 2);
        } else {
            Put(b, 18, static_cast<quint32>(w));
            Put(b, 22, static_cast<quint32>(TopDown ? -h : h));
            Put(b, 26, 1, 2);
            Put(b, 28, static_cast<quint32>(Bpp), 2);
            Put(b, 30, Compression);
            for (std::size_t i = 0; i < Masks.size(); ++i)
                Put(b, 54 + 4 * static_cast<qsizetype>(i), Masks[i]);
        }
        for (int y = 0; y < h; ++y) {
            const int row = TopDown ? y : h - 1 - y;
            for (int x = 0; x < w; ++x) {
                const TColor32 c = pixels[static_cast<std::size_t>(y * w + x)];
                const qsizetype at = offset + static_cast<qsizetype>(row) * stride + x * (Bpp / 8);
                if (Bpp == 24) {
                    Put(b, at, c & 0xFFFFFF, 3);
                } else if (!Masks.empty()) {
                    quint32 v = 0;
                    const int values[4] = { RedOf(c), GreenOf(c), BlueOf(c), AlphaOf(c) };
                    for (std::size_t i = 0; i < Masks.size(); ++i)
                        v |= (static_cast<quint32>(values[i]) << std::countr_zero(Masks[i])) & Masks[i];
                    Put(b, at, v);
                } else {
                    Put(b, at, StoreAlpha ? c : (c & 0xFFFFFF));
                }
            }
        }
        return b;
    }
};

TBitmap32 Sample3x2()
{
    TBitmap32 b(3, 2);
    const TColor32 px[6] = { 0xFF102030, 0x80405060, 0x00708090, 0x01A0B0C0, 0xFFD0E0F0, 0x7F010203 };
    for (int i = 0; i < 6; ++i)
        b.SetPixel(i % 3, i / 3, px[i]);
    return b;
}

std::vector<TColor32> PixelsOf(const TBitmap32& b)
{
    return std::vector<TColor32>(b.Bits(), b.Bits() + b.PixelCount());
}

void ExpectRejected(const QByteArray& blob, const char* what)
{
    TBitmap32 target(1, 1, 0xFFABCDEF);
    try {
        DecodeBmp(blob, target);
        ADD_FAILURE() << what << ": accepted";
    } catch (const EImageFormat& e) {
        EXPECT_STREQ(e.what(), "Unknown image format") << what;
    }
    EXPECT_EQ(target.Width(), 1) << what;
    EXPECT_EQ(target.Pixel(0, 0), 0xFFABCDEFu) << what << ": target changed";
}

} // namespace

TEST(BmpEncode, BlankPixelIsTheFixed126ByteBlob)
{
    const QByteArray blob = EncodeBmp(TBitmap32(1, 1));
    ASSERT_EQ(blob.size(), 126);
    const QByteArray expected
        = QByteArray::fromHex(
              "424d7e000000000000007a000000" // "BM", file size 126, reserved, pixel offset 122
              "6c000000010000000100000001002000" // header 108, 1 x 1, 1 plane, 32 bits
              "03000000040000000000000000000000" // bit fields, image size 4, resolutions
              "0000000000000000" // colours used, important colours
              "0000ff0000ff0000ff000000000000ff" // red, green, blue, alpha masks
              "42475273") // "BGRs"
        + QByteArray(36 + 12, '\0') // end points and gamma
        + QByteArray(4, '\0'); // the transparent pixel
    EXPECT_EQ(blob.toHex(), expected.toHex());
}

TEST(BmpEncode, RowsBottomUpPixelsLittleEndian)
{
    const QByteArray blob = EncodeBmp(Sample3x2());
    ASSERT_EQ(blob.size(), 122 + 3 * 2 * 4);
    EXPECT_EQ(qFromLittleEndian<quint32>(blob.constData() + 2), 146u);
    EXPECT_EQ(qFromLittleEndian<quint32>(blob.constData() + 18), 3u);
    EXPECT_EQ(qFromLittleEndian<quint32>(blob.constData() + 22), 2u);
    EXPECT_EQ(qFromLittleEndian<quint32>(blob.constData() + 34), 24u);
    // First stored row is the bottom row; bytes of each pixel are B, G, R, A.
    EXPECT_EQ(blob.mid(122, 4).toHex(), QByteArray("c0b0a001"));
    EXPECT_EQ(blob.mid(122 + 12, 4).toHex(), QByteArray("302010ff"));
    EXPECT_EQ(blob.mid(122 + 20, 4).toHex(), QByteArray("90807000"));
}

TEST(BmpEncode, EmptyBitmapIsWrittenAsOneTransparentPixel)
{
    const QByteArray blob = EncodeBmp(TBitmap32());
    EXPECT_EQ(blob, EncodeBmp(TBitmap32(1, 1)));
    TBitmap32 back;
    DecodeBmp(blob, back);
    EXPECT_EQ(back, TBitmap32(1, 1));
}

TEST(BmpDecode, OwnFormRoundTripsEveryAlphaExactly)
{
    const TBitmap32 original = Sample3x2();
    TBitmap32 back;
    back.SetDrawMode(TDrawMode::Blend);
    DecodeBmp(EncodeBmp(original), back);
    EXPECT_EQ(back, original);
    EXPECT_EQ(back.DrawMode(), TDrawMode::Blend) << "drawing attributes stay";
}

TEST(BmpDecode, ForeignForms)
{
    const TBitmap32 sample = Sample3x2();
    const std::vector<TColor32> px = PixelsOf(sample);
    std::vector<TColor32> opaque = px;
    std::vector<TColor32> noColour = px;
    for (std::size_t i = 0; i < px.size(); ++i) {
        opaque[i] |= 0xFF000000;
        noColour[i] &= 0xFF000000;
        noColour[i] |= 0x00FFFFFF & ~px[i];
    }
    const quint32 r = 0x00FF0000, g = 0x0000FF00, bl = 0x000000FF, a = 0xFF000000;
    const struct {
        const char* Name;
        TForeignBmp Form;
        std::vector<TColor32> Expected;
    } cases[] = {
        { "24-bit bottom-up, padded rows", { 40, 24, 0, false, {}, true }, opaque },
        { "24-bit top-down", { 40, 24, 0, true, {}, true }, opaque },
        { "24-bit core header", { 12, 24, 0, false, {}, true }, opaque },
        { "32-bit BI_RGB with alpha", { 40, 32, 0, false, {}, true }, px },
        { "32-bit BI_RGB, alpha bytes all 0", { 40, 32, 0, false, {}, false }, opaque },
        { "bit fields after a 40-byte header", { 40, 32, 3, false, { r, g, bl }, true }, opaque },
        { "alpha bit fields after a 40-byte header, top-down", { 40, 32, 6, true, { r, g, bl, a }, true },
            px },
        { "v4 header, RGBA byte order",
            { 108, 32, 3, false, { 0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF }, true }, px },
        { "v5 header, standard masks, top-down", { 124, 32, 3, true, { r, g, bl, a }, true }, px },
        { "v5 header, BI_RGB", { 124, 32, 0, false, {}, true }, px },
    };
    for (const auto& c : cases) {
        TBitmap32 got;
        const QByteArray blob = c.Form.Build(3, 2, c.Expected);
        ASSERT_NO_THROW(DecodeBmp(blob, got)) << c.Name;
        ASSERT_EQ(got.Width(), 3) << c.Name;
        ASSERT_EQ(got.Height(), 2) << c.Name;
        EXPECT_EQ(PixelsOf(got), c.Expected) << c.Name;
    }
}

TEST(BmpDecode, FiveBitMasksScaleToFullRange)
{
    // 32-bit pixels carrying 5-bit channels: 31 must become 255, 16 -> 132.
    TForeignBmp form { 40, 32, 3, false, { 0x7C00, 0x03E0, 0x001F }, true };
    QByteArray blob = form.Build(2, 1, { 0, 0 });
    Put(blob, blob.size() - 8, 0x7FFF);
    Put(blob, blob.size() - 4, (16u << 10) | (1u << 5));
    TBitmap32 got;
    DecodeBmp(blob, got);
    EXPECT_EQ(got.Pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(got.Pixel(1, 0), 0xFF840800u);
}

TEST(BmpDecode, ReadsWhatQtWrites)
{
    QImage image(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, qRgba(40 * x, 80 * y, 7 * x + y, 255));
    for (QImage::Format format : { QImage::Format_RGB32, QImage::Format_RGB888 }) {
        QByteArray blob;
        QBuffer buffer(&blob);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        ASSERT_TRUE(image.convertToFormat(format).save(&buffer, "BMP"));
        TBitmap32 got;
        DecodeBmp(blob, got);
        EXPECT_EQ(got, TBitmap32::FromImage(image)) << format;
    }
}

TEST(BmpDecode, RejectsBadBlobsWithoutTouchingTheTarget)
{
    const QByteArray good = EncodeBmp(Sample3x2());
    const auto with = [&good](qsizetype at, quint32 v, int bytes = 4) {
        QByteArray b = good;
        Put(b, at, v, bytes);
        return b;
    };
    ExpectRejected(QByteArray(), "empty");
    ExpectRejected(good.left(20), "header cut");
    ExpectRejected(good.left(good.size() - 1), "last pixel byte missing");
    ExpectRejected(QByteArray("\x89PNG\r\n\x1a\n") + good.mid(8), "not BM");
    ExpectRejected(with(14, 41), "unknown header size");
    ExpectRejected(with(18, 0), "width 0");
    ExpectRejected(with(18, static_cast<quint32>(-3)), "negative width");
    ExpectRejected(with(22, 0), "height 0");
    ExpectRejected(with(18, 16385), "width over the limit");
    ExpectRejected(with(22, static_cast<quint32>(-16385)), "top-down height over the limit");
    ExpectRejected(with(22, static_cast<quint32>(std::numeric_limits<qint32>::min())), "height INT_MIN");
    ExpectRejected(with(18, 16384), "claims more pixels than it holds");
    ExpectRejected(with(10, 0xFFFFFFF0), "pixel offset beyond the blob");
    ExpectRejected(with(10, 20), "pixel offset inside the header");
    ExpectRejected(with(28, 16, 2), "16 bits per pixel");
    ExpectRejected(with(28, 8, 2), "8 bits per pixel");
    ExpectRejected(with(30, 1), "run-length compressed");
    ExpectRejected(with(54, 0x00F0F000), "mask with a hole");
    TForeignBmp core { 12, 24, 0, false, {}, true };
    ExpectRejected(core.Build(3, 2, std::vector<TColor32>(6)).left(14 + 12 + 10), "core header, pixels cut");
}

} // namespace qb
