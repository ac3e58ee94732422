#include "toolbar/Monitors.h"

#include <QGuiApplication>
#include <QScreen>

namespace qb {

QList<TMonitor> CurrentMonitors()
{
    QList<TMonitor> monitors;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        monitors.append({ primary->geometry(), primary->availableGeometry() });
    const auto screens = QGuiApplication::screens();
    for (QScreen* screen : screens)
        if (screen != primary)
            monitors.append({ screen->geometry(), screen->availableGeometry() });
    return monitors;
}

} // namespace qb
