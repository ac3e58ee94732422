#pragma once

#include "platform/IDesktopWindows.h"

#include <QList>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

namespace qb {

// One monitor: its whole area and the part not taken by panels, in screen pixels.
struct TMonitorArea {
    QRect Geometry;
    QRect WorkArea;
    bool Primary = false;
};

// A button's window placement: the outer window rectangle wanted and how long after the bar
// lost the focus it is applied.
struct TWinPos {
    QRect Rect;
    int DelayMs = 1000;
};

// Reads "left,top,right,bottom[,delay]". Fields that are not numbers count as 0 (the delay
// as 1000); the delay is read only when there are exactly five fields. Empty with fewer than
// four fields.
std::optional<TWinPos> ParseWinPos(const QString& text);

// Runs `step` once, `ms` milliseconds from now, on the UI thread.
using TRunAfter = std::function<void(int ms, std::function<void()> step)>;

// Moves and sizes `window` to `wanted` (outer rectangle). A rectangle that lies on no monitor is
// centred on the primary work area, shrunk to fit it with a margin; one that covers the work
// area of the monitor it lands on maximises the window there instead. Sizing follows the move
// after 50 ms, so the window manager has settled the window on its new monitor first.
void ApplyPendingPlacement(IDesktopWindows& windows, const QList<TMonitorArea>& monitors, TWindowId window,
    QRect wanted, const TRunAfter& after);

} // namespace qb
