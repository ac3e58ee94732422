#pragma once

#include <cmath>
#include <limits>

namespace qb {

// The program's only real -> integer rounding: to nearest, ties to even (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2). It does not depend on the floating-point rounding mode, and values beyond the
// int range saturate instead of invoking undefined behaviour (NaN gives 0).
inline int RoundHalfEven(double v)
{
    if (std::isnan(v))
        return 0;
    constexpr double kMax = static_cast<double>(std::numeric_limits<int>::max());
    constexpr double kMin = static_cast<double>(std::numeric_limits<int>::min());
    if (v >= kMax)
        return std::numeric_limits<int>::max();
    if (v <= kMin)
        return std::numeric_limits<int>::min();
    const double floorV = std::floor(v);
    const double frac = v - floorV;
    double r = floorV;
    if (frac > 0.5 || (frac == 0.5 && std::fmod(floorV, 2.0) != 0.0))
        r += 1.0;
    return static_cast<int>(r);
}

} // namespace qb
