#pragma once

#include "toolbar/PointerInput.h"

#include <QPoint>

namespace qb {

// A key press the bar's window saw.
struct TKeyEvent {
    int Key = 0; // Qt::Key
    bool Keypad = false; // from the numeric keypad
    TShiftState Keys; // a modifier key counts as held by its own press
};

// The keys the bar sees while it has the focus, and the mouse wheel over it. UI thread.
class TKeyInput {
public:
    TKeyInput(const TInputContext& context, TPointerInput& pointer);

    void FormKeyDown(const TKeyEvent& event);
    void FormKeyUp(QPoint pointerPos, const TShiftState& keys);
    // `angleDelta`: eighths of a degree, positive away from the user (one notch is 120).
    // Returns whether the wheel was taken.
    bool FormMouseWheel(int angleDelta, const TShiftState& keys);

private:
    int WheelNotches(int angleDelta);

    TInputContext FContext;
    IPointerHost& FHost;
    TPointerInput& FPointer;
    int FWheelRest = 0; // what high-resolution wheels sent short of a notch
};

} // namespace qb
