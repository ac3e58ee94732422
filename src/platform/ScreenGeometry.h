#pragma once

#include <QPoint>
#include <QRect>

namespace qb {

// Squared distance from a point to the nearest pixel of a rectangle; 0 inside it.
inline qint64 DistanceSquared(const QRect& rect, QPoint p)
{
    const qint64 dx = p.x() < rect.left() ? rect.left() - p.x()
        : p.x() > rect.right()            ? p.x() - rect.right()
                                          : 0;
    const qint64 dy = p.y() < rect.top() ? rect.top() - p.y()
        : p.y() > rect.bottom()          ? p.y() - rect.bottom()
                                         : 0;
    return dx * dx + dy * dy;
}

} // namespace qb
