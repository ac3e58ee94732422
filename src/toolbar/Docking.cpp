#include "toolbar/Docking.h"

#include "raster/Round.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace qb {

double SlideRatio(qint64 remaining, int slideSpeed, bool slidingIn)
{
    const double u = slideSpeed > 0 ? double(remaining) / slideSpeed : 0.0;
    const double r = std::tanh(3 * std::pow(u, 4));
    return slidingIn ? 1 - r : r;
}

QRect SlideBounds(int edge, int switcherPosition, const QRect& slideRect, int visible, double ratio)
{
    // A remainder larger than the bar would make it grow while it slides out.
    const int aw = std::clamp(visible, 1, std::max(1, slideRect.width()));
    const int ah = std::clamp(visible, 1, std::max(1, slideRect.height()));
    const int w = RoundHalfEven(ratio * (slideRect.width() - aw)) + aw;
    const int h = RoundHalfEven(ratio * (slideRect.height() - ah)) + ah;
    const int left = slideRect.x();
    const int top = slideRect.y();
    switch (edge) {
    case SlideTop:
        return QRect(left, top, slideRect.width(), h);
    case SlideRight:
        return QRect(OuterRight(slideRect) - w, top, w, slideRect.height());
    case SlideBottom:
        return QRect(left, OuterBottom(slideRect) - h, slideRect.width(), h);
    case SlideLeft:
        return QRect(left, top, w, slideRect.height());
    case SlideToSwitcher:
        // The bar shrinks away from its switcher, which stays in view at the far end.
        if (switcherPosition == SwLeft)
            return QRect(OuterRight(slideRect) - w, top, w, slideRect.height());
        if (switcherPosition == SwRight)
            return QRect(left, top, w, slideRect.height());
        if (switcherPosition == SwTop)
            return QRect(left, OuterBottom(slideRect) - h, slideRect.width(), h);
        if (switcherPosition == SwBottom)
            return QRect(left, top, slideRect.width(), h);
        return slideRect;
    default:
        return slideRect;
    }
}

TSwitcherAction SwitcherClickAction(const TSwitcherClickInput& input)
{
    if (input.Caption == QStringLiteral("¤"))
        return TSwitcherAction::Close;
    if (((input.Banks != 1 || input.Sliding) && !input.RightButton) || input.F1Held
        || input.SwitcherPosition == SwNone || input.Dragging)
        return TSwitcherAction::NextPage;
    return TSwitcherAction::Slide;
}

int NextPage(int page, int banks)
{
    const int count = std::max(1, banks);
    const int next = page + 1;
    if (next >= count)
        return 0;
    if (next < 0)
        return count - 1;
    return next;
}

TDocking::TDocking(const IClock& clock)
    : FClock(clock)
{
}

qint64 TDocking::Elapsed(const std::optional<qint64>& since) const
{
    return since ? FClock.TickCount() - *since : std::numeric_limits<qint64>::max();
}

TTimerStates TDocking::RestartTimers(const TSettings& settings)
{
    AutoHideArmed = false;
    IdleStart = FClock.TickCount();
    return { settings.AutoHide != 0, settings.AutoOpaque != 0 && settings.Opacity < 255 };
}

bool TDocking::StartSlide(const TSlideSetup& setup)
{
    if (Sliding)
        return false;
    if (setup.PrefsShown) {
        LastSlideTick = FClock.TickCount();
        return false;
    }
    if (setup.HiddenSize < 1)
        SlideEdge = SlideToSwitcher;
    // Without a switcher there is nothing to collapse to, and an edge that is none of the five
    // cannot be slid to.
    if (SlideEdge < SlideTop || SlideEdge > SlideToSwitcher
        || (SlideEdge == SlideToSwitcher && setup.SwitcherPosition == SwNone)) {
        LastSlideTick = FClock.TickCount();
        return false;
    }
    FVisible = SlideEdge == SlideToSwitcher ? std::min(setup.SwitcherZoomWidth, setup.SwitcherZoomHeight)
                                            : setup.HiddenSize;
    FOut = !SlidOut;
    if (FOut)
        SlideRect = setup.Window;
    FPosition = setup.SwitcherPosition;
    FSpeed = setup.SlideSpeed;
    FEnd = FClock.TickCount() + std::max(0, FSpeed);
    FLastSum = -1;
    FLastBounds = FOut ? SlideRect : SlideBounds(SlideEdge, FPosition, SlideRect, FVisible, 0);
    FMonitors = setup.Monitors;
    Sliding = true;
    return true;
}

QRect TDocking::EndBounds() const
{
    if (!FOut)
        return SlideRect;
    const QRect& r = SlideRect;
    const int aw = std::clamp(FVisible, 1, std::max(1, r.width()));
    const int ah = std::clamp(FVisible, 1, std::max(1, r.height()));
    switch (SlideEdge) {
    case SlideTop:
        return QRect(r.x(), r.y(), r.width(), ah);
    case SlideRight:
        return QRect(OuterRight(r) - aw, r.y(), aw, r.height());
    case SlideBottom:
        return QRect(r.x(), OuterBottom(r) - ah, r.width(), ah);
    case SlideLeft:
        return QRect(r.x(), r.y(), aw, r.height());
    default:
        // Collapsed to the switcher, whether or not the animation got there.
        return SlideBounds(SlideEdge, FPosition, r, FVisible, 0);
    }
}

QRect TDocking::Visible(const QRect& bounds) const
{
    const int monitor = NearestMonitor(bounds, FMonitors);
    return monitor >= 0 ? MakeFullyVisible(bounds, FMonitors[monitor].Geometry) : bounds;
}

TSlideFrame TDocking::SlideStep()
{
    TSlideFrame frame;
    if (!Sliding) {
        frame.Bounds = FLastBounds;
        frame.Finished = true;
        return frame;
    }
    const qint64 now = FClock.TickCount();
    if (FSpeed <= 10 || now >= FEnd) {
        frame.Bounds = Visible(EndBounds());
        frame.Move = true;
        frame.Finished = true;
        FLastBounds = frame.Bounds;
        SlidOut = FOut;
        Sliding = false;
        LastSlideTick = now;
        return frame;
    }
    const double ratio = SlideRatio(FEnd - now, FSpeed, !FOut);
    frame.Bounds = SlideBounds(SlideEdge, FPosition, SlideRect, FVisible, ratio);
    const int sum = frame.Bounds.width() + frame.Bounds.height();
    if (sum != FLastSum) {
        frame.Move = true;
        FLastSum = sum;
        FLastBounds = frame.Bounds;
    } else {
        frame.Bounds = FLastBounds;
    }
    return frame;
}

Qt::Alignment TDocking::SlideAlignment() const
{
    if (!Sliding && !SlidOut)
        return {};
    switch (SlideEdge) {
    case SlideTop:
        return Qt::AlignBottom;
    case SlideRight:
        return Qt::AlignLeft;
    case SlideBottom:
        return Qt::AlignTop;
    case SlideLeft:
        return Qt::AlignRight;
    case SlideToSwitcher:
        switch (FPosition) {
        case SwLeft:
            return Qt::AlignLeft;
        case SwRight:
            return Qt::AlignRight;
        case SwTop:
            return Qt::AlignTop;
        case SwBottom:
            return Qt::AlignBottom;
        default:
            return {};
        }
    default:
        return {};
    }
}

TAutoHideAction TDocking::AutoHideTick(const TAutoHideInput& input)
{
    TAutoHideAction action = TAutoHideAction::None;
    const qint64 now = FClock.TickCount();
    if ((input.AutoHide != 0 && !input.PointerInDisplay) || input.StartMini) {
        if (!AutoHideArmed || input.PrefsVisible || input.Dragging) {
            AutoHideArmed = true;
            LastSlideTick = now;
        }
        if (!SlidOut && !Sliding && std::abs(qint64(input.AutoHide)) < Elapsed(LastSlideTick)) {
            const QRect& w = input.Window;
            const QRect& area = input.WorkArea;
            int edge = SlideNone;
            if (w.y() == area.y())
                edge = SlideTop;
            if (OuterBottom(w) == OuterBottom(area))
                edge = SlideBottom;
            if (input.AutoHide < 0 || edge == SlideNone) {
                if (OuterRight(w) == OuterRight(area))
                    edge = SlideRight;
                if (w.x() == area.x())
                    edge = SlideLeft;
            }
            if (edge == SlideNone && input.SwitcherPosition != SwNone)
                edge = SlideToSwitcher;
            if (edge != SlideNone) {
                SlideEdge = edge;
                action = TAutoHideAction::SlideOut;
            }
        }
    }
    if (input.PointerInForm || input.OnCorner) {
        if (AutoHideArmed) {
            AutoHideArmed = false;
            LastSlideTick = now;
        }
        if (SlidOut && !Sliding && action == TAutoHideAction::None)
            action = TAutoHideAction::SlideIn;
    }
    return action;
}

std::optional<int> TDocking::OpacityTick(const TOpacityInput& input)
{
    const int before = CurAlpha;
    const bool fade
        = (input.AutoOpaque > 0 && !input.PointerInForm) || (input.AutoOpaque < 0 && !input.Focused);
    const bool restore
        = (input.AutoOpaque > 0 && input.PointerInForm) || (input.AutoOpaque < 0 && input.Focused);
    if (fade) {
        if (CurAlpha == 255 && !IdleStart)
            IdleStart = FClock.TickCount();
        if (std::abs(qint64(input.AutoOpaque)) < Elapsed(IdleStart) && input.Opacity < CurAlpha)
            CurAlpha = std::max(CurAlpha - 8, 25);
    }
    if (restore) {
        if (CurAlpha < 255)
            CurAlpha = std::min(CurAlpha + 16, 255);
        IdleStart.reset();
    }
    if (CurAlpha != before)
        return CurAlpha;
    return std::nullopt;
}

} // namespace qb
