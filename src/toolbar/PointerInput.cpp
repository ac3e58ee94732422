#include "toolbar/PointerInput.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace qb {

namespace {

// Ctrl + drag moves the window once the pointer is this far from the press.
constexpr int KMoveThreshold = 31;
constexpr int KDragHintPause = 2000;
constexpr int KHintPause = 750;

const QString KCueClick = QStringLiteral("CLICK");
const QString KCueGlick = QStringLiteral("GLICK");
const QString KCueUp = QStringLiteral("UP");
const QString KCueSlideOut = QStringLiteral("SLOUT");
const QString KCueSlideIn = QStringLiteral("SLDIN");

void PrepareForTurning(TBitmap32& bitmap)
{
    bitmap.SetDrawMode(TDrawMode::Blend);
    bitmap.SetCombineMode(TCombineMode::Merge);
    bitmap.SetResampler(TResamplerKind::Linear);
    bitmap.SetPixelAccess(TPixelAccess::TransparentEdge);
}

// `dst` takes the pixels of `src` and keeps its own drawing attributes.
void CopyPixels(TBitmap32& dst, const TBitmap32& src)
{
    TBitmap32 copy = src;
    dst.SwapPixels(copy);
}

} // namespace

TInputState ToInputState(const TShiftState& keys)
{
    TInputState s;
    s.Shift = keys.Shift;
    s.Ctrl = keys.Ctrl;
    s.Alt = keys.Alt;
    s.CapsLockOn = keys.CapsLockOn;
    s.LeftButton = keys.Left;
    s.RightButton = keys.Right;
    return s;
}

TShiftState ToShiftState(const TInputState& held)
{
    TShiftState keys;
    keys.Shift = held.Shift;
    keys.Ctrl = held.Ctrl;
    keys.Alt = held.Alt;
    keys.CapsLockOn = held.CapsLockOn;
    keys.Left = held.LeftButton;
    keys.Right = held.RightButton;
    return keys;
}

TCursorKind CursorKindOf(Qt::CursorShape shape)
{
    switch (shape) {
    case Qt::ForbiddenCursor:
        return TCursorKind::Refuse;
    case Qt::BlankCursor:
        return TCursorKind::Invisible;
    case Qt::DragCopyCursor:
        return TCursorKind::MultiDrag;
    case Qt::SizeVerCursor:
        return TCursorKind::SizeNS;
    case Qt::SizeHorCursor:
        return TCursorKind::SizeWE;
    case Qt::SizeFDiagCursor:
        return TCursorKind::SizeNWSE;
    case Qt::SizeBDiagCursor:
        return TCursorKind::SizeNESW;
    case Qt::SizeAllCursor:
        return TCursorKind::Move;
    case Qt::CrossCursor:
        return TCursorKind::Cross;
    default:
        return TCursorKind::Default;
    }
}

Qt::CursorShape CursorShapeOf(TCursorKind kind)
{
    switch (kind) {
    case TCursorKind::Default:
        return Qt::ArrowCursor;
    case TCursorKind::Refuse:
        return Qt::ForbiddenCursor;
    case TCursorKind::Invisible:
        return Qt::BlankCursor;
    case TCursorKind::MultiDrag:
        return Qt::DragCopyCursor;
    case TCursorKind::SizeNS:
        return Qt::SizeVerCursor;
    case TCursorKind::SizeWE:
        return Qt::SizeHorCursor;
    case TCursorKind::SizeNWSE:
        return Qt::SizeFDiagCursor;
    case TCursorKind::SizeNESW:
        return Qt::SizeBDiagCursor;
    case TCursorKind::Move:
        return Qt::SizeAllCursor;
    case TCursorKind::Cross:
        return Qt::CrossCursor;
    }
    return Qt::ArrowCursor;
}

TPointerInput::TPointerInput(const TInputContext& context)
    : FContext(context)
    , FHost(context.Host)
{
}

int TPointerInput::AbsoluteIndex(int cell) const
{
    return FHost.CurPage() * FContext.Layout.CellsPerPage + cell;
}

bool TPointerInput::InsideControl(QPoint pos) const
{
    return QRect(QPoint(0, 0), FHost.ClientSize()).contains(pos);
}

void TPointerInput::SetCursor(TCursorKind kind)
{
    FCursor = kind;
    FHost.SetCursor(kind);
}

void TPointerInput::UpdatePointerZones(QPoint pos, const TShiftState& keys)
{
    TLayout& layout = FContext.Layout;
    const TPointerZoneResult zones = layout.UpdatePointerZones(
        pos, FHost.ClientSize(), ToInputState(keys), FHost.FloatLayerVisible(), FContext.Settings.AltToDye);
    if (zones.ClearHover) {
        FHost.HideHint();
        HoverCell = -1;
        FHost.HideFloatLayer();
    }
    if (zones.Cursor)
        SetCursor(CursorKindOf(*zones.Cursor));
    if (zones.Redraw)
        FHost.DrawBank();
}

// The cell whose label strip lies under the point (a double click there edits the button).
int TPointerInput::LabelCellAt(QPoint pos) const
{
    const TLayout& l = FContext.Layout;
    const QPoint p = l.WindowToBitmap(pos, FHost.ClientSize());
    if (!QRect(0, 0, l.BarW, l.BarH).contains(p) || l.Switcher.NRect.contains(p))
        return -1;
    int x = p.x();
    int y = p.y();
    if (l.Switcher.Position == SwLeft)
        x -= l.Switcher.Width;
    else if (l.Switcher.Position == SwTop)
        y -= l.Switcher.Height;
    if (x < 0 || y < 0 || l.CellW <= 0 || l.CellH <= 0 || x / l.CellW >= l.Cols)
        return -1;
    const int idx = x / l.CellW + (y / l.CellH) * l.Cols;
    if (idx >= l.CellsPerPage || y % l.CellH < 2 * l.Inset + l.IconH)
        return -1;
    return idx;
}

// A press on the outermost pixel row of the work area, where a docked bar touches it.
int TPointerInput::SlideEdgeAt(QPoint s) const
{
    const QRect& wa = FContext.Layout.WorkArea;
    const int right = OuterRight(wa);
    const int bottom = OuterBottom(wa);
    const bool yInside = wa.top() + 1 <= s.y() && s.y() <= bottom - 2;
    const bool xInside = wa.left() + 1 <= s.x() && s.x() <= right - 2;
    int edge = SlideNone;
    if (s.x() == right - 1 && yInside)
        edge = SlideRight;
    if (s.y() == wa.top() && xInside)
        edge = SlideTop;
    if (s.x() == wa.left() && yInside)
        edge = SlideLeft;
    if (s.y() == bottom - 1 && xInside)
        edge = SlideBottom;
    return edge;
}

void TPointerInput::MouseDown(const TPointerEvent& ev)
{
    if (ev.Button != Qt::LeftButton && ev.Button != Qt::RightButton && ev.Button != Qt::MiddleButton)
        return;
    TLayout& layout = FContext.Layout;
    TDocking& dock = FContext.Docking;
    const TSettings& settings = FContext.Settings;

    FHost.StopHintTimer();
    FHost.HideHint();
    FHost.SetMenuAutoPopup(false);

    if (FMoveLoop != TMoveLoop::None || dock.Sliding || Dragging || (dock.SlidOut && settings.AutoHide != 0))
        return;
    const bool left = ev.Button == Qt::LeftButton;

    if (DblClickPending) {
        DblClickPending = false;
        if (layout.TextBelow && left) {
            const int cell = LabelCellAt(ev.Pos);
            if (cell >= 0) {
                CurButton = AbsoluteIndex(cell);
                FHost.MenuClick(QStringLiteral("Edit"));
                return;
            }
        }
        if (!layout.OnSwitcher && FHost.HasCapture()) {
            FHost.ReleaseCapture();
            return;
        }
        ButtonDown = false;
    }

    DownPoint = ev.Pos;
    PressedCell = layout.CellAtPoint(ev.Pos, FHost.ClientSize());

    if (left) {
        FHost.HideFloatLayer();
        layout.Switcher.Down = layout.OnSwitcher;
        if (!dock.SlidOut)
            dock.SlideEdge = SlideEdgeAt(ev.ScreenPos);
        if (dock.SlideEdge > 0 || (dock.SlidOut && !FHost.AutoHideTimerActive())) {
            ButtonDown = false;
            // This press slides the bar; its release must not click the button that happens to
            // lie under the pointer once the bar has moved.
            PressedCell = -1;
            FHost.CapturePointer();
            if (!FHost.PrefsVisible()) {
                const bool out = FHost.DoSlide();
                FHost.DoClick(out ? KCueSlideOut : KCueSlideIn);
            }
            return;
        }
    }

    if (!layout.CornerCursor && IsCell(PressedCell) && !dock.SlidOut) {
        CurButton = AbsoluteIndex(PressedCell);
        if (ev.Button == Qt::RightButton && settings.ShowMenu)
            FHost.SetMenuAutoPopup(true);
    }

    if (!left || ev.Keys.Ctrl)
        return;

    if (layout.CornerCursor && settings.MoveResize) {
        FHost.StopDockTimers();
        FHost.ReleaseCapture();
        FMoveLoop = TMoveLoop::Resize;
        FHost.StartResize(layout.CornerCode);
        return;
    }

    ButtonDown = IsCell(PressedCell) || layout.OnSwitcher;
    const bool silent = layout.OnSwitcher || settings.BtnDown == QStringLiteral("<NONE>");
    FHost.DrawBank(silent ? QString() : KCueClick);
}

void TPointerInput::MouseMove(const TPointerEvent& ev)
{
    if (FMoveLoop != TMoveLoop::None) {
        FHost.FollowPointer(ev.ScreenPos, ev.Keys);
        return;
    }
    TLayout& layout = FContext.Layout;
    const TDocking& dock = FContext.Docking;
    const TSettings& settings = FContext.Settings;
    const TShiftState& k = ev.Keys;

    if (dock.SlidOut) {
        if (dock.SlideEdge == SlideToSwitcher)
            SetCursor(CursorKindOf(layout.Switcher.DragCursor));
        else if (dock.SlideEdge % 2 == 1)
            SetCursor(TCursorKind::SizeNS);
        else
            SetCursor(TCursorKind::SizeWE);
    }
    if (dock.Sliding || dock.SlidOut)
        return;

    const bool noButton = !k.Left && !k.Right && !k.Middle;
    const bool noModifier = !k.Shift && !k.Ctrl && !k.Alt;
    if (noButton && noModifier)
        UpdatePointerZones(ev.Pos, k);
    const QSize client = FHost.ClientSize();
    HoverCell = layout.CellAtPoint(ev.Pos, client);
    DragPoint = layout.WindowToBitmap(ev.Pos, client);
    Rubber.TargetPos = { float(DragPoint.x()), float(DragPoint.y()) };

    if (settings.ZoomSize >= 1 && !Dragging && IsCell(HoverCell) && !k.Left && !k.Ctrl && !layout.OnBorder)
        FHost.ShowHoverLayer(HoverCell, DragPoint);
    else if (FHost.FloatLayerVisible() && !Dragging && layout.OnSwitcher)
        FHost.HideFloatLayer();

    if (k.Left && !k.Ctrl) {
        SetCursor(layout.Switcher.Down && IsCell(HoverCell) ? CursorKindOf(layout.Switcher.DragCursor)
                                                            : TCursorKind::Default);
    }

    if (settings.MoveResize && !Dragging && k.Left) {
        const bool switcherDraggedOut = layout.Switcher.Down && HoverCell == -1 && !InsideControl(ev.Pos);
        const QPoint travel = ev.Pos - DownPoint;
        const bool ctrlDraggedFar
            = k.Ctrl && std::max(std::abs(travel.x()), std::abs(travel.y())) > KMoveThreshold;
        if (switcherDraggedOut || ctrlDraggedFar) {
            StartWindowMove();
            return;
        }
    }

    if (IsCell(PressedCell) && k.Left && !k.Ctrl && HoverCell != PressedCell && !Dragging
        && !settings.LockIcons && settings.ShowMenu && CurButton >= 0 && CurButton < FHost.Buttons().size()
        && FHost.ButtonImage(CurButton).PixelCount() > 1) {
        Dragging = true;
        FHost.DoClick(KCueGlick);
        DragSource = CurButton;
        FHost.SetHintPause(KDragHintPause);
        DoSwap();
    }

    if (Dragging) {
        if (HoverCell == -1)
            SetCursor(k.CapsLockOn ? TCursorKind::Invisible : TCursorKind::Refuse);
        else if (HoverCell == KSwitcherCell)
            SetCursor(CursorKindOf(layout.Switcher.DragCursor));
        else
            SetCursor(k.Shift ? TCursorKind::MultiDrag : TCursorKind::Default);
    }

    if (HoverCell != LastHoverCell && !layout.OnBorder && !k.Ctrl) {
        LastHoverCell = HoverCell;
        FHost.RestartHintTimer(HoverCell >= 0);
        FHost.HideHint();
        const bool down = layout.Switcher.Down && layout.OnSwitcher && k.Left;
        ButtonDown = down;
        layout.Switcher.Down = down;
        if (!Dragging && !dock.Sliding)
            FHost.DrawBank();
    }
}

void TPointerInput::StartWindowMove()
{
    FHost.ReleaseCapture();
    FHost.StopDockTimers();
    ButtonDown = false;
    FHost.DoClick(KCueGlick);
    MovingWindow = true;
    FMoveLoop = TMoveLoop::Move;
    FHost.StartWindowMove(DownPoint);
}

void TPointerInput::EndMoveLoop()
{
    const TMoveLoop loop = std::exchange(FMoveLoop, TMoveLoop::None);
    FHost.EndMoveLoop();
    FHost.RestartDockTimers();
    if (loop == TMoveLoop::Move) {
        MovingWindow = false;
        FContext.Layout.Switcher.Down = false;
        FHost.DoClick(KCueUp);
    }
}

void TPointerInput::MouseUp(const TPointerEvent& ev)
{
    if (FMoveLoop != TMoveLoop::None) {
        if (ev.Button == Qt::LeftButton)
            EndMoveLoop();
        return;
    }
    TLayout& layout = FContext.Layout;
    TDocking& dock = FContext.Docking;
    const bool inside = InsideControl(ev.Pos);

    // Outside the bar the fly-back ends the drag. A release over the bar can come before the
    // tick that takes the icon back from the overlay; it must not be lost.
    if (FHost.OverlayVisible() && !inside)
        return;
    ButtonDown = false;
    layout.Switcher.Down = false;
    if (ev.Button == Qt::RightButton || dock.Sliding || (dock.SlidOut && FContext.Settings.AutoHide != 0))
        return;

    const int c = layout.CellAtPoint(ev.Pos, FHost.ClientSize());
    LastShift = ev.Keys;
    const bool left = ev.Button == Qt::LeftButton;

    if (left && !dock.SlidOut && !Dragging && HoverCell >= 0) {
        layout.OnBorder = false;
        if (c == PressedCell && layout.OnSwitcher) {
            FHost.SwitcherClick();
            return;
        }
        if (PressedCell == KSwitcherCell && inside && !FHost.PrefsVisible()) {
            dock.SlideEdge = SlideToSwitcher;
            FHost.DoSlide();
            FHost.DoClick(KCueSlideOut);
            return;
        }
    }

    if (Dragging) {
        EndDrag(c, inside, ev.Keys);
        return;
    }

    if (IsCell(c) || layout.OnSwitcher)
        FHost.ShowFloatLayer();
    FHost.DrawBank();
    if (left && c == PressedCell && IsCell(c)) {
        CurButton = AbsoluteIndex(c);
        FHost.LaunchButton(c, LastShift);
    }
}

void TPointerInput::DoubleClick(const TPointerEvent& ev)
{
    DblClickPending = true;
    MouseDown(ev);
}

void TPointerInput::MouseEnter(QPoint pos, const TShiftState& keys)
{
    if (FContext.Docking.SlidOut)
        return;
    UpdatePointerZones(pos, keys);
    LastHoverCell = -1;
}

void TPointerInput::MouseLeave(QPoint pos, const TShiftState& keys)
{
    if (FHost.Closing() || FContext.Docking.SlidOut || keys.Left || MovingWindow)
        return;
    FHost.HideHint();
    FHost.StopHintTimer();
    UpdatePointerZones(pos, keys);
    FContext.Layout.BorderEdge = EdgeNone;
    FHost.ResetHintColour();
    DblClickPending = false;
    HoverCell = -1;
    FHost.HideFloatLayer();
    FHost.DrawBank();
}

void TPointerInput::DoSwap()
{
    const TLayout& layout = FContext.Layout;
    const int source = DragSource;
    FHost.DetachClock(source);

    TBitmap32& image = FHost.ButtonImage(source);
    DragImage = image;
    PrepareForTurning(DragImage);
    DragRatio = layout.IconW > 0 ? double(DragImage.Width()) / layout.IconW : 1.0;

    TBitmap32 layer(layout.IconW, layout.IconH);
    PrepareForTurning(layer);
    layer.Draw(layer.BoundsRect(), DragImage.BoundsRect(), DragImage);
    const QPointF pivot(layout.IconW * 0.5, layout.IconH * 0.25);
    FHost.SetDragLayer(layer, pivot);

    image.SetSize(1, 1);
    image.Clear();
    TButtonList& buttons = FHost.Buttons();
    TempEntry = buttons[source];
    buttons[source] = TButtonEntry();
    FHost.DrawBank();

    if (DragImage.PixelCount() < 2)
        return;
    // Whatever the last drag left swinging starts from rest again.
    const TFloatPoint target = Rubber.TargetPos;
    Rubber = TRubberState();
    Rubber.TargetPos = target;
    const QRect r = layout.CalcRect(PressedCell);
    Rubber.LayerPos = { float(r.x() + pivot.x()), float(r.y() + pivot.y()) };
    FHost.PlaceDragLayer(QPointF(Rubber.LayerPos.X, Rubber.LayerPos.Y), 0);
    FHost.SetDragPriority(true);
    LastTime = FContext.Clock.TickCount();
    FHost.StartRubberTimer();
}

void TPointerInput::RubberTimer()
{
    if (!Dragging) {
        FHost.StopRubberTimer();
        return;
    }
    const qint64 now = FContext.Clock.TickCount();
    const double dt = RubberDt(now - LastTime, 1000);
    LastTime = now;

    const TDragKeys keys = FHost.DragKeys();
    const bool inForm = FHost.PointerInForm();
    if (!inForm && !keys.LeftButton && !Rubber.Landing) {
        FHost.SetControlEnabled(false);
        Rubber.Landing = true;
        FHost.ReleaseCapture();
        const TLayout& layout = FContext.Layout;
        const QRect r = layout.CalcRect(PressedCell);
        Rubber.TargetPos = { float(r.x() + layout.IconW / 2.0), float(r.y() + layout.IconH / 4.0) };
    }

    const TRubberResult result
        = RubberStep(Rubber, dt, inForm, { keys.Shift, keys.Grow, keys.Shrink, keys.ResetScale });
    ShowDrag(result.View);
    if (result.Landed)
        Landed();
}

void TPointerInput::ShowDrag(TRubberView view)
{
    const QPointF position(Rubber.LayerPos.X, Rubber.LayerPos.Y);
    if (view == TRubberView::Layer) {
        FHost.PlaceDragLayer(position, -Rubber.Angle);
        FHost.HideOverlay();
        FHost.RepaintControl();
    } else {
        FHost.ShowOverlay(
            DragImage, DragRatio, FContext.Layout.Zoom + Rubber.ExtraScale, -Rubber.Angle, position);
        FHost.HideFloatLayer();
    }
}

void TPointerInput::Landed()
{
    FHost.SetDragPriority(false);
    FHost.StopRubberTimer();
    FHost.SetControlEnabled(true);
    if (DragSource >= 0)
        CopyPixels(FHost.ButtonImage(DragSource), DragImage);
    PressedCell = -1;
    FHost.DrawBank();
    FHost.HideOverlay();

    TPointerEvent up;
    up.Pos = QPoint(-1, -1);
    up.Button = Qt::LeftButton;
    MouseUp(up);
    if (!FHost.PointerInForm())
        FHost.DrawBank();
}

void TPointerInput::EndDrag(int cell, bool inside, const TShiftState& keys)
{
    Dragging = false;
    FHost.StopRubberTimer();
    FHost.HideOverlay();
    FHost.SetControlEnabled(true);
    SetCursor(TCursorKind::Default);
    FHost.SetHintPause(KHintPause);
    // A drag can end while its icon is still flying back (Escape); nothing of it may carry over
    // into the next one.
    Rubber.ExtraScale = 0;
    Rubber.SavedScale = 0;
    Rubber.Landing = false;
    FHost.SetDragPriority(false);

    TButtonList& buttons = FHost.Buttons();
    const int source = DragSource;
    buttons[source] = TempEntry;
    CopyPixels(FHost.ButtonImage(source), DragImage);
    FHost.ResetFloatLayer();

    if (inside && IsCell(cell)) {
        const int target = AbsoluteIndex(cell);
        CurButton = target;
        DragTarget = target;
        if (target != source && target < buttons.size()) {
            FHost.SetModified();
            if (keys.Shift) {
                CopyPixels(FHost.ButtonImage(target), FHost.ButtonImage(source));
            } else {
                std::swap(buttons[source], buttons[target]);
                FHost.ButtonImage(source).SwapPixels(FHost.ButtonImage(target));
                FHost.SoundButtonsSwapped(source, target);
            }
        }
    }
    FHost.ScanSpecialPositions();
    if (FHost.PointerInForm())
        FHost.DrawBank(KCueUp);
    else
        FHost.DoClick(KCueUp);
}

void TPointerInput::CancelDrag()
{
    if (!Dragging)
        return;
    // As a release outside the bar: a release at a point of the bar would drop the icon on
    // whatever cell lies there.
    FHost.HideOverlay();
    TPointerEvent up;
    up.Pos = QPoint(-1, -1);
    up.Button = Qt::LeftButton;
    MouseUp(up);
    FHost.ReleaseCapture();
    PressedCell = -1;
    FHost.DrawBank();
}

void TPointerInput::OverlayWheel(int notches)
{
    if (!Dragging)
        return;
    Rubber.ExtraScale = LimitExtraScale(Rubber.ExtraScale + notches * KExtraScaleStep);
}

} // namespace qb
