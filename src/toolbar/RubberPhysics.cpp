#include "toolbar/RubberPhysics.h"

#include "raster/Round.h"

#include <algorithm>
#include <cmath>

namespace qb {

namespace {

constexpr double KSpring = 0.16;
constexpr double KFriction = 0.42;
constexpr double KSwingThreshold = 4.2; // pixels of distance before the icon swings at all
constexpr double KSwingPerVel = 8.0; // aim per pixel of speed, less the extra scale (up to 6)
constexpr double KMaxScaleInSwing = 6.0;
constexpr int KMaxAim = 135;
constexpr double KAimPull = 4.2;
constexpr double KUprightPull = 6.4;
constexpr double KRotFriction = 0.96;
constexpr double KLandingDamp = 0.15;
constexpr double KScaleKeep = 0.876;
constexpr double KScaleTake = 0.124;
constexpr double KRest = 0.2;

} // namespace

double RubberDt(qint64 elapsed, qint64 frequency)
{
    const double perSecond = frequency > 0 ? double(frequency) : 1000.0;
    double dt = double(elapsed) / perSecond;
    if (dt > 0.1)
        dt = 0.016;
    if (dt <= 0)
        dt = 0.001;
    return dt * 2;
}

double LimitExtraScale(double extraScale)
{
    if (extraScale == 0)
        return 0;
    return std::clamp(extraScale, -0.75, 8.0);
}

TRubberResult RubberStep(TRubberState& s, double dt, bool pointerInForm, const TRubberKeys& keys)
{
    TRubberResult result;
    const double damp = s.Landing ? KLandingDamp : 0.0;

    const TFloatPoint d { s.TargetPos.X - s.LayerPos.X, s.TargetPos.Y - s.LayerPos.Y };
    s.Vel.X = float((s.Vel.X + KSpring * d.X) * KFriction);
    s.Vel.Y = float((s.Vel.Y + KSpring * d.Y) * KFriction);
    s.LayerPos.X += s.Vel.X;
    s.LayerPos.Y += s.Vel.Y;

    int aim = 0;
    if (std::abs(d.X) > KSwingThreshold) {
        aim = RoundHalfEven((KSwingPerVel - std::min(s.ExtraScale, KMaxScaleInSwing)) * s.Vel.X);
        aim = std::clamp(aim, -KMaxAim, KMaxAim);
    }
    const double acc = (aim - s.Angle) * KAimPull + (0 - s.Angle) * KUprightPull;
    s.RotVel = (acc * dt + s.RotVel) * (KRotFriction - damp);
    if (keys.Shift)
        s.Angle = 0;
    else
        s.Angle += s.RotVel * dt;

    if (s.Landing && s.ExtraScale != 0) {
        const double v = (std::abs(d.X) + std::abs(d.Y)) * 0.001;
        s.ExtraScale = s.ExtraScale * KScaleKeep + v * KScaleTake;
        if (v < 0.5 && s.ExtraScale < 0.05)
            s.ExtraScale = 0;
    }

    if (std::abs(s.RotVel) < KRest && std::abs(s.Angle) < KRest) {
        s.RotVel = 0;
        s.Angle = 0;
    }

    if (pointerInForm && !s.Landing) {
        if (s.ExtraScale != 0) {
            s.SavedScale = s.ExtraScale;
            s.ExtraScale = 0;
        }
        result.View = TRubberView::Layer;
    } else {
        // The parked scale is taken up once; keeping it parked would undo every key press.
        if (!s.Landing && s.SavedScale != 0) {
            s.ExtraScale = s.SavedScale;
            s.SavedScale = 0;
        }
        if (keys.Grow)
            s.ExtraScale += KExtraScaleStep;
        if (keys.Shrink)
            s.ExtraScale -= KExtraScaleStep;
        if (keys.ResetScale)
            s.ExtraScale = 0;
        s.ExtraScale = LimitExtraScale(s.ExtraScale);
        result.View = TRubberView::Overlay;
    }

    if (s.Landing && std::abs(d.X) < 1 && std::abs(d.Y) < 1 && std::abs(s.Vel.X) < 0.5f
        && std::abs(s.Vel.Y) < 0.5f) {
        result.Landed = true;
        s.SavedScale = 0;
        s.Landing = false;
    }
    return result;
}

} // namespace qb
