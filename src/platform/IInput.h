#pragma once

#include <QPoint>

namespace qb {

// The physical keys and buttons held right now (not as an event reported them). UI thread.
struct TInputState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    bool CapsLockOn = false;
    bool LeftButton = false;
    bool RightButton = false;
};

class IInput {
public:
    virtual ~IInput() = default;
    virtual TInputState State() const = 0;
    virtual QPoint PointerPos() const = 0;
    // Whether a key (a Qt::Key) is held down right now, whichever window has the focus.
    virtual bool KeyHeld(int key) const = 0;
    // Types Ctrl+V into the focused window.
    virtual void SendPasteChord() = 0;
};

} // namespace qb
