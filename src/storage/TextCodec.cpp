#include "storage/TextCodec.h"

#include <array>

namespace qb {

namespace {

// 0x80..0x9F of Windows-1252. The five unassigned bytes map to the C1 code points of the same
// value, as the system conversion does; everything else is Latin-1.
constexpr std::array<char16_t, 32> KHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

bool StartsWith(QByteArrayView bytes, std::initializer_list<unsigned char> mark)
{
    if (bytes.size() < static_cast<qsizetype>(mark.size()))
        return false;
    qsizetype i = 0;
    for (unsigned char b : mark)
        if (static_cast<unsigned char>(bytes[i++]) != b)
            return false;
    return true;
}

QString DecodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    const qsizetype count = bytes.size() / 2; // an odd last byte is no character
    QString text(count, Qt::Uninitialized);
    QChar* out = text.data();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < count; ++i) {
        const unsigned lo = in[2 * i + (bigEndian ? 1 : 0)];
        const unsigned hi = in[2 * i + (bigEndian ? 0 : 1)];
        out[i] = QChar(static_cast<char16_t>(hi << 8 | lo));
    }
    return text;
}

} // namespace

QString DecodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = QChar(b >= 0x80 && b <= 0x9F ? KHighControls[b - 0x80] : char16_t(b));
    }
    return text;
}

QString DecodeUtf8OrAnsi(QByteArrayView bytes)
{
    if (StartsWith(bytes, { 0xEF, 0xBB, 0xBF }))
        return QString::fromUtf8(bytes.sliced(3));
    return DecodeWindows1252(bytes);
}

QString DecodeUtf8Utf16OrAnsi(QByteArrayView bytes)
{
    if (StartsWith(bytes, { 0xFF, 0xFE }))
        return DecodeUtf16(bytes.sliced(2), false);
    if (StartsWith(bytes, { 0xFE, 0xFF }))
        return DecodeUtf16(bytes.sliced(2), true);
    return DecodeUtf8OrAnsi(bytes);
}

QStringList SplitLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start).toString());
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start).toString());
    return lines;
}

QString TrimControls(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= u' ')
        ++begin;
    while (end > begin && text[end - 1].unicode() <= u' ')
        --end;
    return text.mid(begin, end - begin).toString();
}

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

QByteArray EncodeUtf8WithBom(QStringView text)
{
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace qb
