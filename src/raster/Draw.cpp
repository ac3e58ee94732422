#include "raster/Bitmap32.h"

#include "raster/Resamplers.h"

#include <algorithm>

namespace qb {

void TBitmap32::Draw(int dstX, int dstY, const TBitmap32& src)
{
    Draw(dstX, dstY, src.BoundsRect(), src);
}

void TBitmap32::Draw(int dstX, int dstY, const QRect& srcRect, const TBitmap32& src)
{
    if (&src == this) {
        const TBitmap32 copy = src;
        Draw(dstX, dstY, srcRect, copy);
        return;
    }
    QRect from = srcRect.intersected(src.BoundsRect());
    if (from.isEmpty())
        return;
    const QPoint shift(dstX - srcRect.left(), dstY - srcRect.top());
    const QRect to = from.translated(shift).intersected(BoundsRect());
    if (to.isEmpty())
        return;
    from = to.translated(-shift);
    for (int y = 0; y < to.height(); ++y) {
        CombineLine(src.ScanLine(from.top() + y) + from.left(), ScanLine(to.top() + y) + to.left(),
            to.width(), src.DrawMode(), src.CombineMode(), src.MasterAlpha());
    }
}

void TBitmap32::Draw(const QRect& dstRect, const QRect& srcRect, const TBitmap32& src)
{
    if (dstRect.size() == srcRect.size()) {
        Draw(dstRect.left(), dstRect.top(), srcRect, src);
        return;
    }
    if (&src == this) {
        const TBitmap32 copy = src;
        Draw(dstRect, srcRect, copy);
        return;
    }
    ResamplerOf(src.Resampler())
        .Transfer(*this, dstRect, src, srcRect, src.DrawMode(), src.CombineMode(), src.MasterAlpha());
}

void TBitmap32::FlipHorz()
{
    for (int y = 0; y < FHeight; ++y)
        std::reverse(ScanLine(y), ScanLine(y) + FWidth);
}

void TBitmap32::FlipVert()
{
    for (int y = 0; y < FHeight / 2; ++y)
        std::swap_ranges(ScanLine(y), ScanLine(y) + FWidth, ScanLine(FHeight - 1 - y));
}

void TBitmap32::Rotate180()
{
    std::reverse(FBits.begin(), FBits.end());
}

void TBitmap32::Rotate90()
{
    // Source (x, y) lands at (H - 1 - y, x) of the W-high result.
    std::vector<TColor32> rotated(FBits.size());
    const int newW = FHeight;
    for (int y = 0; y < FHeight; ++y) {
        const TColor32* row = ScanLine(y);
        for (int x = 0; x < FWidth; ++x)
            rotated[static_cast<std::size_t>(x) * newW + (FHeight - 1 - y)] = row[x];
    }
    FBits.swap(rotated);
    std::swap(FWidth, FHeight);
}

void TBitmap32::Rotate270()
{
    // Source (x, y) lands at (y, W - 1 - x).
    std::vector<TColor32> rotated(FBits.size());
    const int newW = FHeight;
    for (int y = 0; y < FHeight; ++y) {
        const TColor32* row = ScanLine(y);
        for (int x = 0; x < FWidth; ++x)
            rotated[static_cast<std::size_t>(FWidth - 1 - x) * newW + y] = row[x];
    }
    FBits.swap(rotated);
    std::swap(FWidth, FHeight);
}

void TBitmap32::FillRect(const QRect& rect, TColor32 c)
{
    const QRect r = rect.intersected(BoundsRect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::fill_n(ScanLine(y) + r.left(), r.width(), c);
}

void TBitmap32::HorzLine(int x1, int y, int x2, TColor32 c)
{
    FillRect(QRect(QPoint(std::min(x1, x2), y), QPoint(std::max(x1, x2), y)), c);
}

void TBitmap32::VertLine(int x, int y1, int y2, TColor32 c)
{
    FillRect(QRect(QPoint(x, std::min(y1, y2)), QPoint(x, std::max(y1, y2))), c);
}

} // namespace qb
