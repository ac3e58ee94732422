#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace qb {

// Text that carries no byte-order mark was written in the Western ANSI code page by the copies
// of the program that run on Windows, so that is what such text is read as.
QString DecodeWindows1252(QByteArrayView bytes);

// UTF-8 when the bytes start with the UTF-8 byte-order mark (which is dropped), otherwise
// Windows-1252. No other mark is recognised.
QString DecodeUtf8OrAnsi(QByteArrayView bytes);

// Like DecodeUtf8OrAnsi, but also recognises the UTF-16 marks (little and big endian).
QString DecodeUtf8Utf16OrAnsi(QByteArrayView bytes);

// Splits at CR LF, LF or CR. A line break at the very end does not start another line, so
// "a\r\nb\r\n" gives two lines and empty text gives none.
QStringList SplitLines(QStringView text);

// Removes leading and trailing characters up to and including the space (blanks and control
// characters); other Unicode spaces stay, as they are part of the user's text.
QString TrimControls(QStringView text);

// 0..15 for an ASCII hexadecimal digit of either case, -1 for anything else.
int HexDigitValue(QChar c);

// The bytes of text as the program writes text files: UTF-8 with a byte-order mark.
QByteArray EncodeUtf8WithBom(QStringView text);

} // namespace qb
