#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <ostream>

// Readable failure messages for the geometry types (found by argument-dependent lookup, so they
// live in the types' own namespace).
inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}
inline void PrintTo(const QSize& s, std::ostream* os)
{
    *os << s.width() << " x " << s.height();
}
inline void PrintTo(const QPoint& p, std::ostream* os)
{
    *os << "(" << p.x() << ", " << p.y() << ")";
}
