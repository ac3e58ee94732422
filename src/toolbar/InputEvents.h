#pragma once

#include "toolbar/KeyInput.h"
#include "toolbar/PointerInput.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace qb {

// Qt's events as the input handlers take them. Caps Lock is not part of Qt's events: the
// caller reads it (IInput::State().CapsLockOn).
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool capsLockOn);
TPointerEvent PointerEventOf(const QMouseEvent& event, bool capsLockOn);
// `buttons`: the mouse buttons held (QGuiApplication::mouseButtons()).
TKeyEvent KeyEventOf(const QKeyEvent& event, Qt::MouseButtons buttons, bool capsLockOn);
// Forward and back mouse buttons, as a drag scales its icon with them.
inline bool IsGrowButton(Qt::MouseButtons buttons)
{
    return buttons.testFlag(Qt::ForwardButton);
}
inline bool IsShrinkButton(Qt::MouseButtons buttons)
{
    return buttons.testFlag(Qt::BackButton);
}

} // namespace qb
