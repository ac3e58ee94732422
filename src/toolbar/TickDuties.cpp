#include "toolbar/TickDuties.h"

namespace qb {

namespace {

// Idle time after which a pointer resting on the switcher keeps the machine awake.
constexpr int KKeepAwakeIdleSeconds = 16;

} // namespace

TTickActions TTickDuties::Tick(const TTickInput& in)
{
    TTickActions act;

    const bool pauseWanted = in.PauseHeld || (in.SlidOut && in.PointerInForm && in.LeftButton);
    if (pauseWanted && (!in.Foreground || in.SlidOut)) {
        if (PauseCount == 0) {
            // The first tick only counts: a short tap of Pause does nothing.
            PauseCount = 1;
            return act;
        }
        act.BringToFront = true;
        act.PlayGlick = true;
        act.SlideIn = in.SlidOut;
        PauseCount = 0;
    } else {
        PauseCount = 0;
    }

    if (in.ShowOnWinD && !in.OnTop && in.DesktopShown) {
        act.BringToFront = true;
        act.SlideIn = act.SlideIn || in.SlidOut;
    }

    const bool stayAwake = in.PointerOnSwitcher && !in.ButtonDown && in.IdleSeconds >= KKeepAwakeIdleSeconds;
    if (stayAwake != KeepAwake) {
        KeepAwake = stayAwake;
        act.KeepAwake = stayAwake ? 1 : 0;
    }

    act.NextPage = in.Dragging && in.PointerOnSwitcher && in.Banks > 1;
    return act;
}

} // namespace qb
