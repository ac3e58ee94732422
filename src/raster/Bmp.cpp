#include "raster/Bmp.h"

#include "raster/RasterError.h"

#include <QtEndian>

#include <bit>
#include <cstring>
#include <stdexcept>

namespace qb {

namespace {

constexpr int KFileHeaderSize = 14;
constexpr int KV4HeaderSize = 108;
constexpr int KPixelOffset = KFileHeaderSize + KV4HeaderSize;
constexpr quint32 KBiRgb = 0;
constexpr quint32 KBiBitFields = 3;
constexpr quint32 KBiAlphaBitFields = 6;

void Put16(uchar* p, quint16 v)
{
    qToLittleEndian(v, p);
}
void Put32(uchar* p, quint32 v)
{
    qToLittleEndian(v, p);
}

// Reads fields of the blob; every read is bounds-checked against the blob.
class TReader {
public:
    explicit TReader(QByteArrayView data)
        : FData(reinterpret_cast<const uchar*>(data.data()))
        , FSize(data.size())
    {
    }
    qsizetype Size() const { return FSize; }
    const uchar* At(qsizetype offset) const { return FData + offset; }
    quint16 U16(qsizetype offset) const
    {
        Need(offset, 2);
        return qFromLittleEndian<quint16>(FData + offset);
    }
    quint32 U32(qsizetype offset) const
    {
        Need(offset, 4);
        return qFromLittleEndian<quint32>(FData + offset);
    }
    qint32 I32(qsizetype offset) const { return static_cast<qint32>(U32(offset)); }
    void Need(qint64 offset, qint64 count) const
    {
        if (offset < 0 || count < 0 || offset > FSize || count > FSize - offset)
            throw EImageFormat();
    }

private:
    const uchar* FData;
    qsizetype FSize;
};

// One colour channel described by a bit mask.
struct TChannel {
    quint32 Mask = 0;
    int Shift = 0;
    int Bits = 0;

    static TChannel FromMask(quint32 mask)
    {
        TChannel c;
        if (mask == 0)
            return c;
        c.Mask = mask;
        c.Shift = std::countr_zero(mask);
        const quint32 run = mask >> c.Shift;
        c.Bits = std::popcount(run);
        // A mask with holes describes no channel any image writer produces.
        if ((run & (run + 1)) != 0)
            throw EImageFormat();
        return c;
    }

    int Extract(quint32 v, int absent) const
    {
        if (Bits == 0)
            return absent;
        const quint32 raw = (v & Mask) >> Shift;
        if (Bits >= 8)
            return static_cast<int>(raw >> (Bits - 8));
        const quint32 maxV = (1u << Bits) - 1;
        return static_cast<int>((raw * 255 + maxV / 2) / maxV);
    }
};

} // namespace

QByteArray EncodeBmp(const TBitmap32& bitmap)
{
    if (bitmap.Width() > KMaxBmpSide || bitmap.Height() > KMaxBmpSide)
        throw std::length_error("Image too large for BMP");
    const bool empty = bitmap.IsEmpty();
    const int w = empty ? 1 : bitmap.Width();
    const int h = empty ? 1 : bitmap.Height();
    const quint32 pixelBytes = static_cast<quint32>(w) * static_cast<quint32>(h) * 4;

    QByteArray blob(KPixelOffset + static_cast<qsizetype>(pixelBytes), '\0');
    auto* p = reinterpret_cast<uchar*>(blob.data());
    p[0] = 'B';
    p[1] = 'M';
    Put32(p + 2, KPixelOffset + pixelBytes);
    Put32(p + 10, KPixelOffset);
    Put32(p + 14, KV4HeaderSize);
    Put32(p + 18, static_cast<quint32>(w));
    Put32(p + 22, static_cast<quint32>(h));
    Put16(p + 26, 1);
    Put16(p + 28, 32);
    Put32(p + 30, KBiBitFields);
    Put32(p + 34, pixelBytes);
    Put32(p + 54, 0x00FF0000);
    Put32(p + 58, 0x0000FF00);
    Put32(p + 62, 0x000000FF);
    Put32(p + 66, 0xFF000000);
    std::memcpy(p + 70, "BGRs", 4);
    if (empty)
        return blob;

    uchar* out = p + KPixelOffset;
    for (int y = h - 1; y >= 0; --y) {
        const TColor32* row = bitmap.ScanLine(y);
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(out, row, static_cast<std::size_t>(w) * 4);
            out += static_cast<qsizetype>(w) * 4;
        } else {
            for (int x = 0; x < w; ++x, out += 4)
                Put32(out, row[x]);
        }
    }
    return blob;
}

void DecodeBmp(QByteArrayView data, TBitmap32& bitmap)
{
    const TReader in(data);
    in.Need(0, KFileHeaderSize + 4);
    if (*in.At(0) != 'B' || *in.At(1) != 'M')
        throw EImageFormat();
    const quint32 pixelOffset = in.U32(10);
    const quint32 headerSize = in.U32(14);

    qint64 width = 0;
    qint64 height = 0;
    int bpp = 0;
    quint32 compression = KBiRgb;
    if (headerSize == 12) {
        in.Need(KFileHeaderSize, 12);
        width = in.U16(18);
        height = in.U16(20);
        bpp = in.U16(24);
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108
        || headerSize == 124) {
        in.Need(KFileHeaderSize, headerSize);
        width = in.I32(18);
        height = in.I32(22);
        bpp = in.U16(28);
        compression = in.U32(30);
    } else {
        throw EImageFormat();
    }

    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width <= 0 || height <= 0 || width > KMaxBmpSide || height > KMaxBmpSide)
        throw EImageFormat();

    TChannel red, green, blue, alpha;
    bool standardMasks = false; // BGRA bytes with real alpha: rows can be copied as they are
    bool alphaUnlessAllZero = false; // BI_RGB: the fourth byte is alpha only if any is set
    if (compression == KBiRgb) {
        if (bpp != 24 && bpp != 32)
            throw EImageFormat();
        alphaUnlessAllZero = bpp == 32;
    } else if (compression == KBiBitFields || compression == KBiAlphaBitFields) {
        if (bpp != 32)
            throw EImageFormat();
        // With a 40-byte header the masks follow it; the larger headers hold them inside.
        const qsizetype maskAt = KFileHeaderSize + 40;
        const bool alphaListed = compression == KBiAlphaBitFields || headerSize >= 56;
        in.Need(maskAt, alphaListed ? 16 : 12);
        red = TChannel::FromMask(in.U32(maskAt));
        green = TChannel::FromMask(in.U32(maskAt + 4));
        blue = TChannel::FromMask(in.U32(maskAt + 8));
        if (alphaListed)
            alpha = TChannel::FromMask(in.U32(maskAt + 12));
        standardMasks = red.Mask == 0x00FF0000 && green.Mask == 0x0000FF00 && blue.Mask == 0x000000FF
            && alpha.Mask == 0xFF000000;
    } else {
        throw EImageFormat();
    }

    const qint64 stride = ((width * bpp + 31) / 32) * 4;
    const qint64 rowBytes = width * (bpp / 8);
    if (pixelOffset < static_cast<quint32>(KFileHeaderSize) + headerSize)
        throw EImageFormat();
    // The last row may lack its padding; every byte of pixels must be there.
    in.Need(pixelOffset, stride * (height - 1) + rowBytes);

    TBitmap32 decoded(static_cast<int>(width), static_cast<int>(height));
    const int w = decoded.Width();
    const int h = decoded.Height();
    bool anyAlpha = false;
    for (int row = 0; row < h; ++row) {
        const uchar* src = in.At(pixelOffset + stride * row);
        TColor32* dst = decoded.ScanLine(topDown ? row : h - 1 - row);
        if (bpp == 24) {
            for (int x = 0; x < w; ++x, src += 3)
                dst[x] = Color32(src[2], src[1], src[0]);
        } else if (standardMasks || alphaUnlessAllZero) {
            if constexpr (std::endian::native == std::endian::little) {
                std::memcpy(dst, src, static_cast<std::size_t>(w) * 4);
            } else {
                for (int x = 0; x < w; ++x)
                    dst[x] = qFromLittleEndian<quint32>(src + 4 * x);
            }
            if (alphaUnlessAllZero && !anyAlpha) {
                for (int x = 0; x < w && !anyAlpha; ++x)
                    anyAlpha = (dst[x] >> 24) != 0;
            }
        } else {
            for (int x = 0; x < w; ++x) {
                const quint32 v = qFromLittleEndian<quint32>(src + 4 * x);
                dst[x] = Color32(
                    red.Extract(v, 0), green.Extract(v, 0), blue.Extract(v, 0), alpha.Extract(v, 255));
            }
        }
    }
    if (alphaUnlessAllZero && !anyAlpha) {
        TColor32* p = decoded.Bits();
        for (qsizetype i = 0, n = decoded.PixelCount(); i < n; ++i)
            p[i] |= 0xFF000000u;
    }
    bitmap.SwapPixels(decoded);
}

} // namespace qb
