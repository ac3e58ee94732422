#include "toolbar/Fade.h"

#include "raster/Round.h"

#include <algorithm>

namespace qb {

int FadeInAlpha(int opacity, qint64 remaining, qint64 duration)
{
    remaining = std::clamp<qint64>(remaining, 0, duration);
    return opacity - RoundHalfEven(double(opacity) * double(remaining) / double(duration));
}

int FadeOutAlpha(int opacity, qint64 remaining, qint64 duration)
{
    remaining = std::clamp<qint64>(remaining, 0, duration);
    return RoundHalfEven(double(opacity) * double(remaining) / double(duration));
}

} // namespace qb
