#pragma once

#include <QDateTime>
#include <QtGlobal>

namespace qb {

// The one source of time. TickCount is a monotonic millisecond counter (it never jumps with the
// wall clock); Now is the local date and time. Every state machine takes its time from here so
// tests can step it. Implementations are used from the UI thread only.
class IClock {
public:
    virtual ~IClock() = default;
    virtual qint64 TickCount() const = 0;
    virtual QDateTime Now() const = 0;
};

} // namespace qb
