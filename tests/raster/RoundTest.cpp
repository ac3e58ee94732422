#include "raster/Round.h"

#include <gtest/gtest.h>

#include <limits>

namespace qb {
namespace {

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour)
{
    const struct {
        double In;
        int Out;
    } cases[] = {
        { 0.5, 0 },
        { 1.5, 2 },
        { 2.5, 2 },
        { 3.5, 4 },
        { -0.5, 0 },
        { -1.5, -2 },
        { -2.5, -2 },
        { 2.4999999, 2 },
        { 2.5000001, 3 },
        { -2.6, -3 },
        { -2.4, -2 },
        { 12.6, 13 },
        { -0.4, 0 },
        { 7.0, 7 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.In), c.Out) << c.In;
}

TEST(RoundHalfEven, SaturatesInsteadOfOverflowing)
{
    EXPECT_EQ(RoundHalfEven(1e20), std::numeric_limits<int>::max());
    EXPECT_EQ(RoundHalfEven(-1e20), std::numeric_limits<int>::min());
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()), std::numeric_limits<int>::max());
}

} // namespace
} // namespace qb
