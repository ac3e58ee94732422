#include "toolbar/RubberPhysics.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qb {
namespace {

constexpr double KTick = 0.032; // 16 ms, doubled

TRubberState At(TFloatPoint layer, TFloatPoint target)
{
    TRubberState s;
    s.LayerPos = layer;
    s.TargetPos = target;
    return s;
}

TEST(RubberDt, StallsAndStandstillsAreEvenedOutThenDoubled)
{
    struct TCase {
        qint64 Elapsed;
        qint64 Frequency;
        double Dt;
    };
    const TCase cases[] = {
        { 16, 1000, 0.032 }, { 1, 1000, 0.002 }, { 100, 1000, 0.2 }, // 0.1 s is no stall yet
        { 101, 1000, 0.032 }, { 5000, 1000, 0.032 }, { 0, 1000, 0.002 },
        { -7, 1000, 0.002 }, // a counter that went back
        { 16000, 1000000, 0.032 }, { 16, 0, 0.032 }, // no counter: milliseconds
    };
    for (const TCase& c : cases)
        EXPECT_NEAR(RubberDt(c.Elapsed, c.Frequency), c.Dt, 1e-12) << c.Elapsed << " / " << c.Frequency;
}

TEST(RubberStep, RecordedSwingTowardsThePointer)
{
    // The icon at rest 50 pixels left of the pointer, 16 ms ticks, over the bar.
    TRubberState s = At({ 100, 50 }, { 150, 50 });

    // Tick 1 by hand: d = 50; vel = (0 + 0.16 x 50) x 0.42 = 3.36; x = 103.36.
    // |d| > 4.2, so aim = Round(8 x 3.36) = Round(26.88) = 27;
    // acc = 27 x 4.2 = 113.4; rotvel = 113.4 x 0.032 x 0.96 = 3.483648;
    // angle = 3.483648 x 0.032 = 0.111476736.
    TRubberResult r = RubberStep(s, KTick, true, {});
    EXPECT_EQ(r.View, TRubberView::Layer);
    EXPECT_FALSE(r.Landed);
    EXPECT_NEAR(s.Vel.X, 3.36, 1e-6);
    EXPECT_EQ(s.Vel.Y, 0);
    EXPECT_NEAR(s.LayerPos.X, 103.36, 1e-4);
    EXPECT_EQ(s.LayerPos.Y, 50);
    EXPECT_NEAR(s.RotVel, 3.483648, 1e-6);
    EXPECT_NEAR(s.Angle, 0.111476736, 1e-9);

    // Ticks 2 and 3, worked out the same way in single-precision positions:
    // d = 46.64, vel = 4.545408, aim = Round(36.36) = 36; then d = 42.094589, vel = 4.737828,
    // aim = Round(37.90) = 38.
    RubberStep(s, KTick, true, {});
    EXPECT_NEAR(s.Vel.X, 4.545408, 1e-5);
    EXPECT_NEAR(s.LayerPos.X, 107.905411, 1e-4);
    EXPECT_NEAR(s.RotVel, 7.952865688, 1e-6);
    EXPECT_NEAR(s.Angle, 0.365968438, 1e-8);
    RubberStep(s, KTick, true, {});
    EXPECT_NEAR(s.Vel.X, 4.737828, 1e-5);
    EXPECT_NEAR(s.LayerPos.X, 112.643242, 1e-4);
    EXPECT_NEAR(s.RotVel, 12.418492026, 1e-6);
    EXPECT_NEAR(s.Angle, 0.763360183, 1e-8);
}

TEST(RubberStep, RecordedLandingTick)
{
    // Flying back with a swing and an extra scale: 3 pixels to go, too close to aim a swing.
    TRubberState s = At({ 0, 0 }, { 3, 0 });
    s.Landing = true;
    s.Angle = 10;
    s.ExtraScale = 2;
    s.SavedScale = 1.5; // not taken up while landing
    const TRubberResult r = RubberStep(s, KTick, false, {});
    // vel = 0.48 x 0.42 = 0.2016; acc = (0 - 10) x 4.2 + (0 - 10) x 6.4 = -106;
    // rotvel = -106 x 0.032 x (0.96 - 0.15) = -2.74752; angle = 10 - 2.74752 x 0.032.
    EXPECT_NEAR(s.Vel.X, 0.2016, 1e-6);
    EXPECT_NEAR(s.RotVel, -2.74752, 1e-9);
    EXPECT_NEAR(s.Angle, 10 - 0.08792064, 1e-9);
    // v = 3 x 0.001; scale = 2 x 0.876 + 0.003 x 0.124.
    EXPECT_NEAR(s.ExtraScale, 1.752372, 1e-12);
    EXPECT_DOUBLE_EQ(s.SavedScale, 1.5);
    EXPECT_EQ(r.View, TRubberView::Overlay);
    EXPECT_FALSE(r.Landed);

    TRubberState small = At({ 0, 0 }, { 20, 0 });
    small.Landing = true;
    small.ExtraScale = 0.05; // 0.0438 + 0.02 x 0.124 < 0.05
    RubberStep(small, KTick, false, {});
    EXPECT_EQ(small.ExtraScale, 0);
}

TEST(RubberStep, SwingAimIsClampedAndShrinksWithTheExtraScale)
{
    struct TCase {
        float Distance;
        double ExtraScale;
        int Aim;
    };
    // vel = 0.16 x 1000 x 0.42 = 67.2
    const TCase cases[] = {
        { 1000, 0, 135 }, // Round(8 x 67.2) = 538
        { -1000, 0, -135 }, { 1000, 8, 134 }, // Round((8 - 6) x 67.2) = 134: the extra scale counts up to 6
        { 1000, 7.3, 134 }, { 4.2f, 0, 0 }, // within 4.2 pixels the icon hangs straight
        { 4.3f, 0, 2 }, // vel = 0.16 x 4.3 x 0.42 = 0.28896, Round(2.31) = 2
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Distance);
        TRubberState s = At({ 0, 0 }, { c.Distance, 0 });
        s.ExtraScale = c.ExtraScale;
        RubberStep(s, KTick, true, {});
        EXPECT_NEAR(s.RotVel, c.Aim * 4.2 * KTick * 0.96, 1e-9);
    }
}

TEST(RubberStep, ShiftHoldsTheIconUprightAndSmallSwingsComeToRest)
{
    TRubberState s = At({ 0, 0 }, { 0, 0 });
    s.Angle = 5;
    s.RotVel = 3;
    RubberStep(s, KTick, true, { .Shift = true });
    EXPECT_EQ(s.Angle, 0);
    // (-5 x 4.2 - 5 x 6.4) x 0.032 + 3, times 0.96
    EXPECT_NEAR(s.RotVel, 1.25184, 1e-9);

    TRubberState rest = At({ 0, 0 }, { 0, 0 });
    rest.Angle = 0.1;
    rest.RotVel = 0.1;
    RubberStep(rest, KTick, true, {});
    EXPECT_EQ(rest.Angle, 0);
    EXPECT_EQ(rest.RotVel, 0);
}

TEST(RubberStep, ExtraScaleParksOverTheBarAndFollowsTheKeysOutside)
{
    struct TCase {
        const char* Name;
        double Scale, Saved;
        bool InForm, Landing;
        TRubberKeys Keys;
        double WantScale, WantSaved;
    };
    const TCase cases[] = {
        { "parked over the bar", 1.25, 0, true, false, {}, 0, 1.25 },
        { "keys do nothing over the bar", 0, 0, true, false, { .Grow = true }, 0, 0 },
        { "taken up outside", 0, 1.25, false, false, {}, 1.25, 0 },
        { "taken up, then grown", 0, 1.25, false, false, { .Grow = true }, 1.5, 0 },
        { "grow", 0, 0, false, false, { .Grow = true }, 0.25, 0 },
        { "shrink", 0, 0, false, false, { .Shrink = true }, -0.25, 0 },
        { "both", 1, 0, false, false, { .Grow = true, .Shrink = true }, 1, 0 },
        { "space", 3, 0, false, false, { .Grow = true, .ResetScale = true }, 0, 0 },
        { "upper limit", 7.9, 0, false, false, { .Grow = true }, 8, 0 },
        { "lower limit", -0.75, 0, false, false, { .Shrink = true }, -0.75, 0 },
        { "landing keeps the parked one", 0, 1.25, false, true, {}, 0, 1.25 },
        { "landing over the bar", 0, 1.25, true, true, { .Grow = true }, 0.25, 1.25 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRubberState s = At({ 0, 0 }, { 50, 50 }); // far from landing
        s.ExtraScale = c.Scale;
        s.SavedScale = c.Saved;
        s.Landing = c.Landing;
        const TRubberResult r = RubberStep(s, KTick, c.InForm, c.Keys);
        EXPECT_EQ(r.View, c.InForm && !c.Landing ? TRubberView::Layer : TRubberView::Overlay);
        EXPECT_NEAR(s.ExtraScale, c.WantScale, 1e-12);
        EXPECT_DOUBLE_EQ(s.SavedScale, c.WantSaved);
    }
}

TEST(RubberStep, LandingCompletesWhenCloseAndSlow)
{
    struct TCase {
        TFloatPoint Target;
        TFloatPoint Vel;
        bool Landing;
        bool Landed;
    };
    const TCase cases[] = {
        { { 0.9f, -0.9f }, { 0, 0 }, true, true }, { { 1, 0 }, { 0, 0 }, true, false }, // a whole pixel to go
        { { 0, -1 }, { 0, 0 }, true, false },
        { { 0.5f, 0 }, { 1.0f, 0 }, true, true }, // vel (1 + 0.08) x 0.42 = 0.4536
        { { 0.5f, 0 }, { 1.5f, 0 }, true, false }, // vel 0.6636
        { { 0, 0 }, { 0, 0 }, false, false }, // only a landing lands
    };
    for (const TCase& c : cases) {
        TRubberState s = At({ 0, 0 }, c.Target);
        s.Vel = c.Vel;
        s.Landing = c.Landing;
        s.SavedScale = 2;
        const TRubberResult r = RubberStep(s, KTick, false, {});
        EXPECT_EQ(r.Landed, c.Landed) << c.Target.X << "," << c.Target.Y << " vel " << c.Vel.X;
        if (c.Landed) {
            EXPECT_FALSE(s.Landing);
            EXPECT_EQ(s.SavedScale, 0);
        }
    }
}

TEST(RubberStep, TheIconSettlesAtThePointerAndStopsSwinging)
{
    TRubberState s = At({ 20, 20 }, { 320, 120 });
    double widest = 0;
    for (int i = 0; i < 60; ++i) {
        RubberStep(s, KTick, true, {});
        widest = std::max(widest, std::abs(s.Angle));
    }
    EXPECT_NEAR(s.LayerPos.X, 320, 0.5);
    EXPECT_NEAR(s.LayerPos.Y, 120, 0.5);
    EXPECT_GT(widest, 10) << "the icon swings on its way";
    EXPECT_LT(widest, 135);
    for (int i = 0; i < 300; ++i)
        RubberStep(s, KTick, true, {});
    EXPECT_EQ(s.Angle, 0);
    EXPECT_EQ(s.RotVel, 0);
}

} // namespace
} // namespace qb
