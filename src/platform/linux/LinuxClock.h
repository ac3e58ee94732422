#pragma once

#include "platform/IClock.h"

#include <QElapsedTimer>

namespace qb {

class LinuxClock final : public IClock {
public:
    LinuxClock();
    qint64 TickCount() const override;
    QDateTime Now() const override;

private:
    QElapsedTimer FStart;
};

} // namespace qb
