#include "InputBench.h"

#include "GeometryPrinters.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

using test::TInputBench;

TKeyEvent Key(int key, TShiftState keys = {}, bool keypad = false)
{
    TKeyEvent e;
    e.Key = key;
    e.Keypad = keypad;
    e.Keys = keys;
    return e;
}

TShiftState Ctrl(bool shift = false)
{
    TShiftState keys;
    keys.Ctrl = true;
    keys.Shift = shift;
    return keys;
}

TEST(KeyDown, CtrlArrowsMoveTheBarWithinThePrimaryWorkArea)
{
    // The bar is 160 x 72 in a 1280 x 990 work area: PosRight 0..1120, PosTop 0..918.
    struct TCase {
        const char* Name;
        int Key;
        bool Shift;
        int Right, Top; // before
        int WantRight, WantTop;
    };
    const TCase cases[] = {
        { "left", Qt::Key_Left, false, 0, 0, 1, 0 },
        { "left by ten", Qt::Key_Left, true, 0, 0, 10, 0 },
        { "left up to the edge", Qt::Key_Left, true, 1115, 0, 1120, 0 },
        { "left at the edge", Qt::Key_Left, false, 1120, 0, 1120, 0 },
        { "right", Qt::Key_Right, true, 30, 0, 20, 0 },
        { "right up to the edge", Qt::Key_Right, true, 4, 0, 0, 0 },
        { "right at the edge", Qt::Key_Right, false, 0, 0, 0, 0 },
        { "up at the edge", Qt::Key_Up, true, 0, 0, 0, 0 },
        { "up", Qt::Key_Up, false, 0, 50, 0, 49 },
        { "down", Qt::Key_Down, true, 0, 50, 0, 60 },
        { "down up to the edge", Qt::Key_Down, true, 0, 912, 0, 918 },
        { "down at the edge", Qt::Key_Down, false, 0, 918, 0, 918 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TInputBench b;
        b.Layout.PosRight = c.Right;
        b.Layout.PosTop = c.Top;
        b.Host.PlaceWindow();
        b.Host.Log.clear();
        b.Keys.FormKeyDown(Key(c.Key, Ctrl(c.Shift)));
        EXPECT_EQ(b.Layout.PosRight, c.WantRight);
        EXPECT_EQ(b.Layout.PosTop, c.WantTop);
        const bool moved = c.WantRight != c.Right || c.WantTop != c.Top;
        EXPECT_EQ(b.Host.Modified, moved);
        EXPECT_EQ(b.Host.Log.contains(QStringLiteral("PlaceWindow")), moved);
        EXPECT_EQ(b.Layout.PlacedPos.Right, c.WantRight);
    }
}

TEST(KeyDown, CtrlOnTheBorderDoesNothingAndTypingPostponesHiding)
{
    TInputBench b;
    b.Docking.AutoHideArmed = true;
    b.Layout.OnBorder = true;
    b.Keys.FormKeyDown(Key(Qt::Key_Left, Ctrl()));
    EXPECT_FALSE(b.Docking.AutoHideArmed);
    EXPECT_EQ(b.Layout.PosRight, 0);
    EXPECT_TRUE(b.Host.Log.isEmpty());
}

TEST(KeyDown, CtrlOverTheBarShowsTheMoveCursorOnce)
{
    TInputBench b;
    b.Move(b.CellPoint(2));
    ASSERT_EQ(b.Pointer.HoverCell, 2);
    b.Keys.FormKeyDown(Key(Qt::Key_Control, Ctrl()));
    EXPECT_EQ(b.Host.LastCursor, TCursorKind::Move);
    EXPECT_EQ(b.Pointer.HoverCell, -1);
    EXPECT_EQ(b.Pointer.LastHoverCell, -1);
    EXPECT_FALSE(b.Host.FloatVisible);
    EXPECT_EQ(b.Host.Log.last(), QStringLiteral("DrawBank"));
    // Held down it repeats: the cursor is already the move cursor.
    b.Keys.FormKeyDown(Key(Qt::Key_Control, Ctrl()));
    EXPECT_EQ(b.Host.LastCursor, TCursorKind::Default);
    EXPECT_EQ(b.Host.Log.last(), QStringLiteral("NudgePointer"));

    TInputBench away;
    away.Host.InForm = false;
    away.Keys.FormKeyDown(Key(Qt::Key_Control, Ctrl()));
    EXPECT_NE(away.Host.LastCursor, TCursorKind::Move);
}

TEST(KeyDown, DigitsChooseAPage)
{
    struct TCase {
        int Key;
        bool Keypad;
        int Page; // after; the bar has three pages and shows the second
        bool Flipped;
    };
    const TCase cases[] = {
        { Qt::Key_1, false, 0, true }, { Qt::Key_3, false, 2, true },
        { Qt::Key_2, false, 1, false }, // the page shown
        { Qt::Key_4, false, 1, false }, // beyond the pages
        { Qt::Key_8, false, 1, false }, { Qt::Key_9, false, 1, false },
        { Qt::Key_3, true, 1, false }, // the keypad's digits are not page keys
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Key - Qt::Key_0);
        TInputBench b;
        b.Settings.Banks = 3;
        b.Host.Banks = 3;
        b.Host.Page = 1;
        b.Keys.FormKeyDown(Key(c.Key, {}, c.Keypad));
        EXPECT_EQ(b.Host.Page, c.Page);
        EXPECT_EQ(b.Host.Log.contains(QStringLiteral("SwitcherClick")), c.Flipped);
    }
}

TEST(KeyDown, EscapeStopsTheButtonSounds)
{
    TInputBench b;
    b.Keys.FormKeyDown(Key(Qt::Key_Escape));
    EXPECT_EQ(b.Host.Log,
        QStringList({ QStringLiteral("CancelMenu"), QStringLiteral("StopButtonSounds"),
            QStringLiteral("DrawBank") }));
}

TEST(KeyDown, EscapeDuringADragPutsEverythingBack)
{
    const TInputBench fresh;
    const QStringList paths = fresh.Paths();
    const QList<TColor32> colours = fresh.ImageColours();
    // Over another cell, and over the cell the top-left pixel belongs to when there is no
    // switcher there: neither may take the icon.
    for (const int switcher : { SwLeft, SwRight }) {
        SCOPED_TRACE(switcher);
        TInputBench b;
        b.Settings.CheviPos = switcher;
        b.Layout.NewSize(b.Settings);
        b.StartDrag(1, 5);
        b.Tick();
        b.Keys.FormKeyDown(Key(Qt::Key_Escape));
        EXPECT_FALSE(b.Pointer.Dragging);
        EXPECT_EQ(b.Paths(), paths);
        EXPECT_EQ(b.ImageColours(), colours);
        EXPECT_FALSE(b.Host.Modified);
        EXPECT_FALSE(b.Host.RubberRunning);
        EXPECT_FALSE(b.Host.Capture);
        EXPECT_EQ(b.Pointer.PressedCell, -1);
        EXPECT_FALSE(b.Host.Log.contains(QStringLiteral("StopButtonSounds")));
        EXPECT_EQ(b.Host.Log.last(), QStringLiteral("DrawBank"));
    }

    // While the icon flies back: the next drag starts afresh.
    TInputBench b;
    b.StartDrag(1, 5);
    b.Host.InForm = false;
    b.Host.Held.LeftButton = true;
    b.Move(QPoint(-100, 100), TInputBench::Held(true));
    for (int i = 0; i < 5; ++i)
        b.Tick();
    b.Host.Held.LeftButton = false;
    b.Tick();
    ASSERT_TRUE(b.Pointer.Rubber.Landing);
    b.Keys.FormKeyDown(Key(Qt::Key_Escape));
    EXPECT_FALSE(b.Pointer.Rubber.Landing);
    EXPECT_TRUE(b.Host.ControlEnabled);
    EXPECT_EQ(b.Paths(), paths);
    b.Host.InForm = true;
    b.StartDrag(2, 3);
    b.Tick();
    EXPECT_TRUE(b.Pointer.Dragging);
    EXPECT_FALSE(b.Pointer.Rubber.Landing);
}

TEST(KeyDown, EnterAndDeleteActOnTheHoveredButton)
{
    struct TCase {
        int Key;
        bool Empty;
        bool Alt;
        QString Command; // empty: none
    };
    const TCase cases[] = {
        { Qt::Key_Return, false, false, QStringLiteral("MenuClick Edit") },
        { Qt::Key_Enter, false, false, QStringLiteral("MenuClick Edit") },
        { Qt::Key_Delete, false, false, QStringLiteral("MenuClick Delete") },
        { Qt::Key_Return, true, false, {} }, { Qt::Key_Delete, true, false, {} },
        { Qt::Key_Delete, false, true, {} }, // Alt picks a colour instead
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Key);
        TInputBench b;
        b.Settings.AltToDye = true;
        b.Host.Page = 1;
        if (c.Empty)
            b.Host.ButtonList[14] = TButtonEntry();
        b.Move(b.CellPoint(6));
        b.Pointer.CurButton = 0;
        TShiftState keys;
        keys.Alt = c.Alt;
        b.Keys.FormKeyDown(Key(c.Key, keys));
        EXPECT_EQ(b.Host.Log.filter(QStringLiteral("MenuClick")),
            c.Command.isEmpty() ? QStringList() : QStringList { c.Command });
        EXPECT_EQ(b.Pointer.CurButton, c.Command.isEmpty() ? 0 : 14);
    }
}

TEST(KeyDown, AltPicksThePageColourUnderThePointer)
{
    TInputBench b;
    b.Settings.AltToDye = true;
    b.Host.Page = 1;
    b.Host.PixelUnderPointer = 0x80336699;
    TShiftState alt;
    alt.Alt = true;
    b.Keys.FormKeyDown(Key(Qt::Key_Alt, alt));
    EXPECT_EQ(b.Settings.SkinColor[1], 0xFF336699u);
    EXPECT_EQ(b.Settings.SkinColor[0], 0xFFFFFFFFu);
    EXPECT_EQ(b.Host.LastCursor, TCursorKind::Cross);
    EXPECT_EQ(b.Host.Log, QStringList({ QStringLiteral("DrawBank"), QStringLiteral("NudgePointer") }));

    b.Settings.AltToDye = false;
    b.Host.PixelUnderPointer = 0xFF000000;
    b.Keys.FormKeyDown(Key(Qt::Key_Alt, alt));
    EXPECT_EQ(b.Settings.SkinColor[1], 0xFF336699u);
    EXPECT_EQ(b.Host.LastCursor, TCursorKind::Default);
}

TEST(KeyUp, RefreshesTheZonesAndRearmsTheTimers)
{
    TInputBench b;
    b.Keys.FormKeyUp(QPoint(b.Host.Client.width() - 2, 2), {});
    EXPECT_EQ(b.Layout.CornerCode, CornerTopRight);
    EXPECT_EQ(b.Host.LastCursor, TCursorKind::SizeNESW);
    EXPECT_EQ(b.Host.Log.mid(b.Host.Log.size() - 2),
        QStringList({ QStringLiteral("NudgePointer"), QStringLiteral("RestartDockTimers") }));
}

TEST(Wheel, FlipsPagesOnlyWhenThereAreSeveral)
{
    struct TCase {
        const char* Name;
        int Banks;
        bool UseWheel;
        bool InForm;
        QList<int> Deltas;
        int Page; // after, from page 1
        bool Taken;
    };
    const TCase cases[] = {
        { "away: previous", 3, true, true, { 120 }, 0, true },
        { "away twice wraps", 3, true, true, { 120, 120 }, 2, true },
        { "towards: next", 3, true, true, { -120 }, 2, true },
        { "towards twice wraps", 3, true, true, { -120, -120 }, 0, true },
        { "half notches add up", 3, true, true, { 60, 60 }, 0, true },
        { "one page", 1, true, true, { 120 }, 1, false },
        { "wheel off", 3, false, true, { 120 }, 1, false },
        { "pointer outside", 3, true, false, { 120 }, 1, false },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TInputBench b;
        b.Settings.Banks = c.Banks;
        b.Settings.UseWheel = c.UseWheel;
        b.Host.Banks = c.Banks;
        b.Host.Page = 1;
        b.Host.InForm = c.InForm;
        bool taken = false;
        for (const int delta : c.Deltas)
            taken = b.Keys.FormMouseWheel(delta, {});
        EXPECT_EQ(taken, c.Taken);
        EXPECT_EQ(b.Host.Page, c.Page);
        if (!c.Taken) {
            EXPECT_TRUE(b.Host.Log.isEmpty());
        }
    }
}

} // namespace
} // namespace qb
