#include "support/Wait.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace qb::test {

bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    if (done())
        return true;
    QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    poll.start(5);
    loop.exec();
    return done();
}

} // namespace qb::test
