#include "raster/Text.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace qb {
namespace {

TFont Sans(int height, int weight = 400)
{
    TFont f;
    f.Name = QStringLiteral("DejaVu Sans");
    f.Height = height;
    f.Weight = weight;
    return f;
}

// The bounding box of pixels with any alpha, and the strongest alpha found.
struct TInk {
    QRect Box;
    int MaxAlpha = 0;
    TColor32 Strongest = 0;
};

TInk InkOf(const TBitmap32& b)
{
    TInk ink;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            const TColor32 c = b.Pixel(x, y);
            if (AlphaOf(c) == 0)
                continue;
            ink.Box |= QRect(x, y, 1, 1);
            if (AlphaOf(c) > ink.MaxAlpha) {
                ink.MaxAlpha = AlphaOf(c);
                ink.Strongest = c;
            }
        }
    }
    return ink;
}

} // namespace

TEST(Text, FontIsTheOneAskedFor)
{
    const QFont q = ToQFont(Sans(19, 700));
    EXPECT_EQ(q.pixelSize(), 19);
    EXPECT_EQ(q.weight(), QFont::Bold);
    EXPECT_EQ(QFontInfo(q).family(), QStringLiteral("DejaVu Sans"));
    TFont arial = Sans(12);
    arial.Name = QStringLiteral("Arial");
    EXPECT_FALSE(QFontInfo(ToQFont(arial)).family().isEmpty()) << "a substitute is found";
}

TEST(Text, RenderedInkLiesInsideTheMeasuredCell)
{
    TBitmap32 b(120, 40);
    b.SetFont(Sans(20, 700));
    const QString text = QStringLiteral("Hg 42°");
    const QSize extent = b.TextExtent(text);
    b.RenderText(10, 5, text, 0xFF204080);
    const TInk ink = InkOf(b);
    ASSERT_FALSE(ink.Box.isEmpty());
    // Anti-aliased glyphs: fully covered pixels carry the colour exactly, edges are partial.
    EXPECT_EQ(ink.MaxAlpha, 255);
    EXPECT_EQ(ink.Strongest, 0xFF204080u);
    // A pixel of tolerance for glyphs that overhang their advance.
    EXPECT_TRUE(QRect(10 - 1, 5, extent.width() + 2, extent.height()).contains(ink.Box))
        << ink.Box.x() << "," << ink.Box.y() << " " << ink.Box.width() << "x" << ink.Box.height();
    EXPECT_GT(ink.Box.height(), 20 / 2);
}

TEST(Text, SizeAndWeightChangeTheExtent)
{
    TBitmap32 b;
    b.SetFont(Sans(12));
    const QSize small = b.TextExtent(QStringLiteral("Quillbar"));
    b.Font().Height = 24;
    const QSize large = b.TextExtent(QStringLiteral("Quillbar"));
    b.Font().Weight = 700;
    const QSize bold = b.TextExtent(QStringLiteral("Quillbar"));
    EXPECT_NEAR(large.width(), 2 * small.width(), 4);
    EXPECT_NEAR(large.height(), 2 * small.height(), 3);
    EXPECT_GT(bold.width(), large.width());
    EXPECT_EQ(b.TextWidth(QString()), 0);
}

TEST(Text, WordWrappedHeightAndWidth)
{
    const TFont font = Sans(14);
    const QFontMetrics fm(ToQFont(font));
    const int lineH = fm.height();
    const QString text = QStringLiteral("one two three four five six seven");
    const int limit = fm.horizontalAdvance(QStringLiteral("three four")) + 1;
    const quint32 flags
        = TextFlag::WordBreak | TextFlag::NoPrefix | TextFlag::EditControl | TextFlag::CalcRect;

    const QStringList lines = LayoutText(font, text, limit, flags);
    EXPECT_EQ(lines,
        (QStringList { QStringLiteral("one two"), QStringLiteral("three four"), QStringLiteral("five six"),
            QStringLiteral("seven") }));
    const QSize size = MeasureText(font, text, limit, flags);
    EXPECT_EQ(size.height(), 4 * lineH);
    EXPECT_EQ(size.width(), fm.horizontalAdvance(QStringLiteral("three four")));

    // Explicit line breaks start new lines; without word break nothing else wraps.
    EXPECT_EQ(MeasureText(font, QStringLiteral("a\r\nb\nc"), 1000, flags).height(), 3 * lineH);
    EXPECT_EQ(MeasureText(font, text, 10, 0).height(), lineH);
    EXPECT_EQ(MeasureText(font, QStringLiteral("a\nb"), 1000, TextFlag::SingleLine).height(), lineH);
    EXPECT_EQ(MeasureText(font, QString(), 100, flags), QSize(0, 0));
}

TEST(Text, OverlongWordsBreakOrEndInEllipsis)
{
    const TFont font = Sans(14);
    const QFontMetrics fm(ToQFont(font));
    const QString word = QStringLiteral("Donaudampfschifffahrt");
    const int limit = fm.horizontalAdvance(word) / 3;

    const QStringList broken = LayoutText(font, word, limit, TextFlag::WordBreak | TextFlag::EditControl);
    EXPECT_GE(broken.size(), 3);
    EXPECT_EQ(broken.join(QString()), word);
    for (const QString& piece : broken)
        EXPECT_LE(fm.horizontalAdvance(piece), limit) << piece.toStdString();

    const QStringList elided = LayoutText(font, word, limit, TextFlag::WordBreak | TextFlag::EndEllipsis);
    ASSERT_EQ(elided.size(), 1);
    EXPECT_TRUE(elided[0].endsWith(QChar(0x2026)));
    EXPECT_TRUE(word.startsWith(elided[0].chopped(1)));
    EXPECT_LE(fm.horizontalAdvance(elided[0]), limit);
    EXPECT_LE(MeasureText(font, word, limit, 0xAC10).width(), limit) << "the popup's body flags";
}

TEST(Text, EllipsizeEndForLabels)
{
    const TFont font = Sans(12, 700);
    const QFontMetrics fm(ToQFont(font));
    const QString label = QStringLiteral("Documents and Settings");
    const QString ellipsis(QChar(0x2026));

    // Fits with room for the ellipsis: unchanged, no ellipsis.
    EXPECT_EQ(EllipsizeEnd(font, label, fm.horizontalAdvance(label + ellipsis)), label);
    // One pixel less: shortened, ends in the ellipsis, fits.
    const int w = fm.horizontalAdvance(label + ellipsis) - 1;
    const QString cut = EllipsizeEnd(font, label, w);
    EXPECT_TRUE(cut.endsWith(ellipsis));
    EXPECT_LT(cut.size(), label.size() + 1);
    EXPECT_TRUE(label.startsWith(cut.chopped(1)));
    EXPECT_LE(fm.horizontalAdvance(cut), w);
    // Nothing fits: the ellipsis alone.
    EXPECT_EQ(EllipsizeEnd(font, label, 1), ellipsis);
    // A character outside the basic plane is removed whole.
    const QString emoji = QStringLiteral("ab\U0001F5F2");
    const QString shortened
        = EllipsizeEnd(font, emoji, fm.horizontalAdvance(QStringLiteral("ab") + ellipsis));
    EXPECT_EQ(shortened, QStringLiteral("ab") + ellipsis);
}

TEST(Text, DrawTextStaysInItsRectangle)
{
    TBitmap32 b(100, 60);
    b.SetFont(Sans(14));
    const QRect rect(10, 10, 50, 20);
    DrawText(b, rect, QStringLiteral("a long text that wraps over several lines"), 0xFF000000,
        TextFlag::WordBreak | TextFlag::EndEllipsis);
    const TInk ink = InkOf(b);
    ASSERT_FALSE(ink.Box.isEmpty());
    EXPECT_TRUE(rect.contains(ink.Box));

    // Single line, centred both ways.
    TBitmap32 c(100, 60);
    c.SetFont(Sans(14));
    DrawText(c, c.BoundsRect(), QStringLiteral("X"), 0xFF000000,
        TextFlag::SingleLine | TextFlag::VCenter | TextFlag::Center);
    const TInk x = InkOf(c);
    EXPECT_NEAR(x.Box.center().x(), 50, 2);
    EXPECT_NEAR(x.Box.center().y(), 30, 3);
}

} // namespace qb
