#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QtGlobal>

#include <vector>

namespace qb {

// One pixel: $AARRGGBB, not premultiplied.
using TColor32 = quint32;

constexpr int AlphaOf(TColor32 c)
{
    return static_cast<int>(c >> 24);
}
constexpr int RedOf(TColor32 c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}
constexpr int GreenOf(TColor32 c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(TColor32 c)
{
    return static_cast<int>(c & 0xFF);
}

// Channels are taken modulo 256; callers clamp first when they must.
constexpr TColor32 Color32(int r, int g, int b, int a = 255)
{
    return (static_cast<TColor32>(a & 0xFF) << 24) | (static_cast<TColor32>(r & 0xFF) << 16)
        | (static_cast<TColor32>(g & 0xFF) << 8) | static_cast<TColor32>(b & 0xFF);
}

// How a bitmap is put onto another one when it is the source of a draw.
enum class TDrawMode {
    Opaque, // copy the source pixels, alpha included
    Blend, // combine with the destination according to TCombineMode
};

enum class TCombineMode {
    Blend, // source over the destination colour; the destination keeps its alpha
    Merge, // Porter-Duff "over" of two non-premultiplied images
};

// The filter used when a bitmap is drawn stretched.
enum class TResamplerKind {
    Nearest,
    Linear, // TLinearResampler
    Draft, // TDraftResampler
};

// What reading outside the bitmap yields: Unsafe does not look (callers guarantee the range),
// Safe gives OuterColor with a hard edge, TransparentEdge lets sub-pixel sampling fade
// into OuterColor across the outermost pixel so rotated or shifted copies get soft edges.
enum class TPixelAccess {
    Unsafe,
    Safe,
    TransparentEdge,
};

// The font a bitmap renders its text with.
struct TFont {
    QString Name; // family; empty means the application's default family
    int Height = 13; // pixel height of the em box
    int Weight = 400; // 400 regular, 700 bold (QFont::Weight scale)
    bool Italic = false;

    bool operator==(const TFont&) const = default;
};

// A 32-bit ARGB raster image, one TColor32 per pixel, rows top-down without padding: the memory
// layout of QImage::Format_ARGB32, so AsImage() can give QPainter the pixels without a copy.
// Besides its pixels a bitmap carries how it is drawn onto others (draw and combine mode,
// master alpha, resampler, pixel access) and the font its text is rendered in.
class TBitmap32 {
public:
    TBitmap32() = default;
    TBitmap32(int width, int height, TColor32 fill = 0);

    // A new size clears every pixel to 0 (transparent); the same size keeps the pixels.
    // Negative sizes count as 0.
    void SetSize(int width, int height);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    QRect BoundsRect() const { return QRect(0, 0, FWidth, FHeight); }
    // 0 x 0 (or a zero side) only; whether a 1 x 1 picture counts as "no picture" is the
    // caller's rule.
    bool IsEmpty() const { return FWidth <= 0 || FHeight <= 0; }

    TColor32* Bits() { return FBits.data(); }
    const TColor32* Bits() const { return FBits.data(); }
    TColor32* ScanLine(int y) { return FBits.data() + static_cast<qsizetype>(y) * FWidth; }
    const TColor32* ScanLine(int y) const { return FBits.data() + static_cast<qsizetype>(y) * FWidth; }
    qsizetype PixelCount() const { return static_cast<qsizetype>(FWidth) * FHeight; }

    // Checked access: reading outside gives OuterColor(), writing outside does nothing.
    TColor32 Pixel(int x, int y) const { return Contains(x, y) ? FBits[Index(x, y)] : FOuterColor; }
    void SetPixel(int x, int y, TColor32 c)
    {
        if (Contains(x, y))
            FBits[Index(x, y)] = c;
    }
    // Unchecked access for inner loops; the caller guarantees the position is inside.
    TColor32 PixelU(int x, int y) const
    {
        Q_ASSERT(Contains(x, y));
        return FBits[Index(x, y)];
    }
    void SetPixelU(int x, int y, TColor32 c)
    {
        Q_ASSERT(Contains(x, y));
        FBits[Index(x, y)] = c;
    }
    // Access according to PixelAccess(): Unsafe behaves like PixelU, the others like Pixel.
    TColor32 PixelS(int x, int y) const;
    // Bilinear sample at a real position (pixel centres at integer + 0.5), honouring
    // PixelAccess() at the border.
    TColor32 PixelF(double x, double y) const;

    bool Contains(int x, int y) const
    {
        return static_cast<unsigned>(x) < static_cast<unsigned>(FWidth)
            && static_cast<unsigned>(y) < static_cast<unsigned>(FHeight);
    }

    void Clear(TColor32 c = 0);

    // Two bitmaps are equal when their sizes and pixels are; drawing attributes do not count.
    bool operator==(const TBitmap32& other) const;

    // A QImage (Format_ARGB32) over this bitmap's own pixels: painting on it paints the bitmap.
    // Valid until the bitmap is resized or destroyed; null for an empty bitmap.
    QImage AsImage();
    // A read-only view; Qt detaches (copies) should anyone write through it.
    QImage AsImage() const;
    // A deep copy as Format_ARGB32.
    QImage ToImage() const;
    // Any QImage, converted to non-premultiplied ARGB; a null image gives an empty bitmap.
    static TBitmap32 FromImage(const QImage& image);
    // Replaces the pixels with those of the image; drawing attributes stay.
    void Assign(const QImage& image);

    TDrawMode DrawMode() const { return FDrawMode; }
    void SetDrawMode(TDrawMode mode) { FDrawMode = mode; }
    TCombineMode CombineMode() const { return FCombineMode; }
    void SetCombineMode(TCombineMode mode) { FCombineMode = mode; }
    // 0..255; scales the source alpha in Blend draw mode.
    int MasterAlpha() const { return FMasterAlpha; }
    void SetMasterAlpha(int alpha) { FMasterAlpha = qBound(0, alpha, 255); }
    TResamplerKind Resampler() const { return FResampler; }
    void SetResampler(TResamplerKind kind) { FResampler = kind; }
    TPixelAccess PixelAccess() const { return FPixelAccess; }
    void SetPixelAccess(TPixelAccess access) { FPixelAccess = access; }
    TColor32 OuterColor() const { return FOuterColor; }
    void SetOuterColor(TColor32 c) { FOuterColor = c; }
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& font) { FFont = font; }

    // Drawing from another bitmap. The *source's* draw mode, combine mode, master alpha and
    // resampler decide how its pixels land here (Opaque copies them, master alpha included in
    // neither). Areas outside either bitmap are clipped away.
    void Draw(int dstX, int dstY, const TBitmap32& src);
    void Draw(int dstX, int dstY, const QRect& srcRect, const TBitmap32& src);
    // Stretches `srcRect` onto `dstRect` when their sizes differ. Destination pixels whose
    // centre maps outside the source picture stay untouched.
    void Draw(const QRect& dstRect, const QRect& srcRect, const TBitmap32& src);
    void DrawTo(TBitmap32& dst, int dstX, int dstY) const { dst.Draw(dstX, dstY, *this); }
    void DrawTo(TBitmap32& dst, const QRect& dstRect) const { dst.Draw(dstRect, BoundsRect(), *this); }
    void DrawTo(TBitmap32& dst, const QRect& dstRect, const QRect& srcRect) const
    {
        dst.Draw(dstRect, srcRect, *this);
    }

    // Mirror left-right / top-bottom; rotations are clockwise and swap width and height for
    // 90 and 270.
    void FlipHorz();
    void FlipVert();
    void Rotate90();
    void Rotate180();
    void Rotate270();

    // Replace the pixels of a clipped area: a rectangle, or a one-pixel line whose end points
    // are both included.
    void FillRect(const QRect& rect, TColor32 c);
    void HorzLine(int x1, int y, int x2, TColor32 c);
    void VertLine(int x, int y1, int y2, TColor32 c);

    // Anti-aliased text in Font(), its cell's top-left corner at (x, y), painted over the pixels.
    void RenderText(int x, int y, const QString& text, TColor32 colour);
    QSize TextExtent(const QString& text) const;
    int TextWidth(const QString& text) const { return TextExtent(text).width(); }
    int TextHeight(const QString& text) const { return TextExtent(text).height(); }

    // Exchanges sizes and pixels only; each bitmap keeps its drawing attributes and font.
    void SwapPixels(TBitmap32& other) noexcept;

private:
    qsizetype Index(int x, int y) const { return static_cast<qsizetype>(y) * FWidth + x; }

    int FWidth = 0;
    int FHeight = 0;
    std::vector<TColor32> FBits;
    TDrawMode FDrawMode = TDrawMode::Opaque;
    TCombineMode FCombineMode = TCombineMode::Blend;
    int FMasterAlpha = 255;
    TResamplerKind FResampler = TResamplerKind::Nearest;
    TPixelAccess FPixelAccess = TPixelAccess::Safe;
    TColor32 FOuterColor = 0;
    TFont FFont;
};

} // namespace qb
