#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

#include <ostream>

// Readable failure messages (found by argument-dependent lookup, so they live in the types' own
// namespace). Lists of strings print element by element through the first.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}
inline void PrintTo(const QPoint& p, std::ostream* os)
{
    *os << "(" << p.x() << ", " << p.y() << ")";
}
