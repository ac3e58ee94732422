#pragma once

#include "platform/ISession.h"

class QSocketNotifier;

namespace qb {

// SIGTERM, SIGINT and SIGHUP, and the session manager's commit request, become EndRequested;
// logind's end of a sleep becomes Resumed. The signal handler only writes a byte into a socket
// pair; the UI thread reads it. One instance per process.
class LinuxSession final : public ISession {
    Q_OBJECT
public:
    explicit LinuxSession(QObject* parent = nullptr);
    ~LinuxSession() override;

    void SetHighPriority(bool high) override;

private Q_SLOTS:
    // logind's PrepareForSleep(start); QtDBus connects signals by name only.
    void OnPrepareForSleep(bool start);

private:
    QSocketNotifier* FNotifier = nullptr;
};

} // namespace qb
