#include "platform/linux/LinuxClock.h"

namespace qb {

LinuxClock::LinuxClock()
{
    FStart.start();
}

qint64 LinuxClock::TickCount() const
{
    return FStart.elapsed();
}

QDateTime LinuxClock::Now() const
{
    return QDateTime::currentDateTime();
}

} // namespace qb
