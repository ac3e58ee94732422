#include "toolbar/Layout.h"

#include "raster/Round.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace qb {

namespace {

// Division rounding towards minus infinity, so that points left of or above the window never
// land on pixel 0.
qint64 FloorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// Squared distance between two rectangles (0 when they touch or overlap).
qint64 DistanceSquared(const QRect& a, const QRect& b)
{
    const qint64 dx = std::max({ 0, b.x() - OuterRight(a), a.x() - OuterRight(b) });
    const qint64 dy = std::max({ 0, b.y() - OuterBottom(a), a.y() - OuterBottom(b) });
    return dx * dx + dy * dy;
}

} // namespace

double DpiScaleFromDpi(double dotsPerInch)
{
    const double scale = dotsPerInch / 96.0;
    if (!std::isfinite(scale) || scale < 0.1)
        return 1.0;
    return scale;
}

int MenuIconSize(double dpiScale)
{
    if (dpiScale > 1.75)
        return 48;
    if (dpiScale > 1.25)
        return 32;
    return 24;
}

int NearestMonitor(const QRect& window, std::span<const TMonitor> monitors)
{
    int best = -1;
    qint64 bestArea = 0;
    for (int i = 0; i < static_cast<int>(monitors.size()); ++i) {
        const QRect common = window.intersected(monitors[i].Geometry);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    if (best >= 0)
        return best;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (int i = 0; i < static_cast<int>(monitors.size()); ++i) {
        const qint64 d = DistanceSquared(window, monitors[i].Geometry);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

int MonitorAtPoint(QPoint point, std::span<const TMonitor> monitors)
{
    return NearestMonitor(QRect(point, QSize(1, 1)), monitors);
}

QRect MakeFullyVisible(const QRect& window, const QRect& bounds)
{
    int left = window.x();
    int top = window.y();
    if (OuterRight(window) > OuterRight(bounds))
        left = OuterRight(bounds) - window.width();
    if (left < bounds.x())
        left = bounds.x();
    if (OuterBottom(window) > OuterBottom(bounds))
        top = OuterBottom(bounds) - window.height();
    if (top < bounds.y())
        top = bounds.y();
    return QRect(QPoint(left, top), window.size());
}

void TLayout::SetDpiScale(double dpiScale)
{
    DpiScale = (std::isfinite(dpiScale) && dpiScale >= 0.1) ? dpiScale : 1.0;
    MenuIconSizePx = MenuIconSize(DpiScale);
}

void TLayout::NewSize(const TSettings& settings)
{
    // The reader keeps the settings in their bounds; they are held there again because every
    // size, index and divisor below depends on them.
    Rows = std::clamp(settings.Rows, 1, 32);
    Cols = std::clamp(settings.Cols, 1, 32);
    CellsPerPage = Rows * Cols;
    IconW = IconH = IconSizes[std::clamp(settings.IconSize, 1, 9) - 1];
    Inset = std::min(std::clamp(settings.ShowFrames, 0, 3), 2) + std::clamp(settings.IconPad, 0, 32);
    CellW = IconW + 2 * Inset;
    CellH = IconH + 2 * Inset;
    TextBelow = settings.TextBelow;
    const int fontSize = std::clamp(settings.FontSize, 0, 16);
    if (TextBelow && fontSize > 0)
        CellH += RoundHalfEven((fontSize + 8) * DpiScale);
    BarW = Cols * CellW;
    BarH = Rows * CellH;

    const double zoom = settings.Zoom;
    Zoom = (std::isfinite(zoom) && zoom >= 0.25) ? zoom : 1.0;

    TSwitcher& sw = Switcher;
    sw.Thickness = std::clamp(settings.CheviWidth, 8, 64);
    sw.Position = std::clamp(settings.CheviPos, 1, 5);
    sw.Caption = settings.CheviCap;
    if (sw.Position < SwNone) {
        BarW += sw.Thickness;
        sw.DragCursor = Qt::SizeHorCursor;
    } else if (sw.Position > SwNone) {
        BarH += sw.Thickness;
        sw.DragCursor = Qt::SizeVerCursor;
    }
    switch (sw.Position) {
    case SwLeft:
        sw.NRect = RectFromEdges(0, 0, sw.Thickness, BarH);
        break;
    case SwRight:
        sw.NRect = RectFromEdges(BarW - sw.Thickness, 0, BarW, BarH);
        break;
    case SwTop:
        sw.NRect = RectFromEdges(0, 0, BarW, sw.Thickness);
        break;
    case SwBottom:
        sw.NRect = RectFromEdges(0, BarH - sw.Thickness, BarW, BarH);
        break;
    default:
        sw.NRect = QRect(0, 0, 0, 0);
        break;
    }
    sw.Width = sw.NRect.width();
    sw.Height = sw.NRect.height();
    sw.ZoomWidth = RoundHalfEven(sw.Width * Zoom);
    sw.ZoomHeight = RoundHalfEven(sw.Height * Zoom);

    const QSize window = WindowSize();
    InnerRect = QRect(1, 1, window.width() - 2, window.height() - 2);
}

QRect TLayout::CalcRect(int cell) const
{
    if (cell < 0 || cell >= CellsPerPage)
        return Switcher.NRect;
    int x = (cell % Cols) * CellW + Inset;
    int y = (cell / Cols) * CellH + Inset;
    if (Switcher.Position == SwLeft)
        x += Switcher.Width;
    else if (Switcher.Position == SwTop)
        y += Switcher.Height;
    return QRect(x, y, IconW, IconH);
}

QRect TLayout::CellRect(int cell) const
{
    if (cell < 0 || cell >= CellsPerPage)
        return Switcher.NRect;
    return CalcRect(cell).adjusted(-Inset, -Inset, Inset, Inset);
}

QPoint TLayout::WindowToBitmap(QPoint windowPoint, QSize windowSize) const
{
    const qint64 w = std::max(1, windowSize.width());
    const qint64 h = std::max(1, windowSize.height());
    return QPoint(
        int(FloorDiv(qint64(windowPoint.x()) * BarW, w)), int(FloorDiv(qint64(windowPoint.y()) * BarH, h)));
}

int TLayout::CellAtPoint(QPoint windowPoint, QSize windowSize)
{
    OnSwitcher = false;
    const QPoint p = WindowToBitmap(windowPoint, windowSize);
    if (!QRect(0, 0, BarW, BarH).contains(p))
        return -1;
    if (Switcher.NRect.contains(p)) {
        OnSwitcher = true;
        return KSwitcherCell;
    }
    int x = p.x();
    int y = p.y();
    if (Switcher.Position == SwLeft)
        x -= Switcher.Width;
    else if (Switcher.Position == SwTop)
        y -= Switcher.Height;
    int idx = x / CellW + (y / CellH) * Cols;
    if (idx >= CellsPerPage)
        idx = -1;
    // The label strip below an icon is not part of the button.
    if (TextBelow && y % CellH >= 2 * Inset + IconH)
        idx = -1;
    return idx;
}

QSize TLayout::WindowSize() const
{
    return QSize(RoundHalfEven(BarW * Zoom), RoundHalfEven(BarH * Zoom));
}

QRect TLayout::PlaceWindow(std::span<const TMonitor> monitors, bool shiftHeld)
{
    const QSize size = WindowSize();
    QRect window(QPoint(OuterRight(WorkArea) - size.width() - PosRight, WorkArea.y() + PosTop), size);
    if (!shiftHeld) {
        const int monitor = NearestMonitor(window, monitors);
        if (monitor >= 0)
            window = MakeFullyVisible(window, monitors[monitor].Geometry);
    }
    // Left and bottom follow from where the window really is, so that a move that ends where it
    // started is not taken for a change.
    const TEdgeDistances placed = DistancesOf(window);
    PosLeft = placed.Left;
    PosBottom = placed.Bottom;
    PlacedPos = { PosTop, PosRight, PosLeft, PosBottom };
    return window;
}

TEdgeDistances TLayout::DistancesOf(const QRect& window) const
{
    TEdgeDistances d;
    d.Top = window.y() - WorkArea.y();
    d.Right = OuterRight(WorkArea) - OuterRight(window);
    d.Left = window.x() - WorkArea.x();
    d.Bottom = OuterBottom(WorkArea) - OuterBottom(window);
    return d;
}

void TLayout::FindDockedEdges(const QRect& window)
{
    DockedEdges.Left = std::abs(window.x() - WorkArea.x()) <= 1;
    DockedEdges.Top = std::abs(window.y() - WorkArea.y()) <= 1;
    DockedEdges.Right = std::abs(OuterRight(window) - OuterRight(WorkArea)) <= 1;
    DockedEdges.Bottom = std::abs(OuterBottom(window) - OuterBottom(WorkArea)) <= 1;
}

void TLayout::ReadPosition(const TSettings& settings, std::span<const TMonitor> monitors)
{
    PosTop = settings.Top;
    PosRight = settings.Right;
    BackupTop = settings.Top;
    BackupRight = settings.Right;
    MonitorIndex = (settings.Monitor >= 0 && settings.Monitor < static_cast<int>(monitors.size()))
        ? settings.Monitor
        : 0;
    if (!monitors.empty())
        WorkArea = monitors[MonitorIndex].WorkArea;
}

void TLayout::WritePosition(TSettings& settings, const QRect& window, std::span<const TMonitor> monitors)
{
    settings.Top = PosTop;
    settings.Right = PosRight;
    settings.Monitor = std::max(0, NearestMonitor(window, monitors));
    BackupTop = PosTop;
    BackupRight = PosRight;
}

TPointerZoneResult TLayout::UpdatePointerZones(
    QPoint point, QSize clientSize, const TInputState& keys, bool floatLayerVisible, bool altToDye)
{
    TPointerZoneResult result;
    CornerCursor = false;
    OnSwitcher = false;
    const int w = clientSize.width();
    const int h = clientSize.height();
    if (QRect(QPoint(0, 0), clientSize).contains(point)) {
        if (!keys.Ctrl && !keys.Shift) {
            if (QRect(0, h - 8, 8, 8).contains(point)) {
                CornerCode = CornerBottomLeft;
                result.Cursor = Qt::SizeBDiagCursor;
            } else if (QRect(w - 8, h - 8, 8, 8).contains(point)) {
                CornerCode = CornerBottomRight;
                result.Cursor = Qt::SizeFDiagCursor;
            } else if (QRect(0, 0, 8, 8).contains(point)) {
                CornerCode = CornerTopLeft;
                result.Cursor = Qt::SizeFDiagCursor;
            } else if (QRect(w - 8, 0, 8, 8).contains(point)) {
                CornerCode = CornerTopRight;
                result.Cursor = Qt::SizeBDiagCursor;
            } else {
                CornerCode = CornerNone;
                result.Cursor = Qt::ArrowCursor;
            }
            CornerCursor = CornerCode != CornerNone;
        }
        OnBorder = !QRect(1, 1, w - 2, h - 2).contains(point);
    }

    if (!OnBorder || CornerCursor) {
        BorderEdge = EdgeNone;
    } else {
        if (point.x() == 0 && DockedEdges.Left)
            BorderEdge = EdgeLeft;
        else if (point.y() == 0 && DockedEdges.Top)
            BorderEdge = EdgeTop;
        else if (point.x() == w - 1 && DockedEdges.Right)
            BorderEdge = EdgeRight;
        else if (point.y() == h - 1 && DockedEdges.Bottom)
            BorderEdge = EdgeBottom;
        result.ClearHover = true;
    }

    if (BorderEdge != FDrawnBorderEdge || (floatLayerVisible && result.ClearHover)) {
        result.Redraw = true;
        FDrawnBorderEdge = BorderEdge;
    }
    if (keys.Alt && altToDye)
        result.Cursor = Qt::CrossCursor;
    return result;
}

QRect TLayout::DragMove(
    QPoint pointer, QPoint grabOffset, QSize windowSize, std::span<const TMonitor> monitors, bool shiftHeld)
{
    constexpr int KSnap = 15;
    QRect window(pointer - grabOffset, windowSize);
    const int monitor = MonitorAtPoint(pointer, monitors);
    if (!shiftHeld && monitor >= 0) {
        const QRect& area = monitors[monitor].WorkArea;
        int left = window.x();
        if (std::abs(left - area.x()) <= KSnap)
            left = area.x();
        else if (std::abs(left + windowSize.width() - OuterRight(area)) <= KSnap)
            left = OuterRight(area) - windowSize.width();
        int top = window.y();
        if (std::abs(top - area.y()) <= KSnap)
            top = area.y();
        else if (std::abs(top + windowSize.height() - OuterBottom(area)) <= KSnap)
            top = OuterBottom(area) - windowSize.height();
        window.moveTo(left, top);
    }
    FindDockedEdges(window);
    return window;
}

std::optional<TResizeResult> TLayout::Resize(const QRect& proposed, int corner, bool altHeld) const
{
    if (BarH <= 0 || BarW <= 0)
        return std::nullopt;
    const bool left = corner == CornerTopLeft || corner == CornerBottomLeft;
    const bool right = corner == CornerTopRight || corner == CornerBottomRight;
    const bool top = corner == CornerTopLeft || corner == CornerTopRight;
    const bool bottom = corner == CornerBottomLeft || corner == CornerBottomRight;
    if (!(left || right) || !(top || bottom))
        return std::nullopt;

    constexpr int KSnap = 16;
    const double ratio = double(BarW) / BarH;
    // The leading dimension snaps to multiples of half the natural size and stays at a quarter
    // of it at least; the other one follows the aspect ratio.
    const auto lead = [altHeld](int proposedSize, int natural) {
        int size = proposedSize;
        if (!altHeld) {
            const int snapped = RoundHalfEven(double(size) / natural * 2) * (natural / 2);
            if (std::abs(size - snapped) < KSnap)
                size = snapped;
        }
        if (double(size) / natural < 0.25)
            size = RoundHalfEven(natural * 0.25);
        return size;
    };
    int w = proposed.width();
    int h = proposed.height();
    if (ratio > 1) {
        w = lead(w, BarW);
        h = RoundHalfEven(w / ratio);
    } else {
        h = lead(h, BarH);
        w = RoundHalfEven(h * ratio);
    }

    TResizeResult result;
    result.Zoom = double(w) / BarW;
    result.ZoomText = ZoomText(result.Zoom);
    const int x = left ? OuterRight(proposed) - w : proposed.x();
    const int y = top ? OuterBottom(proposed) - h : proposed.y();
    result.Rect = QRect(x, y, w, h);
    return result;
}

QString TLayout::ZoomText(double zoom)
{
    return QString::number(RoundHalfEven(zoom * 100)) + QLatin1Char('%');
}

QRect TLayout::EndMove(const QRect& window, std::span<const TMonitor> monitors, bool* moved)
{
    QRect result = window;
    if (BarW > 0 && BarH > 0) {
        const int height = RoundHalfEven(window.width() / (double(BarW) / BarH));
        if (height != window.height())
            result.setHeight(height);
    }
    const int monitor = NearestMonitor(result, monitors);
    if (monitor >= 0) {
        MonitorIndex = monitor;
        WorkArea = monitors[monitor].WorkArea;
    }
    const TEdgeDistances d = DistancesOf(result);
    PosTop = d.Top;
    PosRight = d.Right;
    PosLeft = d.Left;
    PosBottom = d.Bottom;
    if (moved)
        *moved = d != PlacedPos;
    return result;
}

void TLayout::DisplayChanged(const QRect& window, std::span<const TMonitor> monitors)
{
    PosTop = BackupTop;
    PosRight = BackupRight;
    const int monitor = NearestMonitor(window, monitors);
    if (monitor >= 0) {
        MonitorIndex = monitor;
        WorkArea = monitors[monitor].WorkArea;
    }
}

int TLayout::IconRequestSize(int wanted, bool capsLockOn) const
{
    if (capsLockOn)
        return wanted <= 0 ? 256 : wanted;
    return (wanted <= 0 || wanted >= IconW) ? IconW : wanted;
}

THoverEffect TLayout::HoverEffect(int cell, QPoint bitmapPoint, int zoomSize, int iconLight) const
{
    const QRect r = CalcRect(cell);
    const int divisor = 5 - std::clamp(zoomSize, 0, 4);
    const int c = CellW / 2 - std::abs(bitmapPoint.x() + Inset - r.x() - CellW / 2);
    const int l = CellH / 2 - std::abs(bitmapPoint.y() + Inset - r.y() - CellH / 2);
    THoverEffect effect;
    effect.Grow = std::max(0, std::min(c, l)) / divisor;
    const int maxGrow = (CellH / 2) / divisor;
    effect.Step = maxGrow > 0 ? RoundHalfEven(double(iconLight) / maxGrow) : 0;
    effect.Lighten = effect.Grow * effect.Step;
    effect.LayerRect
        = QRect(r.x() - effect.Grow / 2, r.y() - effect.Grow / 2, IconW + effect.Grow, IconH + effect.Grow);
    return effect;
}

} // namespace qb
