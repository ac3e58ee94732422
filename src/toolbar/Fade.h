#pragma once

#include <QtGlobal>

namespace qb {

// Window alpha while the bar fades in over `duration` ms towards `opacity`, with `remaining`
// ms left (the first activation).
int FadeInAlpha(int opacity, qint64 remaining, qint64 duration = 750);
// Window alpha while the bar fades out from `opacity` over `duration` ms (shutdown).
int FadeOutAlpha(int opacity, qint64 remaining, qint64 duration = 500);

} // namespace qb
