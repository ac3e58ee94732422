#pragma once

#include "platform/IClock.h"

namespace qb {

// A clock that moves only when told to.
class FakeClock final : public IClock {
public:
    explicit FakeClock(qint64 tick = 100000, QDateTime now = QDateTime(QDate(2026, 1, 5), QTime(12, 0)))
        : FTick(tick)
        , FNow(std::move(now))
    {
    }

    qint64 TickCount() const override { return FTick; }
    QDateTime Now() const override { return FNow; }

    void Advance(qint64 ms)
    {
        FTick += ms;
        FNow = FNow.addMSecs(ms);
    }
    void SetNow(const QDateTime& now) { FNow = now; }

private:
    qint64 FTick;
    QDateTime FNow;
};

} // namespace qb
