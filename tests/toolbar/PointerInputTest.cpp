#include "InputBench.h"

#include "GeometryPrinters.h"

#include <gtest/gtest.h>

#include <utility>

namespace qb {
namespace {

using test::TInputBench;

TEST(PointerClick, PressSinksTheCellAndReleaseOnItLaunchesIt)
{
    TInputBench b;
    b.Host.Page = 1;
    b.Move(b.CellPoint(2));
    b.Press(b.CellPoint(2));
    EXPECT_TRUE(b.Pointer.ButtonDown);
    EXPECT_EQ(b.Pointer.PressedCell, 2);
    EXPECT_EQ(b.Pointer.CurButton, 10);
    EXPECT_EQ(b.Host.Log.last(), QStringLiteral("DrawBank CLICK"));

    TShiftState atRelease;
    atRelease.Right = true;
    atRelease.CapsLockOn = true;
    b.Release(b.CellPoint(2), atRelease);
    EXPECT_FALSE(b.Pointer.ButtonDown);
    ASSERT_EQ(b.Host.Launches.size(), 1);
    // The launcher decides what the keys mean (Protected runs only with the right button).
    EXPECT_EQ(b.Host.Launches[0].first, 2);
    EXPECT_EQ(b.Host.Launches[0].second, atRelease);
    EXPECT_EQ(b.Pointer.LastShift, atRelease);
    EXPECT_EQ(b.Pointer.CurButton, 10);
}

TEST(PointerClick, OnlyALeftReleaseOnThePressedCellLaunches)
{
    struct TCase {
        const char* Name;
        int PressCell;
        int ReleaseCell; // -1: outside the bar
        Qt::MouseButton Button;
        TShiftState PressKeys;
        bool LockIcons; // keeps a move from starting a drag
        bool MoveBetween;
        int Launched; // -1: nothing
    };
    TShiftState ctrl;
    ctrl.Ctrl = true;
    const TCase cases[] = {
        { "same cell", 5, 5, Qt::LeftButton, {}, false, false, 5 },
        { "another cell", 5, 6, Qt::LeftButton, {}, false, false, -1 },
        { "moved to another cell", 5, 6, Qt::LeftButton, {}, true, true, -1 },
        { "moved away and back", 5, 5, Qt::LeftButton, {}, true, true, 5 },
        { "outside the bar", 5, -1, Qt::LeftButton, {}, false, false, -1 },
        { "right button", 5, 5, Qt::RightButton, {}, false, false, -1 },
        { "middle button", 5, 5, Qt::MiddleButton, {}, false, false, -1 },
        { "switcher", -2, -2, Qt::LeftButton, {}, false, false, -1 },
        // Ctrl only keeps the press from sinking the cell; the click is the launcher's.
        { "ctrl held", 5, 5, Qt::LeftButton, ctrl, false, false, 5 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TInputBench b;
        b.Settings.LockIcons = c.LockIcons;
        auto point = [&](int cell) {
            return cell == -2 ? b.SwitcherPoint() : cell == -1 ? QPoint(-20, 30) : b.CellPoint(cell);
        };
        b.Move(point(c.PressCell));
        b.Press(point(c.PressCell), c.PressKeys, c.Button);
        if (c.MoveBetween) {
            b.Move(b.CellPoint(c.PressCell == 5 ? 6 : 5), TInputBench::Held(true));
            b.Move(point(c.ReleaseCell), TInputBench::Held(true));
        }
        b.Release(point(c.ReleaseCell), c.PressKeys, c.Button);
        EXPECT_FALSE(b.Pointer.Dragging);
        if (c.Launched < 0) {
            EXPECT_TRUE(b.Host.Launches.isEmpty());
        } else {
            ASSERT_EQ(b.Host.Launches.size(), 1);
            EXPECT_EQ(b.Host.Launches[0].first, c.Launched);
        }
    }
}

TEST(PointerClick, LeavingThePressedCellRemovesTheSunkenLookForGood)
{
    TInputBench b;
    b.Settings.LockIcons = true;
    b.Move(b.CellPoint(1));
    b.Press(b.CellPoint(1));
    ASSERT_TRUE(b.Pointer.ButtonDown);
    b.Move(b.CellPoint(2), TInputBench::Held(true));
    EXPECT_FALSE(b.Pointer.ButtonDown);
    b.Move(b.CellPoint(1), TInputBench::Held(true));
    EXPECT_FALSE(b.Pointer.ButtonDown);
}

TEST(PointerPress, CuesAndTheContextMenu)
{
    TInputBench b;
    b.Settings.BtnDown = QStringLiteral("<NONE>");
    b.Move(b.CellPoint(0));
    b.Press(b.CellPoint(0));
    EXPECT_EQ(b.Host.Log.last(), QStringLiteral("DrawBank"));
    b.Release(b.CellPoint(0));

    b.Settings.BtnDown = QStringLiteral("CLICK");
    b.Move(b.SwitcherPoint());
    b.Press(b.SwitcherPoint());
    EXPECT_TRUE(b.Pointer.ButtonDown);
    EXPECT_TRUE(b.Layout.Switcher.Down);
    EXPECT_EQ(b.Host.Log.last(), QStringLiteral("DrawBank")) << "the switcher is pressed silently";
    b.Release(b.SwitcherPoint());
    EXPECT_EQ(b.Host.Log.last(), QStringLiteral("SwitcherClick"));
    EXPECT_FALSE(b.Layout.Switcher.Down);

    b.Move(b.CellPoint(3));
    b.Press(b.CellPoint(3), {}, Qt::RightButton);
    EXPECT_TRUE(b.Host.MenuAutoPopup);
    EXPECT_EQ(b.Pointer.CurButton, 8 + 3) << "the switcher click went on to page 1";
    b.Settings.ShowMenu = false;
    b.Press(b.CellPoint(3), {}, Qt::RightButton);
    EXPECT_FALSE(b.Host.MenuAutoPopup);
}

TEST(PointerPress, IgnoredWhileSlidingOrHiddenWithAutoHide)
{
    TInputBench b;
    b.Docking.Sliding = true;
    b.Press(b.CellPoint(1));
    EXPECT_EQ(b.Pointer.PressedCell, -1);
    b.Docking.Sliding = false;
    b.Docking.SlidOut = true;
    b.Settings.AutoHide = 2000;
    b.Press(b.CellPoint(1));
    EXPECT_EQ(b.Pointer.PressedCell, -1);
    EXPECT_TRUE(b.Host.Log.filter(QStringLiteral("DrawBank")).isEmpty());
}

TEST(PointerPress, TheOutermostPixelRowSlidesTheBarAndClicksNothing)
{
    TInputBench b;
    // The bar touches the right edge of the work area: its last column is screen x 1279.
    const QPoint edge(b.Host.Client.width() - 1, b.CellPoint(7).y());
    b.Move(edge);
    b.Press(edge);
    EXPECT_EQ(b.Docking.SlideEdge, SlideRight);
    EXPECT_TRUE(b.Docking.SlidOut);
    EXPECT_TRUE(b.Host.Capture);
    EXPECT_EQ(b.Host.Log.mid(b.Host.Log.size() - 2),
        QStringList({ QStringLiteral("DoSlide 2"), QStringLiteral("DoClick SLOUT") }));
    EXPECT_FALSE(b.Pointer.ButtonDown);
    b.Release(edge);
    EXPECT_TRUE(b.Host.Launches.isEmpty());

    // Slid out with auto-hide off, a press brings it back.
    b.Press(QPoint(0, 10));
    EXPECT_FALSE(b.Docking.SlidOut);
    EXPECT_EQ(b.Host.Log.last(), QStringLiteral("DoClick SLDIN"));

    // Not while the preferences are open.
    b.Host.Prefs = true;
    b.Press(edge);
    EXPECT_FALSE(b.Docking.SlidOut);
}

TEST(PointerPress, DoubleClickOnALabelEditsTheButton)
{
    TInputBench b;
    b.Settings.TextBelow = true;
    b.Settings.FontSize = 8;
    b.Layout.NewSize(b.Settings);
    b.Host.Client = b.Layout.WindowSize();
    b.Host.Page = 1;
    const QRect icon = b.Layout.CalcRect(5);
    const QPoint label(icon.center().x(), icon.bottom() + b.Layout.Inset + 3);
    b.Click(label);
    EXPECT_TRUE(b.Host.Launches.isEmpty()) << "the label strip is not part of the button";
    b.Host.Capture = true;
    b.Pointer.DoubleClick(b.Event(label, Qt::LeftButton, TInputBench::Held(true)));
    EXPECT_EQ(b.Host.Log.last(), QStringLiteral("MenuClick Edit"));
    EXPECT_EQ(b.Pointer.CurButton, 13);
    EXPECT_FALSE(b.Pointer.DblClickPending);
}

TEST(PointerPress, TheSecondPressOfADoubleClickOnACellIsSwallowed)
{
    TInputBench b;
    b.Click(b.CellPoint(4));
    const qsizetype logged = b.Host.Log.size();
    b.Host.Capture = true;
    b.Pointer.DoubleClick(b.Event(b.CellPoint(4), Qt::LeftButton, TInputBench::Held(true)));
    EXPECT_FALSE(b.Host.Capture);
    EXPECT_EQ(b.Host.Log.size(), logged) << b.Host.Log.join(u'|').toStdString();

    // On the switcher both presses count.
    b.Click(b.SwitcherPoint());
    b.Host.Capture = true;
    b.Pointer.DoubleClick(b.Event(b.SwitcherPoint(), Qt::LeftButton, TInputBench::Held(true)));
    EXPECT_TRUE(b.Pointer.ButtonDown);
}

TEST(PointerWindowMove, SwitcherDraggedOutOfTheBarMovesTheWindow)
{
    TInputBench b;
    b.Move(b.SwitcherPoint());
    b.Press(b.SwitcherPoint());
    b.Move(QPoint(-30, 20), TInputBench::Held(true));
    EXPECT_TRUE(b.Pointer.MovingWindow);
    EXPECT_FALSE(b.Pointer.ButtonDown);
    const QStringList start = { QStringLiteral("StopDockTimers"), QStringLiteral("DoClick GLICK"),
        QStringLiteral("StartWindowMove %1,%2").arg(b.SwitcherPoint().x()).arg(b.SwitcherPoint().y()) };
    EXPECT_EQ(b.Host.Log.mid(b.Host.Log.size() - 3), start);

    b.Move(QPoint(-60, 40), TInputBench::Held(true));
    EXPECT_EQ(b.Host.Log.last(), QStringLiteral("FollowPointer %1,%2").arg(b.WindowPos.x() - 60).arg(40));
    b.Release(QPoint(-60, 40));
    const QStringList end = { QStringLiteral("EndMoveLoop"), QStringLiteral("RestartDockTimers"),
        QStringLiteral("DoClick UP") };
    EXPECT_EQ(b.Host.Log.mid(b.Host.Log.size() - 3), end);
    EXPECT_FALSE(b.Pointer.MovingWindow);
    EXPECT_FALSE(b.Layout.Switcher.Down);
    EXPECT_TRUE(b.Host.Launches.isEmpty());
}

TEST(PointerWindowMove, CtrlDragMovesTheWindowBeyond31Pixels)
{
    for (const auto& [distance, moves] : { std::pair(31, false), std::pair(32, true) }) {
        SCOPED_TRACE(distance);
        for (const bool vertical : { false, true }) {
            TInputBench b;
            TShiftState ctrl;
            ctrl.Ctrl = true;
            const QPoint down = b.CellPoint(0);
            b.Press(down, ctrl);
            EXPECT_FALSE(b.Pointer.ButtonDown) << "Ctrl does not sink the cell";
            const QPoint to = down + (vertical ? QPoint(3, distance) : QPoint(-distance, 3));
            b.Move(to, TInputBench::Held(true, ctrl));
            EXPECT_EQ(b.Pointer.MovingWindow, moves);
            EXPECT_FALSE(b.Pointer.Dragging);
        }
    }
    TInputBench b;
    b.Settings.MoveResize = false;
    TShiftState ctrl;
    ctrl.Ctrl = true;
    b.Press(b.CellPoint(0), ctrl);
    b.Move(b.CellPoint(0) + QPoint(0, 50), TInputBench::Held(true, ctrl));
    EXPECT_FALSE(b.Pointer.MovingWindow);
}

TEST(PointerWindowMove, CornerPressResizes)
{
    TInputBench b;
    const QPoint corner(b.Host.Client.width() - 2, b.Host.Client.height() - 2);
    b.Move(corner);
    ASSERT_TRUE(b.Layout.CornerCursor);
    EXPECT_EQ(b.Host.LastCursor, TCursorKind::SizeNWSE);
    b.Press(corner);
    EXPECT_EQ(b.Host.Log.last(), QStringLiteral("StartResize %1").arg(CornerBottomRight));
    b.Move(corner + QPoint(20, 10), TInputBench::Held(true));
    b.Release(corner + QPoint(20, 10));
    const QStringList end
        = { QStringLiteral("FollowPointer %1,%2").arg(b.WindowPos.x() + corner.x() + 20).arg(corner.y() + 10),
              QStringLiteral("EndMoveLoop"), QStringLiteral("RestartDockTimers") };
    EXPECT_EQ(b.Host.Log.mid(b.Host.Log.size() - 3), end);
    EXPECT_TRUE(b.Host.Launches.isEmpty());
}

TEST(PointerSlide, SwitcherDraggedAlongTheBarCollapsesIt)
{
    TInputBench b;
    b.Move(b.SwitcherPoint());
    b.Press(b.SwitcherPoint());
    b.Move(b.CellPoint(2), TInputBench::Held(true));
    EXPECT_EQ(b.Host.LastCursor, TCursorKind::SizeWE) << "which way the bar will go";
    EXPECT_FALSE(b.Layout.Switcher.Down) << "the pressed look left with the pointer";
    b.Release(b.CellPoint(2));
    EXPECT_EQ(b.Docking.SlideEdge, SlideToSwitcher);
    EXPECT_EQ(b.Host.Log.mid(b.Host.Log.size() - 2),
        QStringList({ QStringLiteral("DoSlide 5"), QStringLiteral("DoClick SLOUT") }));
    EXPECT_TRUE(b.Host.Launches.isEmpty());
}

TEST(PointerHover, HoverLayerAndTheLeave)
{
    TInputBench b;
    b.Move(b.CellPoint(6));
    EXPECT_EQ(b.Pointer.HoverCell, 6);
    EXPECT_EQ(b.Host.Log.filter(QStringLiteral("ShowHoverLayer")).last(), QStringLiteral("ShowHoverLayer 6"));
    EXPECT_EQ(b.Pointer.DragPoint, b.CellPoint(6));
    b.Move(b.SwitcherPoint());
    EXPECT_FALSE(b.Host.FloatVisible);

    b.Settings.ZoomSize = 0;
    b.Move(b.CellPoint(6));
    EXPECT_EQ(b.Host.Log.filter(QStringLiteral("ShowHoverLayer")).size(), 1);

    b.Pointer.DblClickPending = true;
    b.Pointer.MouseLeave(QPoint(-5, 10), {});
    EXPECT_EQ(b.Pointer.HoverCell, -1);
    EXPECT_FALSE(b.Pointer.DblClickPending);
    EXPECT_EQ(b.Host.Log.last(), QStringLiteral("DrawBank"));

    // Not while the left button is held (a drag or a press goes on outside).
    b.Move(b.CellPoint(6));
    b.Pointer.MouseLeave(QPoint(-5, 10), TInputBench::Held(true));
    EXPECT_EQ(b.Pointer.HoverCell, 6);

    b.Pointer.LastHoverCell = 6;
    b.Pointer.MouseEnter(b.CellPoint(6), {});
    EXPECT_EQ(b.Pointer.LastHoverCell, -1);
}

// --- Drag and drop ------------------------------------------------------------------------------

TEST(PointerDrag, StartLiftsTheButtonOffItsCell)
{
    TInputBench b;
    b.StartDrag(1, 2);
    ASSERT_TRUE(b.Pointer.Dragging);
    EXPECT_EQ(b.Pointer.DragSource, 1);
    EXPECT_TRUE(b.Host.Log.contains(QStringLiteral("DoClick GLICK")));
    EXPECT_TRUE(b.Host.ButtonList[1].IsEmpty());
    EXPECT_EQ(b.Pointer.TempEntry.Path, QStringLiteral("/usr/bin/app1"));
    EXPECT_EQ(b.Host.Images[1].PixelCount(), 1);
    EXPECT_EQ(b.Pointer.DragImage.Pixel(5, 5), TInputBench::Colour(1));
    EXPECT_DOUBLE_EQ(b.Pointer.DragRatio, 1.0);
    EXPECT_EQ(b.Host.DragLayer.Width(), 32);
    EXPECT_EQ(b.Host.DragLayer.Pixel(16, 16), TInputBench::Colour(1));
    EXPECT_TRUE(b.Host.RubberRunning);
    EXPECT_TRUE(b.Host.HighPriority);
    EXPECT_EQ(b.Host.HintPause, 2000);
    // The icon starts from its cell, held at its pivot (half its width, a quarter of its height).
    const QRect r = b.Layout.CalcRect(1);
    EXPECT_EQ(b.Host.LayerPosition, QPointF(r.x() + 16, r.y() + 8));
    EXPECT_EQ(b.Host.LastCursor, TCursorKind::Default);
}

TEST(PointerDrag, DoesNotStartWhenForbiddenOrThereIsNoPicture)
{
    struct TCase {
        const char* Name;
        void (*Setup)(TInputBench&);
        TShiftState Keys;
    };
    TShiftState ctrl;
    ctrl.Ctrl = true;
    const TCase cases[] = {
        { "icons locked", [](TInputBench& b) { b.Settings.LockIcons = true; }, {} },
        { "menu hidden", [](TInputBench& b) { b.Settings.ShowMenu = false; }, {} },
        { "no picture", [](TInputBench& b) { b.Host.Images[1].SetSize(1, 1); }, {} },
        { "ctrl held", [](TInputBench&) {}, ctrl },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TInputBench b;
        c.Setup(b);
        b.Move(b.CellPoint(1));
        b.Press(b.CellPoint(1), c.Keys);
        b.Move(b.CellPoint(2), TInputBench::Held(true, c.Keys));
        EXPECT_FALSE(b.Pointer.Dragging);
        EXPECT_EQ(b.Host.ButtonList[1].Path, QStringLiteral("/usr/bin/app1"));
    }
}

TEST(PointerDrag, CursorTellsWhatADropWouldDo)
{
    TInputBench b;
    b.StartDrag(1, 2);
    TShiftState keys = TInputBench::Held(true);
    b.Move(QPoint(-40, 10), keys);
    EXPECT_EQ(b.Host.LastCursor, TCursorKind::Refuse);
    keys.CapsLockOn = true;
    b.Move(QPoint(-40, 10), keys);
    EXPECT_EQ(b.Host.LastCursor, TCursorKind::Invisible);
    b.Move(b.SwitcherPoint(), keys);
    EXPECT_EQ(b.Host.LastCursor, TCursorKind::SizeWE);
    keys.Shift = true;
    b.Move(b.CellPoint(3), keys);
    EXPECT_EQ(b.Host.LastCursor, TCursorKind::MultiDrag);
    keys.Shift = false;
    b.Move(b.CellPoint(3), keys);
    EXPECT_EQ(b.Host.LastCursor, TCursorKind::Default);
}

TEST(PointerDrag, DropSwapsCopiesOrChangesNothing)
{
    struct TCase {
        const char* Name;
        int Page; // shown while dropping
        QPoint (*Where)(const TInputBench&);
        bool Shift;
        bool Modified;
        std::pair<int, int> Swapped; // buttons that changed places, or none
        int CopiedTo; // button that took the picture of button 1, or -1
        int CurButton;
    };
    const TCase cases[] = {
        { "other cell", 0, [](const TInputBench& b) { return b.CellPoint(5); }, false, true, { 1, 5 }, -1,
            5 },
        { "other page", 1, [](const TInputBench& b) { return b.CellPoint(0); }, false, true, { 1, 8 }, -1,
            8 },
        { "shift: picture only", 0, [](const TInputBench& b) { return b.CellPoint(5); }, true, true,
            { -1, -1 }, 5, 5 },
        { "own cell", 0, [](const TInputBench& b) { return b.CellPoint(1); }, false, false, { -1, -1 }, -1,
            1 },
        { "own cell, shift", 0, [](const TInputBench& b) { return b.CellPoint(1); }, true, false, { -1, -1 },
            -1, 1 },
        { "switcher", 0, [](const TInputBench& b) { return b.SwitcherPoint(); }, false, false, { -1, -1 }, -1,
            1 },
        { "outside", 0, [](const TInputBench&) { return QPoint(-30, 20); }, false, false, { -1, -1 }, -1, 1 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TInputBench b;
        const QStringList paths = b.Paths();
        const QList<TColor32> colours = b.ImageColours();
        b.StartDrag(1, 2);
        b.Tick();
        b.Host.Page = c.Page;
        TShiftState keys;
        keys.Shift = c.Shift;
        b.Move(c.Where(b), TInputBench::Held(true, keys));
        b.Tick();
        b.Release(c.Where(b), keys);

        QStringList wantPaths = paths;
        QList<TColor32> wantColours = colours;
        if (c.Swapped.first >= 0) {
            wantPaths.swapItemsAt(c.Swapped.first, c.Swapped.second);
            wantColours.swapItemsAt(c.Swapped.first, c.Swapped.second);
            const QList<std::pair<int, int>> swaps = { c.Swapped };
            EXPECT_EQ(b.Host.SoundSwaps, swaps);
        } else {
            EXPECT_TRUE(b.Host.SoundSwaps.isEmpty());
        }
        if (c.CopiedTo >= 0)
            wantColours[c.CopiedTo] = colours[1];
        EXPECT_EQ(b.Paths(), wantPaths);
        EXPECT_EQ(b.ImageColours(), wantColours);
        EXPECT_EQ(b.Host.Modified, c.Modified);
        EXPECT_EQ(b.Pointer.CurButton, c.CurButton);

        EXPECT_FALSE(b.Pointer.Dragging);
        EXPECT_FALSE(b.Host.RubberRunning);
        EXPECT_FALSE(b.Host.HighPriority);
        EXPECT_FALSE(b.Host.OverlayShown);
        EXPECT_FALSE(b.Host.FloatVisible);
        EXPECT_EQ(b.Host.DragLayer.PixelCount(), 1);
        EXPECT_EQ(b.Host.HintPause, 750);
        EXPECT_EQ(b.Host.LastCursor, TCursorKind::Default);
        EXPECT_TRUE(b.Host.Launches.isEmpty()) << "a drop is not a click";
        const QStringList tail = { QStringLiteral("ScanSpecialPositions"), QStringLiteral("DrawBank UP") };
        EXPECT_EQ(b.Host.Log.mid(b.Host.Log.size() - 2), tail);
    }
}

TEST(PointerDrag, OverTheBarTheIconHangsOnTheLayerOutsideInTheOverlay)
{
    TInputBench b;
    b.StartDrag(1, 2);
    b.Tick();
    EXPECT_TRUE(b.Host.FloatVisible);
    EXPECT_FALSE(b.Host.OverlayShown);

    b.Host.InForm = false;
    b.Host.Held.LeftButton = true;
    b.Move(QPoint(-40, 10), TInputBench::Held(true));
    b.Tick();
    EXPECT_TRUE(b.Host.OverlayShown);
    EXPECT_FALSE(b.Host.FloatVisible);
    EXPECT_DOUBLE_EQ(b.Host.OverlayScale, 1.0);
    EXPECT_FALSE(b.Pointer.Rubber.Landing) << "the button is still held";

    // The wheel (which the bar keeps while its button is held) scales the icon out there.
    EXPECT_TRUE(b.Keys.FormMouseWheel(240, {}));
    b.Tick();
    EXPECT_DOUBLE_EQ(b.Host.OverlayScale, 1.5);
    // Back over the bar the extra scale is parked, and taken up again outside.
    b.Host.InForm = true;
    b.Tick();
    EXPECT_EQ(b.Pointer.Rubber.ExtraScale, 0);
    EXPECT_DOUBLE_EQ(b.Pointer.Rubber.SavedScale, 0.5);
    b.Host.InForm = false;
    b.Tick();
    EXPECT_DOUBLE_EQ(b.Host.OverlayScale, 1.5);
}

TEST(PointerDrag, ReleasedOutsideTheIconFliesBackAndNothingChanges)
{
    TInputBench b;
    const QStringList paths = b.Paths();
    const QList<TColor32> colours = b.ImageColours();
    b.StartDrag(1, 2);
    b.Host.InForm = false;
    b.Host.Held.LeftButton = true;
    b.Move(QPoint(-200, 300), TInputBench::Held(true));
    for (int i = 0; i < 20; ++i)
        b.Tick();
    ASSERT_TRUE(b.Host.OverlayShown);

    // The release outside reaches the bar while the overlay shows; the tick takes it from there.
    b.Release(QPoint(-200, 300));
    EXPECT_TRUE(b.Pointer.Dragging);
    b.Host.Held.LeftButton = false;
    b.Tick();
    EXPECT_TRUE(b.Pointer.Rubber.Landing);
    EXPECT_FALSE(b.Host.ControlEnabled);
    const QRect home = b.Layout.CalcRect(1);
    const TFloatPoint pivot { float(home.x() + 16), float(home.y() + 8) };
    EXPECT_EQ(b.Pointer.Rubber.TargetPos, pivot);

    int ticks = 1;
    while (b.Pointer.Dragging && ticks < 1000) {
        b.Tick();
        ++ticks;
    }
    EXPECT_LT(ticks, 200);
    EXPECT_FALSE(b.Pointer.Dragging);
    EXPECT_FALSE(b.Pointer.Rubber.Landing);
    EXPECT_EQ(b.Paths(), paths);
    EXPECT_EQ(b.ImageColours(), colours);
    EXPECT_FALSE(b.Host.Modified);
    EXPECT_TRUE(b.Host.ControlEnabled);
    EXPECT_FALSE(b.Host.RubberRunning);
    EXPECT_FALSE(b.Host.HighPriority);
    EXPECT_FALSE(b.Host.OverlayShown);
    EXPECT_EQ(b.Pointer.PressedCell, -1);
    EXPECT_EQ(b.Pointer.Rubber.SavedScale, 0);
    // The pointer is away: the cue plays by itself and the bar is drawn once more.
    const QStringList tail = { QStringLiteral("ScanSpecialPositions"), QStringLiteral("DoClick UP"),
        QStringLiteral("DrawBank") };
    EXPECT_EQ(b.Host.Log.mid(b.Host.Log.size() - 3), tail);
}

TEST(PointerDrag, AReleaseOverTheBarBeforeTheOverlayWentAwayStillDrops)
{
    TInputBench b;
    b.StartDrag(1, 2);
    b.Host.InForm = false;
    b.Host.Held.LeftButton = true;
    b.Move(QPoint(-40, 10), TInputBench::Held(true));
    b.Tick();
    ASSERT_TRUE(b.Host.OverlayShown);
    b.Host.InForm = true;
    b.Move(b.CellPoint(6), TInputBench::Held(true));
    b.Release(b.CellPoint(6));
    EXPECT_FALSE(b.Pointer.Dragging);
    EXPECT_EQ(b.Host.ButtonList[6].Path, QStringLiteral("/usr/bin/app1"));
    EXPECT_FALSE(b.Host.OverlayShown);
}

} // namespace
} // namespace qb
