#pragma once

#include "platform/IInput.h"

#include <QAbstractNativeEventFilter>
#include <QHash>

namespace qb {

// Keys, buttons and pointer as the X server sees them right now; synthetic key presses
// through the XTEST extension. Without an X11 display the state is Qt's last known one and
// nothing is typed. UI thread.
class LinuxInput final : public IInput, public QAbstractNativeEventFilter {
public:
    LinuxInput();
    ~LinuxInput() override;

    TInputState State() const override;
    QPoint PointerPos() const override;
    bool KeyHeld(int key) const override;
    // Releases Shift, Alt and the logo keys the user still holds (they would turn the chord
    // into another one), then types Ctrl+V into the window that has the focus.
    void SendPasteChord() override;

    // Forgets the key codes looked up so far when the keyboard mapping changes.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    // Key codes by Qt key, looked up once: fetching the keyboard mapping is a large round trip.
    mutable QHash<int, quint8> FKeycodes;
};

} // namespace qb
