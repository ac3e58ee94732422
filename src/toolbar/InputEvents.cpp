#include "toolbar/InputEvents.h"

namespace qb {

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool capsLockOn)
{
    TShiftState s;
    s.Shift = modifiers.testFlag(Qt::ShiftModifier);
    s.Ctrl = modifiers.testFlag(Qt::ControlModifier);
    s.Alt = modifiers.testFlag(Qt::AltModifier);
    s.Left = buttons.testFlag(Qt::LeftButton);
    s.Right = buttons.testFlag(Qt::RightButton);
    s.Middle = buttons.testFlag(Qt::MiddleButton);
    s.CapsLockOn = capsLockOn;
    return s;
}

TPointerEvent PointerEventOf(const QMouseEvent& event, bool capsLockOn)
{
    TPointerEvent e;
    e.Pos = event.position().toPoint();
    e.ScreenPos = event.globalPosition().toPoint();
    e.Button = event.button();
    e.Keys = ShiftStateOf(event.modifiers(), event.buttons(), capsLockOn);
    return e;
}

TKeyEvent KeyEventOf(const QKeyEvent& event, Qt::MouseButtons buttons, bool capsLockOn)
{
    TKeyEvent e;
    e.Key = event.key();
    e.Keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    e.Keys = ShiftStateOf(event.modifiers(), buttons, capsLockOn);
    // A modifier key counts as held by its own press, whether or not the platform says so yet.
    e.Keys.Shift = e.Keys.Shift || e.Key == Qt::Key_Shift;
    e.Keys.Ctrl = e.Keys.Ctrl || e.Key == Qt::Key_Control;
    e.Keys.Alt = e.Keys.Alt || e.Key == Qt::Key_Alt;
    return e;
}

} // namespace qb
