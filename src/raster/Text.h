#pragma once

#include "raster/Bitmap32.h"

#include <QFont>
#include <QStringList>

namespace qb {

// Text needs the fonts of a running QGuiApplication (or QApplication) and, like all QFont use,
// belongs on the thread that owns it.

// Layout flags of DrawText/MeasureText. The values are those of the Windows DrawText flags, so
// flag words such as 0xAC10 written for that function keep their meaning here.
namespace TextFlag {
inline constexpr quint32 Center = 0x1;
inline constexpr quint32 Right = 0x2;
inline constexpr quint32 VCenter = 0x4; // with SingleLine
inline constexpr quint32 Bottom = 0x8; // with SingleLine
inline constexpr quint32 WordBreak = 0x10;
inline constexpr quint32 SingleLine = 0x20;
inline constexpr quint32 CalcRect = 0x400; // accepted; MeasureText always measures
inline constexpr quint32 NoPrefix = 0x800; // accepted; "&" is never special here
inline constexpr quint32 EditControl = 0x2000; // break over-long words; draw only whole lines
inline constexpr quint32 EndEllipsis = 0x8000; // a line too wide ends in "…"
} // namespace TextFlag

// The QFont a TFont stands for, anti-aliased.
QFont ToQFont(const TFont& font);

// Splits text into the lines DrawText shows in `width` pixels. Paragraphs end at CR LF, LF or
// CR (with SingleLine they are joined by spaces). WordBreak fills lines greedily word by word;
// a word wider than the line is broken between characters with EditControl, else it stays
// whole. EndEllipsis shortens every line still too wide so that it ends in "…" and fits.
QStringList LayoutText(const TFont& font, const QString& text, int width, quint32 flags);

// The size of the laid-out text: the widest line and the number of lines x the line height.
// Empty text measures 0 x 0.
QSize MeasureText(const TFont& font, const QString& text, int width, quint32 flags);

// Draws laid-out text into `rect` of the bitmap in its Font(), clipped to the rectangle.
void DrawText(TBitmap32& bitmap, const QRect& rect, const QString& text, TColor32 colour, quint32 flags);

// The label rule of the bar: when `text` followed by "…" is wider than `width`, characters
// are removed from its end until the rest followed by "…" fits (or nothing is left) and "…"
// is appended; otherwise the text is returned as it is.
QString EllipsizeEnd(const TFont& font, const QString& text, int width);

} // namespace qb
