#pragma once

#include "platform/IInput.h"
#include "storage/Settings.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QtGlobal>

#include <array>
#include <climits>
#include <optional>
#include <span>

namespace qb {

// Rectangles here are QRect built from position and size. QRect::right() and bottom() are the
// last pixel inside; the first pixel outside, which screen and bitmap arithmetic works with, is
// OuterRight / OuterBottom.
inline int OuterRight(const QRect& r)
{
    return r.x() + r.width();
}
inline int OuterBottom(const QRect& r)
{
    return r.y() + r.height();
}
inline QRect RectFromEdges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// Icon edge length in pixels by IconSize 1..9.
inline constexpr std::array<int, 9> IconSizes = { 16, 24, 32, 48, 64, 72, 96, 128, 256 };

// Stands for the switcher wherever a cell index is expected; -1 stands for nothing.
inline constexpr int KSwitcherCell = INT_MAX;

// Where the switcher strip lies.
enum TSwitcherPosition { SwLeft = 1, SwRight = 2, SwNone = 3, SwTop = 4, SwBottom = 5 };

// Resize corners, numbered as the pointer zones report them.
enum TCornerCode {
    CornerNone = 0,
    CornerTopLeft = 13,
    CornerTopRight = 14,
    CornerBottomLeft = 16,
    CornerBottomRight = 17
};

// Docked border under the pointer.
enum TBorderEdge { EdgeNone = 0, EdgeLeft = 1, EdgeTop = 2, EdgeRight = 3, EdgeBottom = 4 };

// The page switcher strip.
struct TSwitcher {
    int Width = 0;
    int Height = 0;
    int Thickness = 16;
    int ZoomWidth = 0;
    int ZoomHeight = 0;
    int Position = SwLeft;
    QRect NRect; // bitmap pixels
    QString Caption;
    bool Down = false;
    Qt::CursorShape DragCursor = Qt::SizeHorCursor;
};

// One monitor as the desktop reports it (screen pixels). The first of a list is the primary.
struct TMonitor {
    QRect Geometry;
    QRect WorkArea;
};

// Distances of the window's edges from the same edges of the work area (screen pixels).
struct TEdgeDistances {
    int Top = 0;
    int Right = 0;
    int Left = 0;
    int Bottom = 0;
    bool operator==(const TEdgeDistances&) const = default;
};

struct TDockedEdges {
    bool Left = false;
    bool Top = false;
    bool Right = false;
    bool Bottom = false;
    bool operator==(const TDockedEdges&) const = default;
};

// What a pointer-zone update asks of the bar.
struct TPointerZoneResult {
    // The pointer is on the border: cancel the hint, HoverCell := -1, hide the hover layer.
    bool ClearHover = false;
    // The page must be drawn again (border line changed, or the hover layer went away).
    bool Redraw = false;
    // The cursor to show; empty leaves it as it is.
    std::optional<Qt::CursorShape> Cursor;
};

// An aspect-locked resize step.
struct TResizeResult {
    QRect Rect; // the adjusted window rectangle
    double Zoom = 1; // the zoom this size stands for
    QString ZoomText; // "NNN%", shown near the pointer
};

// The enlarged hover icon over a cell.
struct THoverEffect {
    int Grow = 0; // pixels added to the icon's width and height
    int Step = 0; // brightening per grown pixel
    int Lighten = 0; // Grow x Step, added to every colour channel
    QRect LayerRect; // where the enlarged icon lies, bitmap pixels
};

// Pixels per inch / 96, or 1.0 when the monitor is unknown (dpi <= 0) or the result is absurd.
double DpiScaleFromDpi(double dotsPerInch);
// Icon size for menus at a given scale.
int MenuIconSize(double dpiScale);
// Index of the monitor a window belongs to: the one it overlaps most, or the closest one when
// it overlaps none; -1 for an empty list.
int NearestMonitor(const QRect& window, std::span<const TMonitor> monitors);
// Index of the monitor under a point, or the closest one; -1 for an empty list.
int MonitorAtPoint(QPoint point, std::span<const TMonitor> monitors);
// Moves a window (keeping its size) so that it lies inside `bounds`; left and top win when it
// is larger.
QRect MakeFullyVisible(const QRect& window, const QRect& bounds);

// The bar's geometry: sizes in the bitmap (natural size), the window on its monitor, the zones
// of the window border and the constraints of interactive moving and resizing. Knows no window:
// the monitors, the pointer and the modifier keys are handed in.
class TLayout {
public:
    // Derived from the settings by NewSize.
    int Rows = 1;
    int Cols = 1;
    int CellsPerPage = 1;
    int IconW = 32;
    int IconH = 32;
    int Inset = 0;
    int CellW = 32;
    int CellH = 32;
    int BarW = 32;
    int BarH = 32;
    bool TextBelow = false;
    double Zoom = 1.0;
    TSwitcher Switcher;
    QRect InnerRect; // window pixels

    double DpiScale = 1.0;
    int MenuIconSizePx = 24;

    // Where the window sits.
    int MonitorIndex = 0;
    QRect WorkArea;
    int PosTop = 0;
    int PosRight = 0;
    int PosBottom = 0;
    int PosLeft = 0;
    TEdgeDistances PlacedPos;
    // Top and Right as last read from or written to the settings.
    int BackupTop = 0;
    int BackupRight = 0;
    TDockedEdges DockedEdges;

    // Pointer zones.
    bool OnSwitcher = false;
    bool OnBorder = false;
    int CornerCode = CornerNone;
    bool CornerCursor = false;
    int BorderEdge = EdgeNone;

    // Recomputes every size from the settings. The caller then places the window (PlaceWindow)
    // and resizes its bitmaps to BarW x BarH.
    void NewSize(const TSettings& settings);
    // Takes a new scale; it is used by the next NewSize.
    void SetDpiScale(double dpiScale);

    // The icon rectangle of a cell, or the switcher strip for any other index.
    QRect CalcRect(int cell) const;
    // The whole cell (icon grown by Inset), or the switcher strip for any other index.
    QRect CellRect(int cell) const;
    // A point of the window in bitmap pixels, for a window of the given size showing the bitmap
    // stretched over its whole client area.
    QPoint WindowToBitmap(QPoint windowPoint, QSize windowSize) const;
    // The cell under a point of the window, KSwitcherCell or -1. Sets OnSwitcher.
    int CellAtPoint(QPoint windowPoint, QSize windowSize);

    // The window size for the current zoom.
    QSize WindowSize() const;
    // The window rectangle anchored to the top-right of the work area; unless Shift is held it is
    // made fully visible on its nearest monitor. Refreshes PlacedPos.
    QRect PlaceWindow(std::span<const TMonitor> monitors, bool shiftHeld);
    // Recomputes DockedEdges for a window rectangle.
    void FindDockedEdges(const QRect& window);

    // Reads Top, Right and Monitor; a monitor that no longer exists falls back to the primary.
    void ReadPosition(const TSettings& settings, std::span<const TMonitor> monitors);
    // Stores the distances and the monitor nearest to the window.
    void WritePosition(TSettings& settings, const QRect& window, std::span<const TMonitor> monitors);

    // Pointer at `point` (client pixels) in a client area of `clientSize`.
    TPointerZoneResult UpdatePointerZones(
        QPoint point, QSize clientSize, const TInputState& keys, bool floatLayerVisible, bool altToDye);

    // The window rectangle while it is dragged: the pointer (screen) minus where it grabbed the
    // window, snapped to the work area of the monitor under the pointer unless Shift is held.
    // Refreshes DockedEdges.
    QRect DragMove(QPoint pointer, QPoint grabOffset, QSize windowSize, std::span<const TMonitor> monitors,
        bool shiftHeld);
    // A resize from a corner: `proposed` is the rectangle the pointer asks for. Empty when the
    // bar has no height or `corner` is not a corner.
    std::optional<TResizeResult> Resize(const QRect& proposed, int corner, bool altHeld) const;
    // The end of a move or resize: the height follows the width, the bar takes the monitor it is
    // on and the distances from that work area. Returns the window rectangle; `moved` tells
    // whether the distances differ from those of the last placement.
    QRect EndMove(const QRect& window, std::span<const TMonitor> monitors, bool* moved);
    // Display configuration changed: back to the distances last read or written, on the monitor
    // nearest to the window. The caller places the window afterwards.
    void DisplayChanged(const QRect& window, std::span<const TMonitor> monitors);

    // Size asked for when an icon is extracted.
    int IconRequestSize(int wanted, bool capsLockOn) const;
    // The enlarged hover icon for a pointer (bitmap pixels) over a cell.
    THoverEffect HoverEffect(int cell, QPoint bitmapPoint, int zoomSize, int iconLight) const;

    static QString ZoomText(double zoom);

private:
    TEdgeDistances DistancesOf(const QRect& window) const;

    int FDrawnBorderEdge = EdgeNone;
};

} // namespace qb
