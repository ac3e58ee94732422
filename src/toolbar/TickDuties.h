#pragma once

namespace qb {

// What the one-second tick sees of the bar and the desktop.
struct TTickInput {
    bool PauseHeld = false; // the Pause key is held down
    bool SlidOut = false;
    bool PointerInForm = false;
    bool LeftButton = false;
    bool Foreground = false; // the bar's window has the focus
    bool ShowOnWinD = false;
    bool OnTop = false;
    bool DesktopShown = false; // the desktop was shown over all windows
    bool PointerOnSwitcher = false;
    bool ButtonDown = false; // a press on the bar is under way
    int IdleSeconds = 0;
    bool Dragging = false;
    int Banks = 1;
};

// What the bar does on this tick.
struct TTickActions {
    bool BringToFront = false;
    bool PlayGlick = false;
    bool SlideIn = false;
    bool NextPage = false; // a dragged button waits over the switcher
    // Ask the system to stay awake (true) or to return to normal (false); empty: no change.
    int KeepAwake = -1;
};

// The visibility duties of the one-second tick: the Pause key (held for two ticks) and the
// show-desktop command bring the bar forward and slide it in; resting the pointer on the
// switcher keeps the machine awake; a dragged button over the switcher flips the pages.
class TTickDuties {
public:
    TTickActions Tick(const TTickInput& input);

    int PauseCount = 0;
    bool KeepAwake = false;
};

} // namespace qb
