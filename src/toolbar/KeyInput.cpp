#include "toolbar/KeyInput.h"

#include <algorithm>
#include <cstdlib>

namespace qb {

namespace {

constexpr int KNotch = 120;

// One step towards `limit`, never past it and never away from it.
int StepUpTo(int value, int step, int limit)
{
    return value < limit ? std::min(value + step, limit) : value;
}
int StepDownTo(int value, int step, int limit)
{
    return value > limit ? std::max(value - step, limit) : value;
}

bool IsArrow(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

} // namespace

TKeyInput::TKeyInput(const TInputContext& context, TPointerInput& pointer)
    : FContext(context)
    , FHost(context.Host)
    , FPointer(pointer)
{
}

void TKeyInput::FormKeyDown(const TKeyEvent& ev)
{
    TLayout& layout = FContext.Layout;
    TSettings& settings = FContext.Settings;
    const TShiftState& k = ev.Keys;

    FContext.Docking.KeyPressed();
    if (k.Ctrl && layout.OnBorder)
        return;

    if (k.Ctrl && IsArrow(ev.Key)) {
        const int step = k.Shift ? 10 : 1;
        const QRect area = FHost.PrimaryWorkArea();
        const QSize window = layout.WindowSize();
        switch (ev.Key) {
        case Qt::Key_Left:
            layout.PosRight = StepUpTo(layout.PosRight, step, area.width() - window.width());
            break;
        case Qt::Key_Right:
            layout.PosRight = StepDownTo(layout.PosRight, step, 0);
            break;
        case Qt::Key_Up:
            layout.PosTop = StepDownTo(layout.PosTop, step, 0);
            break;
        default:
            layout.PosTop = StepUpTo(layout.PosTop, step, area.height() - window.height());
            break;
        }
        if (layout.PosTop != layout.PlacedPos.Top || layout.PosRight != layout.PlacedPos.Right) {
            FHost.SetModified();
            FHost.PlaceWindow();
        }
        return;
    }

    if (k.Ctrl && FHost.PointerInForm() && !layout.OnBorder && settings.MoveResize && !FPointer.Dragging
        && FPointer.Cursor() != TCursorKind::Move) {
        FPointer.SetCursor(TCursorKind::Move);
        FPointer.HoverCell = -1;
        FPointer.LastHoverCell = -1;
        FHost.HideFloatLayer();
        FHost.DrawBank();
        return;
    }

    if (!ev.Keypad && ev.Key >= Qt::Key_1 && ev.Key <= Qt::Key_8) {
        const int page = ev.Key - Qt::Key_1;
        if (page != FHost.CurPage() && page < settings.Banks) {
            // The switcher's click moves on to the page after the one set here.
            FHost.SetCurPage(page - 1);
            FHost.SwitcherClick();
            return;
        }
    }

    if (ev.Key == Qt::Key_Escape) {
        FHost.CancelMenu();
        if (!FPointer.Dragging) {
            FHost.StopButtonSounds();
            FHost.DrawBank();
        } else {
            FPointer.CancelDrag();
        }
        return;
    }

    const bool picking = settings.AltToDye && k.Alt;
    TCursorKind cursor = TCursorKind::Default;
    if (!picking) {
        const int cell = FPointer.HoverCell;
        if (FPointer.IsCell(cell)) {
            const int index = FPointer.AbsoluteIndex(cell);
            const TButtonList& buttons = FHost.Buttons();
            if (index < buttons.size() && !buttons[index].IsEmpty()) {
                FPointer.CurButton = index;
                if (ev.Key == Qt::Key_Return || ev.Key == Qt::Key_Enter)
                    FHost.MenuClick(QStringLiteral("Edit"));
                else if (ev.Key == Qt::Key_Delete)
                    FHost.MenuClick(QStringLiteral("Delete"));
                return;
            }
        }
    } else {
        const int page = FHost.CurPage();
        if (page >= 0 && page < KPageColours) {
            // Page colours are opaque; a translucent bar pixel must not make the page see-through.
            settings.SkinColor[size_t(page)] = FHost.ColourUnderPointer() | 0xFF000000u;
            FHost.DrawBank();
        }
        cursor = TCursorKind::Cross;
    }
    FPointer.SetCursor(cursor);
    FHost.NudgePointer();
}

void TKeyInput::FormKeyUp(QPoint pointerPos, const TShiftState& keys)
{
    FPointer.UpdatePointerZones(pointerPos, keys);
    FHost.NudgePointer();
    FHost.RestartDockTimers();
}

int TKeyInput::WheelNotches(int angleDelta)
{
    FWheelRest += angleDelta;
    const int notches = FWheelRest / KNotch;
    FWheelRest -= notches * KNotch;
    return notches;
}

bool TKeyInput::FormMouseWheel(int angleDelta, const TShiftState&)
{
    const bool inForm = FHost.PointerInForm();
    // Outside the bar a dragged icon is in the overlay, which leaves the wheel to the bar: it
    // scales the icon there.
    if (FPointer.Dragging && !inForm) {
        FPointer.OverlayWheel(WheelNotches(angleDelta));
        return true;
    }
    const TSettings& settings = FContext.Settings;
    if (!inForm || !settings.UseWheel || settings.Banks <= 1)
        return false;
    const int notches = WheelNotches(angleDelta);
    for (int i = 0; i < std::abs(notches); ++i) {
        if (notches > 0)
            FHost.SetCurPage(FHost.CurPage() - 2); // the switcher's click adds one
        FHost.SwitcherClick();
    }
    FHost.HideHint();
    FHost.NudgePointer();
    return true;
}

} // namespace qb
