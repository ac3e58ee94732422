#include "raster/Bitmap32.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qb {

TBitmap32::TBitmap32(int width, int height, TColor32 fill)
{
    SetSize(width, height);
    if (fill != 0)
        Clear(fill);
}

void TBitmap32::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == 0 || height == 0)
        width = height = 0;
    if (width == FWidth && height == FHeight)
        return;
    std::vector<TColor32> bits(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    FBits.swap(bits);
    FWidth = width;
    FHeight = height;
}

TColor32 TBitmap32::PixelS(int x, int y) const
{
    if (FPixelAccess == TPixelAccess::Unsafe)
        return PixelU(x, y);
    return Pixel(x, y);
}

namespace {

// Bilinear interpolation of four non-premultiplied pixels, weighted by alpha so that a
// transparent neighbour lends no colour. Weights are in 1/65536.
TColor32 Interpolate(const TColor32 p[4], const quint32 w[4])
{
    quint64 a = 0, r = 0, g = 0, b = 0;
    for (int i = 0; i < 4; ++i) {
        const quint64 wa = static_cast<quint64>(w[i]) * AlphaOf(p[i]);
        a += wa;
        r += wa * RedOf(p[i]);
        g += wa * GreenOf(p[i]);
        b += wa * BlueOf(p[i]);
    }
    if (a == 0)
        return 0;
    const int alpha = static_cast<int>((a + 32768) >> 16);
    const auto chan = [a](quint64 v) { return static_cast<int>((v + a / 2) / a); };
    return Color32(chan(r), chan(g), chan(b), alpha);
}

} // namespace

TColor32 TBitmap32::PixelF(double x, double y) const
{
    if (IsEmpty() || !std::isfinite(x) || !std::isfinite(y))
        return FOuterColor;
    const double fx = x - 0.5;
    const double fy = y - 0.5;
    if (FPixelAccess == TPixelAccess::Safe && (x < 0 || y < 0 || x >= FWidth || y >= FHeight))
        return FOuterColor;
    if (fx <= -1.0 || fy <= -1.0 || fx >= FWidth || fy >= FHeight)
        return FOuterColor;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const quint32 wx = static_cast<quint32>(std::lround((fx - x0) * 256.0));
    const quint32 wy = static_cast<quint32>(std::lround((fy - y0) * 256.0));
    const quint32 w[4] = { (256 - wx) * (256 - wy), wx * (256 - wy), (256 - wx) * wy, wx * wy };
    TColor32 p[4];
    const int xs[4] = { x0, x0 + 1, x0, x0 + 1 };
    const int ys[4] = { y0, y0, y0 + 1, y0 + 1 };
    for (int i = 0; i < 4; ++i) {
        if (FPixelAccess == TPixelAccess::TransparentEdge)
            p[i] = Pixel(xs[i], ys[i]);
        else
            p[i] = FBits[Index(std::clamp(xs[i], 0, FWidth - 1), std::clamp(ys[i], 0, FHeight - 1))];
    }
    // Interpolate() expects weights in 1/65536; ours are in 1/65536 already (256 * 256).
    return Interpolate(p, w);
}

void TBitmap32::Clear(TColor32 c)
{
    std::fill(FBits.begin(), FBits.end(), c);
}

bool TBitmap32::operator==(const TBitmap32& other) const
{
    return FWidth == other.FWidth && FHeight == other.FHeight && FBits == other.FBits;
}

QImage TBitmap32::AsImage()
{
    if (IsEmpty())
        return QImage();
    return QImage(reinterpret_cast<uchar*>(FBits.data()), FWidth, FHeight, FWidth * 4, QImage::Format_ARGB32);
}

QImage TBitmap32::AsImage() const
{
    if (IsEmpty())
        return QImage();
    return QImage(
        reinterpret_cast<const uchar*>(FBits.data()), FWidth, FHeight, FWidth * 4, QImage::Format_ARGB32);
}

QImage TBitmap32::ToImage() const
{
    return AsImage().copy();
}

TBitmap32 TBitmap32::FromImage(const QImage& image)
{
    TBitmap32 result;
    result.Assign(image);
    return result;
}

void TBitmap32::Assign(const QImage& image)
{
    if (image.isNull()) {
        SetSize(0, 0);
        return;
    }
    const QImage source
        = image.format() == QImage::Format_ARGB32 ? image : image.convertToFormat(QImage::Format_ARGB32);
    SetSize(source.width(), source.height());
    for (int y = 0; y < FHeight; ++y)
        std::memcpy(ScanLine(y), source.constScanLine(y), static_cast<std::size_t>(FWidth) * 4);
}

void TBitmap32::SwapPixels(TBitmap32& other) noexcept
{
    std::swap(FWidth, other.FWidth);
    std::swap(FHeight, other.FHeight);
    FBits.swap(other.FBits);
}

} // namespace qb
