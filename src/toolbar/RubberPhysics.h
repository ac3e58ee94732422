#pragma once

#include <QtGlobal>

namespace qb {

// A point of the drag animation in bitmap pixels. The animation keeps single precision so that
// its course matches the one the bar has always shown.
struct TFloatPoint {
    float X = 0;
    float Y = 0;
    bool operator==(const TFloatPoint&) const = default;
};

// The dragged icon hangs from a spring at the pointer and swings like a pendulum.
struct TRubberState {
    TFloatPoint TargetPos; // where the spring pulls the icon's pivot
    TFloatPoint Vel; // per tick
    TFloatPoint LayerPos; // where the pivot is
    double Angle = 0; // swing, degrees; the icon is shown turned by -Angle
    double RotVel = 0; // degrees per second
    double ExtraScale = 0; // added to the zoom while the icon is outside the bar
    double SavedScale = 0; // ExtraScale while the icon is over the bar
    bool Landing = false; // flying back to its cell
};

// What the user holds during a tick.
struct TRubberKeys {
    bool Shift = false; // keeps the icon upright
    bool Grow = false; // forward mouse button or Up
    bool Shrink = false; // back mouse button or Down
    bool ResetScale = false; // Space
};

// Where the icon is shown after a tick: on the bar's own layer, or in the overlay window.
enum class TRubberView { Layer, Overlay };

struct TRubberResult {
    TRubberView View = TRubberView::Layer;
    bool Landed = false; // the fly-back reached its cell
};

// The animation's time step from the counter: `elapsed` counts at `frequency` per second (a
// frequency of 0 or less counts milliseconds). A stall of more than 0.1 s counts as one 16 ms
// frame and a step of no time as 1 ms, so the swing neither jumps nor stands still; the result
// is doubled, which sets the swing's pace.
double RubberDt(qint64 elapsed, qint64 frequency);

// The step of ExtraScale per wheel notch or held key, and its limits while it is not zero.
inline constexpr double KExtraScaleStep = 0.25;
double LimitExtraScale(double extraScale);

// One tick of the animation with a time step `dt` from RubberDt. Moves the icon towards
// TargetPos, swings it, shrinks a landing icon back, parks or takes up ExtraScale depending on
// whether the pointer is inside the bar's window, and applies the scale keys. A completed
// landing clears Landing and SavedScale.
TRubberResult RubberStep(TRubberState& state, double dt, bool pointerInForm, const TRubberKeys& keys);

} // namespace qb
