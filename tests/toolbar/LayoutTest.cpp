#include "toolbar/Layout.h"

#include "GeometryPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace qb {
namespace {

// Two monitors side by side; the first has a panel at its bottom, the second one on its right.
const std::vector<TMonitor> KMonitors = {
    { QRect(0, 0, 1280, 1024), QRect(0, 0, 1280, 990) },
    { QRect(1280, 0, 1920, 1080), QRect(1280, 0, 1880, 1080) },
};

// The default settings are the 304 x 72 bar: 2 x 8 cells of 32-pixel icons, one frame ring, one
// pixel of padding, a 16-pixel switcher on the left.
TLayout Layout(const std::function<void(TSettings&)>& change = {}, double dpiScale = 1.0)
{
    TSettings settings;
    if (change)
        change(settings);
    TLayout layout;
    layout.SetDpiScale(dpiScale);
    layout.NewSize(settings);
    return layout;
}

struct TGeometryCase {
    const char* Name;
    std::function<void(TSettings&)> Change;
    double DpiScale;
    int Inset, CellW, CellH, BarW, BarH;
    QRect NRect;
    int Cell;
    QRect IconRect;
    QSize Window;
};

TEST(LayoutGeometry, SizesFollowTheSettings)
{
    const std::vector<TGeometryCase> cases = {
        { "default bar", {}, 1.0, 2, 36, 36, 304, 72, QRect(0, 0, 16, 72), 9, QRect(54, 38, 32, 32),
            QSize(304, 72) },
        { "etched frames count as two rings", [](TSettings& s) { s.ShowFrames = 3; }, 1.0, 3, 38, 38, 320, 76,
            QRect(0, 0, 16, 76), 9, QRect(57, 41, 32, 32), QSize(320, 76) },
        { "no frames", [](TSettings& s) { s.ShowFrames = 0; }, 1.0, 1, 34, 34, 288, 68, QRect(0, 0, 16, 68),
            0, QRect(17, 1, 32, 32), QSize(288, 68) },
        { "switcher right", [](TSettings& s) { s.CheviPos = 2; }, 1.0, 2, 36, 36, 304, 72,
            QRect(288, 0, 16, 72), 9, QRect(38, 38, 32, 32), QSize(304, 72) },
        { "no switcher", [](TSettings& s) { s.CheviPos = 3; }, 1.0, 2, 36, 36, 288, 72, QRect(0, 0, 0, 0), 15,
            QRect(254, 38, 32, 32), QSize(288, 72) },
        { "switcher top", [](TSettings& s) { s.CheviPos = 4; }, 1.0, 2, 36, 36, 288, 88, QRect(0, 0, 288, 16),
            9, QRect(38, 54, 32, 32), QSize(288, 88) },
        { "switcher bottom", [](TSettings& s) { s.CheviPos = 5; }, 1.0, 2, 36, 36, 288, 88,
            QRect(0, 72, 288, 16), 0, QRect(2, 2, 32, 32), QSize(288, 88) },
        { "label strip",
            [](TSettings& s) {
                s.TextBelow = true;
                s.FontSize = 4;
            },
            1.0, 2, 36, 48, 304, 96, QRect(0, 0, 16, 96), 9, QRect(54, 50, 32, 32), QSize(304, 96) },
        // (3 + 8) x 1.5 = 16.5 rounds to the even 16.
        { "label strip at 150 %",
            [](TSettings& s) {
                s.TextBelow = true;
                s.FontSize = 3;
            },
            1.5, 2, 36, 52, 304, 104, QRect(0, 0, 16, 104), 8, QRect(18, 54, 32, 32), QSize(304, 104) },
        { "label strip needs a font size",
            [](TSettings& s) {
                s.TextBelow = true;
                s.FontSize = 0;
            },
            1.0, 2, 36, 36, 304, 72, QRect(0, 0, 16, 72), 9, QRect(54, 38, 32, 32), QSize(304, 72) },
        { "labels over the icons leave the cell alone", [](TSettings& s) { s.FontSize = 6; }, 1.0, 2, 36, 36,
            304, 72, QRect(0, 0, 16, 72), 9, QRect(54, 38, 32, 32), QSize(304, 72) },
        { "zoom 1.5", [](TSettings& s) { s.Zoom = 1.5f; }, 1.0, 2, 36, 36, 304, 72, QRect(0, 0, 16, 72), 9,
            QRect(54, 38, 32, 32), QSize(456, 108) },
        // 304 x 1.53125 = 465.5 and 72 x 1.53125 = 110.25.
        { "zoom on a tie", [](TSettings& s) { s.Zoom = 1.53125f; }, 1.0, 2, 36, 36, 304, 72,
            QRect(0, 0, 16, 72), 9, QRect(54, 38, 32, 32), QSize(466, 110) },
        { "large icons, wide padding, wide switcher",
            [](TSettings& s) {
                s.IconSize = 9;
                s.IconPad = 32;
                s.CheviWidth = 64;
                s.Rows = 1;
                s.Cols = 2;
            },
            1.0, 33, 322, 322, 708, 322, QRect(0, 0, 64, 322), 1, QRect(419, 33, 256, 256), QSize(708, 322) },
    };
    for (const TGeometryCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TLayout l = Layout(c.Change, c.DpiScale);
        EXPECT_EQ(l.Inset, c.Inset);
        EXPECT_EQ(l.CellW, c.CellW);
        EXPECT_EQ(l.CellH, c.CellH);
        EXPECT_EQ(l.BarW, c.BarW);
        EXPECT_EQ(l.BarH, c.BarH);
        EXPECT_EQ(l.Switcher.NRect, c.NRect);
        EXPECT_EQ(l.Switcher.Width, c.NRect.width());
        EXPECT_EQ(l.Switcher.Height, c.NRect.height());
        EXPECT_EQ(l.CalcRect(c.Cell), c.IconRect);
        EXPECT_EQ(l.CellRect(c.Cell), c.IconRect.adjusted(-c.Inset, -c.Inset, c.Inset, c.Inset));
        EXPECT_EQ(l.WindowSize(), c.Window);
        EXPECT_EQ(l.InnerRect, QRect(1, 1, c.Window.width() - 2, c.Window.height() - 2));
    }
}

TEST(LayoutGeometry, SwitcherRecord)
{
    TLayout left = Layout([](TSettings& s) {
        s.Zoom = 1.5f;
        s.CheviCap = QStringLiteral("¤");
    });
    EXPECT_EQ(left.Switcher.Thickness, 16);
    EXPECT_EQ(left.Switcher.ZoomWidth, 24);
    EXPECT_EQ(left.Switcher.ZoomHeight, 108);
    EXPECT_EQ(left.Switcher.DragCursor, Qt::SizeHorCursor);
    EXPECT_EQ(left.Switcher.Caption, QStringLiteral("¤"));
    EXPECT_EQ(left.CellsPerPage, 16);

    const TLayout bottom = Layout([](TSettings& s) { s.CheviPos = 5; });
    EXPECT_EQ(bottom.Switcher.DragCursor, Qt::SizeVerCursor);
    // Cells start at the top; the strip is the last rows of the bitmap.
    EXPECT_EQ(bottom.CalcRect(0).top(), bottom.Inset);
    EXPECT_EQ(OuterBottom(bottom.Switcher.NRect), bottom.BarH);

    // Any index that is not a cell gives the switcher strip, empty without a switcher.
    EXPECT_EQ(left.CalcRect(-1), left.Switcher.NRect);
    EXPECT_EQ(left.CalcRect(16), left.Switcher.NRect);
    EXPECT_EQ(left.CalcRect(KSwitcherCell), left.Switcher.NRect);
    const TLayout none = Layout([](TSettings& s) { s.CheviPos = 3; });
    EXPECT_TRUE(none.CalcRect(16).isEmpty());
    EXPECT_EQ(none.Switcher.ZoomWidth, 0);
}

// The reader keeps the settings within their bounds; the layout must still never index outside
// the icon table or divide by zero when it is handed something else.
TEST(LayoutGeometry, OutOfRangeSettingsStayInBounds)
{
    const TLayout l = Layout(
        [](TSettings& s) {
            s.Rows = 0;
            s.Cols = -4;
            s.IconSize = 12;
            s.ShowFrames = 9;
            s.IconPad = -3;
            s.FontSize = 99;
            s.TextBelow = true;
            s.CheviPos = 7;
            s.CheviWidth = 500;
            s.Zoom = std::numeric_limits<float>::quiet_NaN();
        },
        0.0);
    EXPECT_EQ(l.Rows, 1);
    EXPECT_EQ(l.Cols, 1);
    EXPECT_EQ(l.IconW, 256);
    EXPECT_EQ(l.Inset, 2);
    EXPECT_EQ(l.DpiScale, 1.0);
    EXPECT_EQ(l.CellH, 260 + 24); // font size 16 at scale 1
    EXPECT_EQ(l.Switcher.Position, 5);
    EXPECT_EQ(l.Switcher.Thickness, 64);
    EXPECT_EQ(l.BarH, 284 + 64);
    EXPECT_EQ(l.Zoom, 1.0);

    const TLayout small = Layout([](TSettings& s) {
        s.IconSize = -1;
        s.CheviWidth = 0;
        s.Zoom = 0.1f;
    });
    EXPECT_EQ(small.IconW, 16);
    EXPECT_EQ(small.Switcher.Thickness, 8);
    EXPECT_EQ(small.Zoom, 1.0);
}

TEST(LayoutHitTest, CellAtPoint)
{
    struct TCase {
        const char* Name;
        std::function<void(TSettings&)> Change;
        QPoint Point; // window pixels
        int Cell;
        bool OnSwitcher;
    };
    const auto zoom15 = [](TSettings& s) { s.Zoom = 1.5f; };
    const auto zoom2 = [](TSettings& s) { s.Zoom = 2.0f; };
    const auto labels = [](TSettings& s) {
        s.TextBelow = true;
        s.FontSize = 4; // cells 36 x 48, the label strip is rows 36..47 of each cell
    };
    const auto top = [](TSettings& s) { s.CheviPos = 4; };
    const auto none = [](TSettings& s) { s.CheviPos = 3; };
    const std::vector<TCase> cases = {
        { "switcher", {}, QPoint(0, 0), KSwitcherCell, true },
        { "switcher's last column", {}, QPoint(15, 71), KSwitcherCell, true },
        { "first cell", {}, QPoint(16, 0), 0, false },
        { "frame pixels belong to the cell", {}, QPoint(51, 35), 0, false },
        { "second row", {}, QPoint(52, 36), 9, false },
        { "last cell", {}, QPoint(303, 71), 15, false },
        { "right of the bar", {}, QPoint(304, 0), -1, false },
        { "below the bar", {}, QPoint(20, 72), -1, false },
        { "left of the bar", {}, QPoint(-1, 10), -1, false },
        { "zoomed switcher", zoom15, QPoint(23, 100), KSwitcherCell, true },
        { "zoomed first cell", zoom15, QPoint(24, 0), 0, false },
        { "zoomed last pixel", zoom15, QPoint(455, 107), 15, false },
        { "zoomed outside", zoom15, QPoint(456, 107), -1, false },
        // Truncating -0.5 towards zero would put this point on the switcher.
        { "just left of a zoomed bar", zoom2, QPoint(-1, -1), -1, false },
        { "icon above the label strip", labels, QPoint(20, 35), 0, false },
        { "label strip", labels, QPoint(20, 36), -1, false },
        { "last row of a label strip", labels, QPoint(300, 95), -1, false },
        { "second row's icon", labels, QPoint(300, 83), 15, false },
        { "switcher on top", top, QPoint(100, 15), KSwitcherCell, true },
        { "first cell below a top switcher", top, QPoint(0, 16), 0, false },
        { "no switcher", none, QPoint(0, 0), 0, false },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLayout l = Layout(c.Change);
        l.OnSwitcher = !c.OnSwitcher;
        EXPECT_EQ(l.CellAtPoint(c.Point, l.WindowSize()), c.Cell);
        EXPECT_EQ(l.OnSwitcher, c.OnSwitcher);
    }
}

TEST(LayoutHitTest, StretchedToAnyWindowSize)
{
    // While a resize runs the window may be a pixel off the zoom; the hit test follows the
    // picture as it is stretched over the window.
    const TLayout l = Layout();
    EXPECT_EQ(l.WindowToBitmap(QPoint(455, 107), QSize(456, 108)), QPoint(303, 71));
    EXPECT_EQ(l.WindowToBitmap(QPoint(456, 108), QSize(457, 109)), QPoint(303, 71));
    EXPECT_EQ(l.WindowToBitmap(QPoint(151, 35), QSize(152, 36)), QPoint(302, 70));
    EXPECT_EQ(l.WindowToBitmap(QPoint(-1, -1), QSize(608, 144)), QPoint(-1, -1));
    EXPECT_EQ(l.WindowToBitmap(QPoint(5, 5), QSize(0, 0)), QPoint(1520, 360)); // no division by 0
}

TEST(LayoutPlacement, AnchoredToTheWorkAreasTopRight)
{
    TLayout l = Layout([](TSettings& s) { s.Zoom = 1.5f; });
    TSettings position;
    position.Top = 10;
    position.Right = 20;
    l.ReadPosition(position, KMonitors);
    EXPECT_EQ(l.WorkArea, KMonitors[0].WorkArea);

    EXPECT_EQ(l.PlaceWindow(KMonitors, false), QRect(1280 - 456 - 20, 10, 456, 108));
    EXPECT_EQ(l.PlacedPos, (TEdgeDistances { 10, 20, 804, 990 - 118 }));

    // On the second monitor the anchor is its own work area, whose right edge stops at a panel.
    position.Monitor = 1;
    l.ReadPosition(position, KMonitors);
    EXPECT_EQ(l.PlaceWindow(KMonitors, false), QRect(1280 + 1880 - 456 - 20, 10, 456, 108));

    // A monitor that is gone falls back to the primary one.
    position.Monitor = 2;
    l.ReadPosition(position, KMonitors);
    EXPECT_EQ(l.MonitorIndex, 0);
    EXPECT_EQ(l.WorkArea, KMonitors[0].WorkArea);
    position.Monitor = -1;
    l.ReadPosition(position, KMonitors);
    EXPECT_EQ(l.MonitorIndex, 0);
}

TEST(LayoutPlacement, MadeFullyVisibleUnlessShiftIsHeld)
{
    TLayout l = Layout(); // 304 x 72
    TSettings position;
    position.Top = -40;
    position.Right = -100; // half beyond the right edge of the primary monitor
    l.ReadPosition(position, KMonitors);
    // The window overlaps the second monitor a little, but the first one more: it stays there.
    EXPECT_EQ(l.PlaceWindow(KMonitors, false), QRect(1280 - 304, 0, 304, 72));
    EXPECT_EQ(l.PlacedPos.Top, -40); // the distances as read, not as corrected
    EXPECT_EQ(l.PlacedPos.Left, 976);
    EXPECT_EQ(l.PlaceWindow(KMonitors, true), QRect(1280 - 304 + 100, -40, 304, 72));

    // Below the panel but still on the monitor: the monitor's bounds count, not the work area.
    position.Top = 960;
    position.Right = 0;
    l.ReadPosition(position, KMonitors);
    EXPECT_EQ(l.PlaceWindow(KMonitors, false), QRect(976, 952, 304, 72));

    // Far away from every monitor: onto the nearest one.
    position.Top = 5000;
    position.Right = -4000;
    l.ReadPosition(position, KMonitors);
    EXPECT_EQ(l.PlaceWindow(KMonitors, false), QRect(3200 - 304, 1080 - 72, 304, 72));

    EXPECT_EQ(MakeFullyVisible(QRect(-10, -10, 400, 300), QRect(0, 0, 200, 100)), QRect(0, 0, 400, 300));
}

TEST(LayoutPlacement, NearestMonitor)
{
    EXPECT_EQ(NearestMonitor(QRect(1200, 0, 100, 10), KMonitors), 0);
    EXPECT_EQ(NearestMonitor(QRect(1250, 0, 100, 10), KMonitors), 1);
    EXPECT_EQ(NearestMonitor(QRect(0, 2000, 10, 10), KMonitors), 0);
    EXPECT_EQ(NearestMonitor(QRect(3000, 2000, 10, 10), KMonitors), 1);
    EXPECT_EQ(NearestMonitor(QRect(0, 0, 10, 10), {}), -1);
    EXPECT_EQ(MonitorAtPoint(QPoint(1279, 1023), KMonitors), 0);
    EXPECT_EQ(MonitorAtPoint(QPoint(1280, 1023), KMonitors), 1);
    EXPECT_EQ(MonitorAtPoint(QPoint(1000, 1070), KMonitors), 0); // just below the shorter one
}

TEST(LayoutPlacement, DockedEdgesWithinOnePixel)
{
    TLayout l = Layout();
    l.WorkArea = QRect(0, 0, 1280, 990);
    l.FindDockedEdges(QRect(1280 - 304, 0, 304, 72));
    EXPECT_EQ(l.DockedEdges, (TDockedEdges { false, true, true, false }));
    l.FindDockedEdges(QRect(1, 990 - 72 - 1, 304, 72));
    EXPECT_EQ(l.DockedEdges, (TDockedEdges { true, false, false, true }));
    l.FindDockedEdges(QRect(2, 2, 304, 72));
    EXPECT_EQ(l.DockedEdges, TDockedEdges {});
    l.FindDockedEdges(QRect(0, 0, 1280, 990));
    EXPECT_EQ(l.DockedEdges, (TDockedEdges { true, true, true, true }));
}

TEST(LayoutMove, SnapsToTheWorkAreaUnderThePointer)
{
    struct TCase {
        const char* Name;
        QPoint Pointer;
        bool Shift;
        QPoint TopLeft;
        QPoint Grab = QPoint(10, 10);
    };
    const std::vector<TCase> cases = {
        { "near the top-left corner", QPoint(20, 25), false, QPoint(0, 0) },
        { "exactly 15 pixels away", QPoint(25, 25), false, QPoint(0, 0) },
        { "16 pixels away", QPoint(26, 26), false, QPoint(16, 16) },
        { "right edge", QPoint(976 - 15 + 10, 500), false, QPoint(976, 490) },
        { "bottom edge (panel)", QPoint(500, 990 - 72 - 14 + 10), false, QPoint(490, 918) },
        { "shift places it as dragged", QPoint(20, 25), true, QPoint(10, 15) },
        { "left edge of the second monitor", QPoint(1295, 500), false, QPoint(1280, 490) },
        { "against the second monitor's panel", QPoint(3160 - 304 - 5 + 10, 500), false,
            QPoint(3160 - 304, 490) },
        // The window still hangs over the first monitor's right edge, but the pointer is on the
        // second one, whose edges alone attract.
        { "crossing over", QPoint(1281, 500), false, QPoint(981, 490), QPoint(300, 10) },
        { "not yet crossed", QPoint(1279, 500), false, QPoint(976, 490), QPoint(300, 10) },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLayout l = Layout();
        l.WorkArea = KMonitors[0].WorkArea;
        const QRect r = l.DragMove(c.Pointer, c.Grab, QSize(304, 72), KMonitors, c.Shift);
        EXPECT_EQ(r, QRect(c.TopLeft, QSize(304, 72)));
    }

    const QPoint grab(10, 10);
    TLayout l = Layout();
    l.WorkArea = KMonitors[0].WorkArea;
    l.DragMove(QPoint(1275, 12), grab, QSize(304, 72), KMonitors, false);
    EXPECT_EQ(l.DockedEdges, (TDockedEdges { false, true, false, false }));
    l.DragMove(QPoint(1000, 12), grab, QSize(304, 72), KMonitors, false);
    EXPECT_EQ(l.DockedEdges, (TDockedEdges { false, true, true, false }));
}

TEST(LayoutResize, AspectLockedWithHalfWidthSnapping)
{
    struct TCase {
        const char* Name;
        int Corner;
        QRect Proposed;
        bool Alt;
        QRect Result;
        QString Text;
    };
    // The default bar is 304 x 72: half widths are multiples of 152.
    const std::vector<TCase> cases = {
        { "snaps to the natural width", CornerBottomRight, QRect(100, 100, 310, 80), false,
            QRect(100, 100, 304, 72), QStringLiteral("100%") },
        { "alt keeps the width", CornerBottomRight, QRect(100, 100, 310, 80), true, QRect(100, 100, 310, 73),
            QStringLiteral("102%") },
        { "15 pixels below 456 snaps", CornerBottomRight, QRect(0, 0, 441, 10), false, QRect(0, 0, 456, 108),
            QStringLiteral("150%") },
        { "16 pixels below 456 does not", CornerBottomRight, QRect(0, 0, 440, 10), false,
            QRect(0, 0, 440, 104), QStringLiteral("145%") },
        { "a quarter at least", CornerBottomRight, QRect(0, 0, 70, 10), false, QRect(0, 0, 76, 18),
            QStringLiteral("25%") },
        { "near zero snaps to zero and is raised", CornerBottomRight, QRect(0, 0, 10, 10), false,
            QRect(0, 0, 76, 18), QStringLiteral("25%") },
        { "a quarter at least with alt too", CornerBottomRight, QRect(0, 0, 70, 10), true,
            QRect(0, 0, 76, 18), QStringLiteral("25%") },
        { "62.5 % reads as the even 62 %", CornerBottomRight, QRect(0, 0, 190, 10), true,
            QRect(0, 0, 190, 45), QStringLiteral("62%") },
        { "top-left corner keeps the bottom-right", CornerTopLeft, QRect(90, 92, 310, 80), false,
            QRect(96, 100, 304, 72), QStringLiteral("100%") },
        { "top-right corner keeps the bottom-left", CornerTopRight, QRect(100, 92, 310, 80), false,
            QRect(100, 100, 304, 72), QStringLiteral("100%") },
        { "bottom-left corner keeps the top-right", CornerBottomLeft, QRect(90, 100, 310, 80), false,
            QRect(96, 100, 304, 72), QStringLiteral("100%") },
    };
    const TLayout l = Layout();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto r = l.Resize(c.Proposed, c.Corner, c.Alt);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->Rect, c.Result);
        EXPECT_DOUBLE_EQ(r->Zoom, double(c.Result.width()) / 304);
        EXPECT_EQ(r->ZoomText, c.Text);
    }
    EXPECT_FALSE(l.Resize(QRect(0, 0, 300, 70), CornerNone, false).has_value());
}

TEST(LayoutResize, TallBarFollowsTheHeight)
{
    // 8 rows x 2 columns: 88 x 288, half heights are multiples of 144.
    const TLayout l = Layout([](TSettings& s) {
        s.Rows = 8;
        s.Cols = 2;
    });
    ASSERT_EQ(l.BarW, 88);
    ASSERT_EQ(l.BarH, 288);
    const auto snapped = l.Resize(QRect(0, 0, 500, 300), CornerBottomRight, false);
    ASSERT_TRUE(snapped.has_value());
    EXPECT_EQ(snapped->Rect, QRect(0, 0, 88, 288));
    const auto free = l.Resize(QRect(0, 0, 10, 300), CornerBottomRight, true);
    EXPECT_EQ(free->Rect, QRect(0, 0, 92, 300)); // 300 x 88 / 288 = 91.67
    EXPECT_EQ(free->ZoomText, QStringLiteral("105%"));
    const auto tiny = l.Resize(QRect(0, 0, 10, 30), CornerTopLeft, false);
    EXPECT_EQ(tiny->Rect, QRect(-12, -42, 22, 72));
}

TEST(LayoutMove, EndOfMoveOnAnotherMonitor)
{
    TLayout l = Layout();
    TSettings settings;
    settings.Top = 10;
    settings.Right = 20;
    l.ReadPosition(settings, KMonitors);
    const QRect placed = l.PlaceWindow(KMonitors, false);

    // A move that ends where it started changes nothing.
    bool moved = true;
    EXPECT_EQ(l.EndMove(placed, KMonitors, &moved), placed);
    EXPECT_FALSE(moved);

    // Dropped on the second monitor: the distances refer to its work area.
    const QRect there(2000, 300, 304, 72);
    EXPECT_EQ(l.EndMove(there, KMonitors, &moved), there);
    EXPECT_TRUE(moved);
    EXPECT_EQ(l.MonitorIndex, 1);
    EXPECT_EQ(l.WorkArea, KMonitors[1].WorkArea);
    EXPECT_EQ(l.PosTop, 300);
    EXPECT_EQ(l.PosLeft, 720);
    EXPECT_EQ(l.PosRight, 3160 - 2304);
    EXPECT_EQ(l.PosBottom, 1080 - 372);
    // Placing again from those distances puts it back where it was dropped.
    l.NewSize(settings);
    EXPECT_EQ(l.PlaceWindow(KMonitors, false), there);

    l.WritePosition(settings, there, KMonitors);
    EXPECT_EQ(settings.Monitor, 1);
    EXPECT_EQ(settings.Top, 300);
    EXPECT_EQ(settings.Right, 856);
    EXPECT_EQ(l.BackupTop, 300);
    EXPECT_EQ(l.BackupRight, 856);

    // The height always follows the width.
    EXPECT_EQ(l.EndMove(QRect(2000, 300, 456, 100), KMonitors, &moved), QRect(2000, 300, 456, 108));
    EXPECT_TRUE(moved);
}

TEST(LayoutMove, DisplayChangeReturnsToTheSavedDistances)
{
    TLayout l = Layout();
    TSettings settings;
    settings.Top = 10;
    settings.Right = 20;
    l.ReadPosition(settings, KMonitors);
    bool moved = false;
    l.EndMove(QRect(2000, 300, 304, 72), KMonitors, &moved);
    // The second monitor is unplugged while the bar sits there.
    const std::vector<TMonitor> one(KMonitors.begin(), KMonitors.begin() + 1);
    l.DisplayChanged(QRect(2000, 300, 304, 72), one);
    EXPECT_EQ(l.MonitorIndex, 0);
    EXPECT_EQ(l.PlaceWindow(one, false), QRect(1280 - 304 - 20, 10, 304, 72));
}

TEST(LayoutPointer, CornersAndDockedBorders)
{
    const QSize client(304, 72);
    const TInputState none;
    TInputState ctrl;
    ctrl.Ctrl = true;
    TInputState shift;
    shift.Shift = true;
    struct TCase {
        const char* Name;
        TDockedEdges Docked;
        QPoint Point;
        TInputState Keys;
        int Corner;
        bool OnBorder;
        int Edge;
        std::optional<Qt::CursorShape> Cursor;
    };
    const TDockedEdges topRight { false, true, true, false };
    const TDockedEdges all { true, true, true, true };
    const std::vector<TCase> cases = {
        { "bottom-left corner", all, QPoint(0, 71), none, CornerBottomLeft, true, 0, Qt::SizeBDiagCursor },
        { "bottom-right corner", all, QPoint(303, 64), none, CornerBottomRight, true, 0,
            Qt::SizeFDiagCursor },
        { "top-left corner", all, QPoint(7, 7), none, CornerTopLeft, false, 0, Qt::SizeFDiagCursor },
        { "top-right corner", all, QPoint(296, 0), none, CornerTopRight, true, 0, Qt::SizeBDiagCursor },
        { "docked top border", topRight, QPoint(8, 0), none, CornerNone, true, EdgeTop, Qt::ArrowCursor },
        { "docked right border", topRight, QPoint(303, 8), none, CornerNone, true, EdgeRight,
            Qt::ArrowCursor },
        { "loose left border", topRight, QPoint(0, 30), none, CornerNone, true, 0, Qt::ArrowCursor },
        { "loose bottom border", topRight, QPoint(100, 71), none, CornerNone, true, 0, Qt::ArrowCursor },
        { "inside", all, QPoint(100, 30), none, CornerNone, false, 0, Qt::ArrowCursor },
        { "ctrl leaves the corner to the border", all, QPoint(0, 0), ctrl, CornerNone, true, EdgeLeft,
            std::nullopt },
        { "shift too; top wins over right", { false, true, true, false }, QPoint(303, 0), shift, CornerNone,
            true, EdgeTop, std::nullopt },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLayout l = Layout();
        l.DockedEdges = c.Docked;
        const TPointerZoneResult r = l.UpdatePointerZones(c.Point, client, c.Keys, false, false);
        EXPECT_EQ(l.CornerCode, c.Corner);
        EXPECT_EQ(l.CornerCursor, c.Corner != CornerNone);
        EXPECT_EQ(l.OnBorder, c.OnBorder);
        EXPECT_EQ(l.BorderEdge, c.Edge);
        EXPECT_EQ(r.Cursor, c.Cursor);
        EXPECT_EQ(r.ClearHover, c.OnBorder && c.Corner == CornerNone);
        EXPECT_EQ(r.Redraw, c.Edge != 0); // the border line appeared
    }
}

TEST(LayoutPointer, RedrawsOnlyWhenTheBorderLineOrHoverChanges)
{
    const QSize client(304, 72);
    TLayout l = Layout();
    l.DockedEdges = { false, true, true, false };
    EXPECT_TRUE(l.UpdatePointerZones(QPoint(100, 0), client, {}, false, false).Redraw);
    EXPECT_FALSE(l.UpdatePointerZones(QPoint(120, 0), client, {}, false, false).Redraw);
    // Down to the bottom border, which is not docked: the line stays where it was drawn.
    TPointerZoneResult r = l.UpdatePointerZones(QPoint(120, 71), client, {}, false, false);
    EXPECT_FALSE(r.Redraw);
    EXPECT_EQ(l.BorderEdge, EdgeTop);
    // Inside again: the line goes away.
    EXPECT_TRUE(l.UpdatePointerZones(QPoint(120, 30), client, {}, false, false).Redraw);
    EXPECT_EQ(l.BorderEdge, EdgeNone);
    // The hover layer is hidden on a loose border, and that needs a redraw.
    r = l.UpdatePointerZones(QPoint(0, 30), client, {}, true, false);
    EXPECT_TRUE(r.ClearHover);
    EXPECT_TRUE(r.Redraw);
    r = l.UpdatePointerZones(QPoint(0, 30), client, {}, false, false);
    EXPECT_FALSE(r.Redraw);
    // Outside the window the zones keep their values.
    l.UpdatePointerZones(QPoint(302, 70), client, {}, false, false);
    ASSERT_EQ(l.CornerCode, CornerBottomRight);
    r = l.UpdatePointerZones(QPoint(400, 30), client, {}, false, false);
    EXPECT_EQ(l.CornerCode, CornerBottomRight);
    EXPECT_FALSE(l.CornerCursor);
    EXPECT_FALSE(r.Cursor.has_value());

    TInputState alt;
    alt.Alt = true;
    EXPECT_EQ(l.UpdatePointerZones(QPoint(100, 30), client, alt, false, true).Cursor, Qt::CrossCursor);
    EXPECT_EQ(l.UpdatePointerZones(QPoint(100, 30), client, alt, false, false).Cursor, Qt::ArrowCursor);
}

TEST(LayoutScale, DpiAndIconSizes)
{
    EXPECT_EQ(DpiScaleFromDpi(96), 1.0);
    EXPECT_EQ(DpiScaleFromDpi(144), 1.5);
    EXPECT_EQ(DpiScaleFromDpi(0), 1.0);
    EXPECT_EQ(DpiScaleFromDpi(9), 1.0); // below 0.1
    EXPECT_EQ(DpiScaleFromDpi(std::nan("")), 1.0);

    struct {
        double Scale;
        int Size;
    } const menu[] = { { 1.0, 24 }, { 1.25, 24 }, { 1.26, 32 }, { 1.75, 32 }, { 1.76, 48 }, { 3.0, 48 } };
    for (const auto& m : menu) {
        EXPECT_EQ(MenuIconSize(m.Scale), m.Size) << m.Scale;
        TLayout l;
        l.SetDpiScale(m.Scale);
        EXPECT_EQ(l.MenuIconSizePx, m.Size);
    }

    const TLayout l = Layout(); // 32-pixel icons
    struct {
        int Wanted;
        bool Caps;
        int Size;
    } const request[] = { { 0, false, 32 }, { -5, false, 32 }, { 16, false, 16 }, { 32, false, 32 },
        { 48, false, 32 }, { 0, true, 256 }, { 16, true, 16 }, { 48, true, 48 } };
    for (const auto& r : request)
        EXPECT_EQ(l.IconRequestSize(r.Wanted, r.Caps), r.Size) << r.Wanted << " caps " << r.Caps;
}

TEST(LayoutHover, GrowsTowardsTheCellCentre)
{
    // Cell 0 of the default bar spans (16, 0)-(52, 36); its icon is (18, 2, 32, 32).
    const TLayout l = Layout();
    struct TCase {
        QPoint Point;
        int ZoomSize, IconLight;
        int Grow, Step;
        QRect Layer;
    };
    const TCase cases[] = {
        { QPoint(34, 18), 1, 16, 4, 4, QRect(16, 0, 36, 36) }, // centre: 18 div 4
        { QPoint(16, 18), 1, 16, 0, 4, QRect(18, 2, 32, 32) }, // left edge
        { QPoint(51, 35), 1, 16, 0, 4, QRect(18, 2, 32, 32) }, // bottom-right pixel: 1 div 4
        { QPoint(30, 10), 1, 16, 2, 4, QRect(17, 1, 34, 34) }, // 14 and 10 from the edges
        { QPoint(34, 18), 4, 16, 18, 1, QRect(9, -7, 50, 50) }, // 16 / 18 rounds to 1
        { QPoint(34, 18), 1, 10, 4, 2, QRect(16, 0, 36, 36) }, // 10 / 4 = 2.5 -> 2
        { QPoint(34, 18), 1, 14, 4, 4, QRect(16, 0, 36, 36) }, // 14 / 4 = 3.5 -> 4
        { QPoint(34, 18), 9, 16, 18, 1, QRect(9, -7, 50, 50) }, // held at the largest zoom
    };
    for (const TCase& c : cases) {
        const THoverEffect e = l.HoverEffect(0, c.Point, c.ZoomSize, c.IconLight);
        SCOPED_TRACE(c.Point.x());
        EXPECT_EQ(e.Grow, c.Grow);
        EXPECT_EQ(e.Step, c.Step);
        EXPECT_EQ(e.Lighten, c.Grow * c.Step);
        EXPECT_EQ(e.LayerRect, c.Layer);
    }
    // Second row, with a top switcher: the same arithmetic on the offset cell.
    const TLayout top = Layout([](TSettings& s) { s.CheviPos = 4; });
    const QRect r = top.CalcRect(9); // cell (36, 52)-(72, 88)
    EXPECT_EQ(top.HoverEffect(9, QPoint(54, 70), 2, 16).LayerRect,
        QRect(r.x() - 3, r.y() - 3, 38, 38)); // 18 div 3 = 6
}

} // namespace
} // namespace qb
