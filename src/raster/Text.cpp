#include "raster/Text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>

namespace qb {

namespace {

const QString KEllipsis = QStringLiteral("\u2026");

// Drops the last character, a surrogate pair counting as one.
void ChopCharacter(QString& s)
{
    const qsizetype n = s.size();
    s.chop(n >= 2 && s.at(n - 1).isLowSurrogate() && s.at(n - 2).isHighSurrogate() ? 2 : 1);
}

QString FitWithEllipsis(const QFontMetrics& fm, QString s, int width)
{
    while (!s.isEmpty() && fm.horizontalAdvance(s + KEllipsis) > width)
        ChopCharacter(s);
    return s + KEllipsis;
}

// Breaks one over-long word into pieces that fit, at least one character each.
QStringList BreakWord(const QFontMetrics& fm, const QString& word, int width)
{
    QStringList pieces;
    QString rest = word;
    while (!rest.isEmpty()) {
        qsizetype take = rest.size();
        while (take > 1 && fm.horizontalAdvance(rest.left(take)) > width)
            --take;
        if (take < rest.size() && rest.at(take).isLowSurrogate())
            take = take > 1 ? take - 1 : take + 1;
        pieces << rest.left(take);
        rest.remove(0, take);
    }
    return pieces;
}

} // namespace

QFont ToQFont(const TFont& font)
{
    QFont q;
    if (!font.Name.isEmpty())
        q.setFamily(font.Name);
    q.setPixelSize(std::max(1, font.Height));
    q.setWeight(static_cast<QFont::Weight>(std::clamp(font.Weight, 1, 1000)));
    q.setItalic(font.Italic);
    q.setStyleStrategy(QFont::PreferAntialias);
    return q;
}

QStringList LayoutText(const TFont& font, const QString& text, int width, quint32 flags)
{
    const QFontMetrics fm(ToQFont(font));
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    QStringList paragraphs = text.split(lineEnd);
    if (flags & TextFlag::SingleLine)
        paragraphs = QStringList { paragraphs.join(QLatin1Char(' ')) };

    QStringList lines;
    for (const QString& paragraph : paragraphs) {
        if (!(flags & TextFlag::WordBreak) || (flags & TextFlag::SingleLine)) {
            lines << paragraph;
            continue;
        }
        QString line;
        const QStringList words = paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty())
            lines << QString();
        for (const QString& word : words) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (fm.horizontalAdvance(candidate) <= width) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty())
                lines << line;
            line.clear();
            if (fm.horizontalAdvance(word) > width && (flags & TextFlag::EditControl)) {
                QStringList pieces = BreakWord(fm, word, width);
                line = pieces.takeLast();
                lines << pieces;
            } else {
                line = word;
            }
        }
        if (!line.isEmpty())
            lines << line;
    }
    if (flags & TextFlag::EndEllipsis) {
        for (QString& line : lines) {
            if (fm.horizontalAdvance(line) > width)
                line = FitWithEllipsis(fm, line, width);
        }
    }
    return lines;
}

QSize MeasureText(const TFont& font, const QString& text, int width, quint32 flags)
{
    if (text.isEmpty())
        return QSize(0, 0);
    const QFontMetrics fm(ToQFont(font));
    const QStringList lines = LayoutText(font, text, width, flags);
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, fm.horizontalAdvance(line));
    return QSize(widest, static_cast<int>(lines.size()) * fm.height());
}

void DrawText(TBitmap32& bitmap, const QRect& rect, const QString& text, TColor32 colour, quint32 flags)
{
    if (bitmap.IsEmpty() || text.isEmpty() || rect.isEmpty())
        return;
    const QFont qfont = ToQFont(bitmap.Font());
    const QFontMetrics fm(qfont);
    const QStringList lines = LayoutText(bitmap.Font(), text, rect.width(), flags);
    const int lineH = fm.height();

    int y = rect.top();
    if (flags & TextFlag::SingleLine) {
        if (flags & TextFlag::VCenter)
            y = rect.top() + (rect.height() - lineH) / 2;
        else if (flags & TextFlag::Bottom)
            y = rect.bottom() + 1 - lineH;
    }
    QImage view = bitmap.AsImage();
    QPainter p(&view);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(qfont);
    p.setPen(QColor::fromRgba(colour));
    p.setClipRect(rect);
    for (const QString& line : lines) {
        if ((flags & TextFlag::EditControl) && y + lineH > rect.bottom() + 1 && y != rect.top())
            break;
        if (y > rect.bottom())
            break;
        int x = rect.left();
        const int w = fm.horizontalAdvance(line);
        if (flags & TextFlag::Center)
            x = rect.left() + (rect.width() - w) / 2;
        else if (flags & TextFlag::Right)
            x = rect.right() + 1 - w;
        p.drawText(QPoint(x, y + fm.ascent()), line);
        y += lineH;
    }
}

QString EllipsizeEnd(const TFont& font, const QString& text, int width)
{
    const QFontMetrics fm(ToQFont(font));
    if (fm.horizontalAdvance(text + KEllipsis) <= width)
        return text;
    return FitWithEllipsis(fm, text, width);
}

void TBitmap32::RenderText(int x, int y, const QString& text, TColor32 colour)
{
    if (IsEmpty() || text.isEmpty())
        return;
    const QFont qfont = ToQFont(FFont);
    QImage view = AsImage();
    QPainter p(&view);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(qfont);
    p.setPen(QColor::fromRgba(colour));
    p.drawText(QPoint(x, y + QFontMetrics(qfont).ascent()), text);
}

QSize TBitmap32::TextExtent(const QString& text) const
{
    const QFontMetrics fm(ToQFont(FFont));
    return QSize(fm.horizontalAdvance(text), fm.height());
}

} // namespace qb
