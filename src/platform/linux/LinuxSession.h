#pragma once

#include "platform/ISession.h"

class QSocketNotifier;

namespace qb {

// SIGTERM, SIGINT and SIGHUP, and the session manager's commit request, become EndRequested.
// The signal handler only writes a byte into a socket pair; the UI thread reads it. One
// instance per process.
class LinuxSession final : public ISession {
    Q_OBJECT
public:
    explicit LinuxSession(QObject* parent = nullptr);
    ~LinuxSession() override;

private:
    QSocketNotifier* FNotifier = nullptr;
};

} // namespace qb
