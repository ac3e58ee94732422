#include "toolbar/TickDuties.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(TickDuties, PauseHeldForTwoTicksBringsTheBarForwardAndSlidesItIn)
{
    TTickDuties duties;
    TTickInput in;
    in.PauseHeld = true;
    in.SlidOut = true;
    TTickActions act = duties.Tick(in);
    EXPECT_FALSE(act.BringToFront); // the first tick only counts
    act = duties.Tick(in);
    EXPECT_TRUE(act.BringToFront);
    EXPECT_TRUE(act.PlayGlick);
    EXPECT_TRUE(act.SlideIn);
    // It starts counting again.
    EXPECT_FALSE(duties.Tick(in).BringToFront);

    // A tick without Pause in between resets the count.
    TTickDuties tapped;
    tapped.Tick(in);
    in.PauseHeld = false;
    tapped.Tick(in);
    in.PauseHeld = true;
    EXPECT_FALSE(tapped.Tick(in).BringToFront);

    // A bar that already has the focus and is in place needs nothing.
    TTickDuties focused;
    in.SlidOut = false;
    in.Foreground = true;
    focused.Tick(in);
    EXPECT_FALSE(focused.Tick(in).BringToFront);
}

TEST(TickDuties, HoldingTheButtonOnTheStripCountsAsPause)
{
    TTickDuties duties;
    TTickInput in;
    in.SlidOut = true;
    in.PointerInForm = true;
    in.LeftButton = true;
    duties.Tick(in);
    EXPECT_TRUE(duties.Tick(in).SlideIn);
}

TEST(TickDuties, ShownDesktopBringsTheBarBackOnlyWhenNotOnTop)
{
    struct TCase {
        bool ShowOnWinD, OnTop, DesktopShown, Expected;
    } cases[] = {
        { true, false, true, true },
        { true, true, true, false },
        { false, false, true, false },
        { true, false, false, false },
    };
    for (const TCase& c : cases) {
        TTickDuties duties;
        TTickInput in;
        in.ShowOnWinD = c.ShowOnWinD;
        in.OnTop = c.OnTop;
        in.DesktopShown = c.DesktopShown;
        in.SlidOut = true;
        const TTickActions act = duties.Tick(in);
        EXPECT_EQ(act.BringToFront, c.Expected);
        EXPECT_EQ(act.SlideIn, c.Expected);
    }
}

TEST(TickDuties, PointerRestingOnTheSwitcherKeepsAwakeOnceAndReleasesOnce)
{
    TTickDuties duties;
    TTickInput in;
    in.PointerOnSwitcher = true;
    in.IdleSeconds = 15;
    EXPECT_EQ(duties.Tick(in).KeepAwake, -1);
    in.IdleSeconds = 16;
    EXPECT_EQ(duties.Tick(in).KeepAwake, 1);
    in.IdleSeconds = 40;
    EXPECT_EQ(duties.Tick(in).KeepAwake, -1); // asked once
    in.ButtonDown = true;
    EXPECT_EQ(duties.Tick(in).KeepAwake, 0);
    EXPECT_EQ(duties.Tick(in).KeepAwake, -1);
}

TEST(TickDuties, DragOverTheSwitcherFlipsPagesOnlyWithSeveralPages)
{
    TTickDuties duties;
    TTickInput in;
    in.Dragging = true;
    in.PointerOnSwitcher = true;
    in.Banks = 3;
    EXPECT_TRUE(duties.Tick(in).NextPage);
    in.Banks = 1;
    EXPECT_FALSE(duties.Tick(in).NextPage);
}

} // namespace
} // namespace qb
