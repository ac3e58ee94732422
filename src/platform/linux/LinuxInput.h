#pragma once

#include "platform/IInput.h"

namespace qb {

// Keys, buttons and pointer as the X server sees them right now; synthetic key presses
// through the XTEST extension. Without an X11 display the state is Qt's last known one and
// nothing is typed. UI thread.
class LinuxInput final : public IInput {
public:
    TInputState State() const override;
    QPoint PointerPos() const override;
    bool KeyHeld(int key) const override;
    // Releases Shift, Alt and the logo keys the user still holds (they would turn the chord
    // into another one), then types Ctrl+V into the window that has the focus.
    void SendPasteChord() override;
};

} // namespace qb
