#pragma once

#include "toolbar/Layout.h"

#include <QList>

namespace qb {

// The monitors as the desktop reports them now, the primary one first.
QList<TMonitor> CurrentMonitors();

} // namespace qb
