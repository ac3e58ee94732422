#include "toolbar/Docking.h"

#include "GeometryPrinters.h"
#include "platform/fake/FakeClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace qb {
namespace {

const std::vector<TMonitor> KMonitors = { { QRect(0, 0, 1280, 1024), QRect(0, 0, 1280, 990) } };

// The 304 x 72 bar in the top-right corner of the work area.
const QRect KTopRight(976, 0, 304, 72);

TSlideSetup SlideSetup(int position = SwLeft, int zoomWidth = 16, int zoomHeight = 72, int hiddenSize = 1)
{
    TSlideSetup s;
    s.Window = KTopRight;
    s.SwitcherPosition = position;
    s.SwitcherZoomWidth = zoomWidth;
    s.SwitcherZoomHeight = zoomHeight;
    s.HiddenSize = hiddenSize;
    s.SlideSpeed = 750;
    s.Monitors = KMonitors;
    return s;
}

TEST(SlideCurve, EasesOutOverTheSlideTime)
{
    EXPECT_NEAR(SlideRatio(750, 750, false), std::tanh(3.0), 1e-12);
    EXPECT_NEAR(SlideRatio(375, 750, false), 0.18533319990813948, 1e-12);
    EXPECT_EQ(SlideRatio(0, 750, false), 0.0);
    EXPECT_NEAR(SlideRatio(375, 750, true), 1 - 0.18533319990813948, 1e-12);
    EXPECT_EQ(SlideRatio(0, 750, true), 1.0);
}

TEST(Slide, EveryEdgeOutAndBackIn)
{
    struct TCase {
        const char* Name;
        int Edge;
        int Position, ZoomWidth, ZoomHeight;
        QRect Start; // first frame
        QRect Halfway; // 375 of 750 ms
        QRect End; // slid out
        Qt::Alignment Align;
        QRect HalfwayIn;
    };
    // Half-way out, tanh(3 x 0.5^4) = 0.1853 of the bar is left: 56 of 303 columns, 13 of 71
    // rows, one pixel always; coming in it is 0.8147.
    const std::vector<TCase> cases = {
        { "top", SlideTop, SwLeft, 16, 72, QRect(976, 0, 304, 72), QRect(976, 0, 304, 14),
            QRect(976, 0, 304, 1), Qt::AlignBottom, QRect(976, 0, 304, 59) },
        { "right", SlideRight, SwLeft, 16, 72, QRect(977, 0, 303, 72), QRect(1223, 0, 57, 72),
            QRect(1279, 0, 1, 72), Qt::AlignLeft, QRect(1032, 0, 248, 72) },
        { "bottom", SlideBottom, SwLeft, 16, 72, QRect(976, 0, 304, 72), QRect(976, 58, 304, 14),
            QRect(976, 71, 304, 1), Qt::AlignTop, QRect(976, 13, 304, 59) },
        { "left", SlideLeft, SwLeft, 16, 72, QRect(976, 0, 303, 72), QRect(976, 0, 57, 72),
            QRect(976, 0, 1, 72), Qt::AlignRight, QRect(976, 0, 248, 72) },
        // Collapsing to a 16-pixel switcher: 53 of 288 columns, 10 of 56 rows half-way.
        { "switcher on the left", SlideToSwitcher, SwLeft, 16, 72, QRect(977, 0, 303, 72),
            QRect(1211, 0, 69, 72), QRect(1264, 0, 16, 72), Qt::AlignLeft, QRect(1029, 0, 251, 72) },
        { "switcher on the right", SlideToSwitcher, SwRight, 16, 72, QRect(976, 0, 303, 72),
            QRect(976, 0, 69, 72), QRect(976, 0, 16, 72), Qt::AlignRight, QRect(976, 0, 251, 72) },
        { "switcher on top", SlideToSwitcher, SwTop, 304, 16, QRect(976, 0, 304, 72), QRect(976, 46, 304, 26),
            QRect(976, 56, 304, 16), Qt::AlignTop, QRect(976, 10, 304, 62) },
        { "switcher at the bottom", SlideToSwitcher, SwBottom, 304, 16, QRect(976, 0, 304, 72),
            QRect(976, 0, 304, 26), QRect(976, 0, 304, 16), Qt::AlignBottom, QRect(976, 0, 304, 62) },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        FakeClock clock;
        TDocking d(clock);
        d.SlideEdge = c.Edge;
        EXPECT_EQ(d.SlideAlignment(), Qt::Alignment());
        ASSERT_TRUE(d.StartSlide(SlideSetup(c.Position, c.ZoomWidth, c.ZoomHeight)));
        EXPECT_TRUE(d.Sliding);
        EXPECT_EQ(d.SlideAlignment(), c.Align);
        TSlideFrame f = d.SlideStep();
        EXPECT_EQ(f.Bounds, c.Start);
        EXPECT_TRUE(f.Move);
        clock.Advance(375);
        f = d.SlideStep();
        EXPECT_EQ(f.Bounds, c.Halfway);
        EXPECT_FALSE(f.Finished);
        clock.Advance(375);
        f = d.SlideStep();
        EXPECT_TRUE(f.Finished);
        EXPECT_EQ(f.Bounds, c.End);
        EXPECT_TRUE(d.SlidOut);
        EXPECT_FALSE(d.Sliding);
        EXPECT_EQ(d.SlideRect, KTopRight);
        EXPECT_EQ(d.SlideAlignment(), c.Align); // the visible strip shows the bar's inner side

        clock.Advance(5000);
        ASSERT_TRUE(d.StartSlide(SlideSetup(c.Position, c.ZoomWidth, c.ZoomHeight)));
        clock.Advance(375);
        EXPECT_EQ(d.SlideStep().Bounds, c.HalfwayIn);
        clock.Advance(375);
        f = d.SlideStep();
        EXPECT_TRUE(f.Finished);
        EXPECT_EQ(f.Bounds, KTopRight);
        EXPECT_FALSE(d.SlidOut);
        EXPECT_EQ(d.SlideAlignment(), Qt::Alignment());
        EXPECT_EQ(d.LastSlideTick, clock.TickCount());
    }
}

TEST(Slide, MovesOnlyWhenTheSizeChanges)
{
    FakeClock clock;
    TDocking d(clock);
    d.SlideEdge = SlideRight;
    ASSERT_TRUE(d.StartSlide(SlideSetup()));
    EXPECT_TRUE(d.SlideStep().Move);
    EXPECT_FALSE(d.SlideStep().Move);
    clock.Advance(700);
    EXPECT_TRUE(d.SlideStep().Move); // 6e-5 of 303 columns rounds away: one column left
    clock.Advance(20);
    const TSlideFrame f = d.SlideStep();
    EXPECT_FALSE(f.Move);
    EXPECT_EQ(f.Bounds, QRect(1279, 0, 1, 72));
    EXPECT_FALSE(d.StartSlide(SlideSetup())); // one slide at a time
}

TEST(Slide, WhatDecidesWhetherAndHowFarItSlides)
{
    FakeClock clock;
    {
        // No animation at 10 ms or less: the first step is the end.
        TDocking d(clock);
        d.SlideEdge = SlideTop;
        TSlideSetup s = SlideSetup();
        s.SlideSpeed = 10;
        ASSERT_TRUE(d.StartSlide(s));
        const TSlideFrame f = d.SlideStep();
        EXPECT_TRUE(f.Finished);
        EXPECT_EQ(f.Bounds, QRect(976, 0, 304, 1));
    }
    {
        // Collapsing to the switcher needs no animation to get there.
        TDocking d(clock);
        d.SlideEdge = SlideToSwitcher;
        TSlideSetup s = SlideSetup();
        s.SlideSpeed = 0;
        ASSERT_TRUE(d.StartSlide(s));
        EXPECT_EQ(d.SlideStep().Bounds, QRect(1264, 0, 16, 72));
    }
    {
        // A hidden size below 1 always collapses to the switcher, in window pixels.
        TDocking d(clock);
        d.SlideEdge = SlideTop;
        TSlideSetup s = SlideSetup(SwLeft, 24, 108, 0);
        s.Window = QRect(824, 0, 456, 108);
        s.SlideSpeed = 0;
        ASSERT_TRUE(d.StartSlide(s));
        EXPECT_EQ(d.SlideEdge, SlideToSwitcher);
        EXPECT_EQ(d.SlideStep().Bounds, QRect(1256, 0, 24, 108));
    }
    {
        // Without a switcher there is nothing to collapse to.
        TDocking d(clock);
        d.SlideEdge = SlideRight;
        EXPECT_FALSE(d.StartSlide(SlideSetup(SwNone, 0, 0, 0)));
        EXPECT_FALSE(d.Sliding);
        EXPECT_FALSE(d.SlidOut);
    }
    {
        // Nothing slides while the preferences are open, but the slide counts as done.
        TDocking d(clock);
        d.SlideEdge = SlideRight;
        TSlideSetup s = SlideSetup();
        s.PrefsShown = true;
        EXPECT_FALSE(d.StartSlide(s));
        EXPECT_FALSE(d.Sliding);
        EXPECT_EQ(d.LastSlideTick, clock.TickCount());
    }
    {
        // A remainder wider than the bar leaves it whole rather than growing it.
        TDocking d(clock);
        d.SlideEdge = SlideTop;
        TSlideSetup s = SlideSetup(SwLeft, 16, 72, 500);
        ASSERT_TRUE(d.StartSlide(s));
        EXPECT_EQ(d.SlideStep().Bounds, KTopRight);
        clock.Advance(750);
        EXPECT_EQ(d.SlideStep().Bounds, KTopRight);
    }
    {
        // A remainder of several pixels at the right edge ends flush with the edge.
        TDocking d(clock);
        d.SlideEdge = SlideRight;
        TSlideSetup s = SlideSetup(SwLeft, 16, 72, 5);
        ASSERT_TRUE(d.StartSlide(s));
        clock.Advance(750);
        EXPECT_EQ(d.SlideStep().Bounds, QRect(1275, 0, 5, 72));
    }
}

// Ticks every 200 ms with the pointer away from a bar at `window` until the auto-hide slides
// it, for at most `limit` ms. Returns the elapsed time and the edge, or -1 and 0.
std::pair<int, int> HideAfter(int autoHide, const QRect& window, int position = SwLeft, int limit = 4000)
{
    FakeClock clock;
    TDocking d(clock);
    TSettings settings;
    settings.AutoHide = autoHide;
    EXPECT_TRUE(d.RestartTimers(settings).AutoHide);
    TAutoHideInput in;
    in.AutoHide = autoHide;
    in.Window = window;
    in.WorkArea = KMonitors[0].WorkArea;
    in.SwitcherPosition = position;
    for (int t = 0; t <= limit; t += 200) {
        if (d.AutoHideTick(in) == TAutoHideAction::SlideOut)
            return { t, d.SlideEdge };
        clock.Advance(200);
    }
    return { -1, 0 };
}

TEST(AutoHide, ChoosesTheEdgeToSlideTo)
{
    struct TCase {
        const char* Name;
        int AutoHide;
        QRect Window;
        int Position;
        int Edge;
    };
    const std::vector<TCase> cases = {
        { "top-right corner prefers the top", 2000, KTopRight, SwLeft, SlideTop },
        { "negative prefers the right", -2000, KTopRight, SwLeft, SlideRight },
        { "bottom wins over top", 2000, QRect(0, 0, 304, 990), SwLeft, SlideBottom },
        { "left wins over right", -2000, QRect(0, 0, 1280, 72), SwLeft, SlideLeft },
        { "bottom-right corner", 2000, QRect(976, 918, 304, 72), SwLeft, SlideBottom },
        { "bottom-right corner, sideways", -2000, QRect(976, 918, 304, 72), SwLeft, SlideRight },
        { "left edge only", 2000, QRect(0, 300, 304, 72), SwLeft, SlideLeft },
        { "one pixel off is not docked", 2000, QRect(975, 1, 304, 72), SwLeft, SlideToSwitcher },
        { "floating collapses to its switcher", 2000, QRect(500, 500, 304, 72), SwTop, SlideToSwitcher },
        { "floating without a switcher stays", 2000, QRect(500, 500, 304, 72), SwNone, SlideNone },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto [time, edge] = HideAfter(c.AutoHide, c.Window, c.Position);
        EXPECT_EQ(edge, c.Edge);
        // Armed at the first tick; the delay must be exceeded, not just reached.
        EXPECT_EQ(time, c.Edge == SlideNone ? -1 : 2200);
    }
}

TEST(AutoHide, DelayRestartsWhenThePointerComesBack)
{
    FakeClock clock;
    TDocking d(clock);
    TAutoHideInput away;
    away.AutoHide = 1000;
    away.Window = KTopRight;
    away.WorkArea = KMonitors[0].WorkArea;
    TAutoHideInput inside = away;
    inside.PointerInDisplay = true;
    inside.PointerInForm = true;
    TAutoHideInput prefs = away;
    prefs.PrefsVisible = true;

    EXPECT_EQ(d.AutoHideTick(away), TAutoHideAction::None);
    EXPECT_TRUE(d.AutoHideArmed);
    clock.Advance(800);
    EXPECT_EQ(d.AutoHideTick(inside), TAutoHideAction::None);
    EXPECT_FALSE(d.AutoHideArmed);
    clock.Advance(200);
    EXPECT_EQ(d.AutoHideTick(away), TAutoHideAction::None); // armed again from here
    clock.Advance(1000);
    EXPECT_EQ(d.AutoHideTick(away), TAutoHideAction::None);
    // A key press postpones it as well.
    d.KeyPressed();
    clock.Advance(200);
    EXPECT_EQ(d.AutoHideTick(away), TAutoHideAction::None);
    clock.Advance(1200);
    // The open preferences keep it armed from the latest tick.
    EXPECT_EQ(d.AutoHideTick(prefs), TAutoHideAction::None);
    clock.Advance(200);
    EXPECT_EQ(d.AutoHideTick(away), TAutoHideAction::None);
    clock.Advance(1000);
    EXPECT_EQ(d.AutoHideTick(away), TAutoHideAction::SlideOut);

    // Slid out, the pointer on the remaining strip brings it back within one tick.
    ASSERT_TRUE(d.StartSlide(SlideSetup()));
    EXPECT_EQ(d.AutoHideTick(inside), TAutoHideAction::None); // not while sliding
    clock.Advance(1000);
    EXPECT_EQ(d.SlideStep().Bounds, QRect(976, 0, 304, 1));
    EXPECT_EQ(d.AutoHideTick(away), TAutoHideAction::None);
    TAutoHideInput strip = away;
    strip.PointerInForm = true; // the strip is the window now
    EXPECT_EQ(d.AutoHideTick(strip), TAutoHideAction::SlideIn);
    TAutoHideInput corner = away;
    corner.OnCorner = true;
    EXPECT_EQ(d.AutoHideTick(corner), TAutoHideAction::SlideIn);
}

TEST(AutoHide, StartsMinimizedAtOnce)
{
    // The first activation runs one tick with the arm set and no slide time: a bar that has
    // never slid is hidden straight away, whatever the clock says and even without auto-hide.
    FakeClock clock(0);
    TDocking d(clock);
    d.AutoHideArmed = true;
    TAutoHideInput in;
    in.StartMini = true;
    in.Window = QRect(500, 500, 304, 72);
    in.WorkArea = KMonitors[0].WorkArea;
    EXPECT_EQ(d.AutoHideTick(in), TAutoHideAction::SlideOut);
    EXPECT_EQ(d.SlideEdge, SlideToSwitcher);
    TSlideSetup s = SlideSetup();
    s.Window = in.Window;
    s.SlideSpeed = 10;
    ASSERT_TRUE(d.StartSlide(s));
    EXPECT_EQ(d.SlideStep().Bounds, QRect(788, 500, 16, 72));
    EXPECT_TRUE(d.SlidOut);
}

TEST(AutoOpacity, FadesDownAfterTheDelayAndBackWhenThePointerReturns)
{
    FakeClock clock;
    TDocking d(clock);
    TSettings settings;
    settings.AutoOpaque = 3000;
    settings.Opacity = 140;
    const TTimerStates timers = d.RestartTimers(settings);
    EXPECT_TRUE(timers.Opacity);
    EXPECT_FALSE(timers.AutoHide);

    TOpacityInput away;
    away.AutoOpaque = 3000;
    away.Opacity = 140;
    TOpacityInput inside = away;
    inside.PointerInForm = true;

    std::vector<int> down;
    int quietTicks = 0;
    for (int t = 50; t <= 5000; t += 50) {
        clock.Advance(50);
        if (const auto alpha = d.OpacityTick(away))
            down.push_back(*alpha);
        else if (down.empty())
            ++quietTicks;
    }
    EXPECT_EQ(quietTicks, 60); // 3000 ms must be exceeded
    std::vector<int> expectedDown;
    for (int a = 247; a >= 135; a -= 8)
        expectedDown.push_back(a);
    EXPECT_EQ(down, expectedDown);
    EXPECT_EQ(d.CurAlpha, 135);

    std::vector<int> up;
    for (int i = 0; i < 12; ++i) {
        clock.Advance(50);
        if (const auto alpha = d.OpacityTick(inside))
            up.push_back(*alpha);
    }
    EXPECT_EQ(up, (std::vector<int> { 151, 167, 183, 199, 215, 231, 247, 255 }));
    EXPECT_FALSE(d.IdleStart.has_value());

    // Leaving again waits the whole delay from that moment.
    clock.Advance(50);
    EXPECT_FALSE(d.OpacityTick(away).has_value());
    clock.Advance(3000);
    EXPECT_FALSE(d.OpacityTick(away).has_value());
    clock.Advance(50);
    EXPECT_EQ(d.OpacityTick(away), 247);
}

TEST(AutoOpacity, FocusModeAndTheFloor)
{
    FakeClock clock;
    TDocking d(clock);
    TSettings settings;
    settings.AutoOpaque = -1000;
    settings.Opacity = 0; // below what the preferences offer: the floor holds
    d.RestartTimers(settings);
    TOpacityInput unfocused;
    unfocused.AutoOpaque = -1000;
    unfocused.Opacity = 0;
    unfocused.PointerInForm = true; // the pointer does not matter in focus mode
    int last = 255;
    for (int i = 0; i < 100; ++i) {
        clock.Advance(50);
        if (const auto alpha = d.OpacityTick(unfocused))
            last = *alpha;
    }
    EXPECT_EQ(last, 25);
    TOpacityInput focused = unfocused;
    focused.Focused = true;
    focused.PointerInForm = false;
    EXPECT_EQ(d.OpacityTick(focused), 41);

    // Off, or fully opaque: no timer.
    settings.AutoOpaque = 0;
    EXPECT_FALSE(d.RestartTimers(settings).Opacity);
    settings.AutoOpaque = 3000;
    settings.Opacity = 255;
    EXPECT_FALSE(d.RestartTimers(settings).Opacity);
}

TEST(SwitcherClick, FlipOrSlideOrClose)
{
    struct TCase {
        const char* Name;
        TSwitcherClickInput In;
        TSwitcherAction Action;
    };
    const auto in = [](int banks) {
        TSwitcherClickInput i;
        i.Caption = QStringLiteral("»");
        i.Banks = banks;
        return i;
    };
    std::vector<TCase> cases = {
        { "several pages flip", in(3), TSwitcherAction::NextPage },
        { "one page slides", in(1), TSwitcherAction::Slide },
    };
    TSwitcherClickInput c = in(3);
    c.RightButton = true;
    cases.push_back({ "right button slides", c, TSwitcherAction::Slide });
    c = in(1);
    c.F1Held = true;
    cases.push_back({ "F1 flips a single page", c, TSwitcherAction::NextPage });
    c = in(1);
    c.SwitcherPosition = SwNone;
    cases.push_back({ "no switcher never slides", c, TSwitcherAction::NextPage });
    c = in(1);
    c.Dragging = true;
    cases.push_back({ "during a drag", c, TSwitcherAction::NextPage });
    c = in(1);
    c.Sliding = true;
    cases.push_back({ "during a slide", c, TSwitcherAction::NextPage });
    c = in(3);
    c.Caption = QStringLiteral("¤");
    cases.push_back({ "close button", c, TSwitcherAction::Close });
    for (const TCase& t : cases)
        EXPECT_EQ(SwitcherClickAction(t.In), t.Action) << t.Name;

    EXPECT_EQ(NextPage(0, 3), 1);
    EXPECT_EQ(NextPage(2, 3), 0);
    EXPECT_EQ(NextPage(-2, 3), 2);
    EXPECT_EQ(NextPage(7, 3), 0);
    EXPECT_EQ(NextPage(0, 0), 0);
}

} // namespace
} // namespace qb
