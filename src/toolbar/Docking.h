#pragma once

#include "platform/IClock.h"
#include "storage/Settings.h"
#include "toolbar/Layout.h"

#include <QRect>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <span>
#include <vector>

namespace qb {

// How the bar slides: towards the top, right, bottom or left edge, or collapsing to its switcher.
enum TSlideEdge {
    SlideNone = 0,
    SlideTop = 1,
    SlideRight = 2,
    SlideBottom = 3,
    SlideLeft = 4,
    SlideToSwitcher = 5
};

// Share of the bar still shown `remaining` ms before the end of a slide of `slideSpeed` ms: it
// eases out with tanh(3u^4), u = remaining / slideSpeed.
double SlideRatio(qint64 remaining, int slideSpeed, bool slidingIn);
// The window while a slide shows share `ratio` of `slideRect`, `visible` pixels at least.
QRect SlideBounds(int edge, int switcherPosition, const QRect& slideRect, int visible, double ratio);

// Everything a slide needs to know about the bar when it starts.
struct TSlideSetup {
    QRect Window; // screen rectangle of the bar now
    int SwitcherPosition = SwLeft;
    int SwitcherZoomWidth = 0; // the switcher strip in window pixels
    int SwitcherZoomHeight = 0;
    int HiddenSize = 1;
    int SlideSpeed = 750;
    bool PrefsShown = false; // nothing slides while the preferences dialog is open
    std::vector<TMonitor> Monitors;
};

// One step of a running slide.
struct TSlideFrame {
    QRect Bounds; // where the window is to be
    bool Move = false; // Bounds differ from the last step
    bool Finished = false; // the slide is over; SlidOut holds the new state
};

// Which timers run after a restart.
struct TTimerStates {
    bool AutoHide = false; // every 200 ms
    bool Opacity = false; // every 50 ms
};

// What the auto-hide tick sees.
struct TAutoHideInput {
    int AutoHide = 0;
    bool StartMini = false;
    bool PointerInDisplay = false; // inside the bar's picture
    bool PointerInForm = false; // inside the window's bounds
    bool OnCorner = false; // on a resize corner
    bool PrefsVisible = false;
    bool Dragging = false;
    QRect Window; // screen rectangle of the bar
    QRect WorkArea; // of the bar's monitor
    int SwitcherPosition = SwLeft;
};

enum class TAutoHideAction { None, SlideOut, SlideIn };

// What the auto-opacity tick sees.
struct TOpacityInput {
    int AutoOpaque = 0;
    int Opacity = 255;
    bool PointerInForm = false;
    bool Focused = false;
};

enum class TSwitcherAction { Close, NextPage, Slide };

// What a click on the switcher does.
struct TSwitcherClickInput {
    QString Caption;
    int Banks = 1;
    bool Sliding = false;
    bool RightButton = false;
    bool F1Held = false;
    int SwitcherPosition = SwLeft;
    bool Dragging = false;
};
TSwitcherAction SwitcherClickAction(const TSwitcherClickInput& input);
// The page after `page`, wrapping round.
int NextPage(int page, int banks);

// Docking, auto-hide, sliding and auto-opacity of the bar, without the window: the bar feeds it
// ticks and what it sees, and moves itself to the bounds it is given. Time comes from the clock.
class TDocking {
public:
    explicit TDocking(const IClock& clock);

    bool SlidOut = false;
    bool Sliding = false;
    int SlideEdge = SlideNone;
    QRect SlideRect; // the bar's screen rectangle when the last slide-out started
    bool AutoHideArmed = false;
    std::optional<qint64> LastSlideTick; // empty: long ago
    std::optional<qint64> IdleStart; // empty: not waiting to fade
    int CurAlpha = 255;

    // The re-arm after menus, moves, keys and slides.
    TTimerStates RestartTimers(const TSettings& settings);

    // Starts sliding out (when in) or in (when out) with SlideEdge. False when nothing slides;
    // otherwise SlideStep gives the window's bounds until it reports the end.
    bool StartSlide(const TSlideSetup& setup);
    TSlideFrame SlideStep();
    // How the bar's picture lies in the window while it slides or is slid out: against the
    // side that stays visible. Zero while the picture fills the window.
    Qt::Alignment SlideAlignment() const;

    // The 200 ms auto-hide tick. Sets SlideEdge for a slide-out; the caller then starts it.
    TAutoHideAction AutoHideTick(const TAutoHideInput& input);
    // The 50 ms auto-opacity tick: the new window opacity, or nothing when it stays.
    std::optional<int> OpacityTick(const TOpacityInput& input);

    // Typing postpones hiding.
    void KeyPressed() { AutoHideArmed = false; }

private:
    qint64 Elapsed(const std::optional<qint64>& since) const;
    QRect EndBounds() const;
    QRect Visible(const QRect& bounds) const;

    const IClock& FClock;
    bool FOut = false; // the running slide goes out
    int FPosition = SwLeft; // switcher position of the running slide
    int FVisible = 1; // pixels left visible
    int FSpeed = 0;
    qint64 FEnd = 0;
    int FLastSum = -1; // w + h of the last step
    QRect FLastBounds;
    std::vector<TMonitor> FMonitors;
};

} // namespace qb
