#pragma once

#include "platform/IPower.h"

#include <QDBusConnection>
#include <QString>

namespace qb {

// Power commands through logind on the system bus. `forced` makes a command non-interactive:
// logind then refuses rather than asking for a password, and does not wait for programs
// beyond what its inhibitor rules allow. Log off without `forced` asks the desktop's session
// manager to end the session, so programs may still save or object; when no known session
// manager runs, and always with `forced`, logind ends the session. Calls do not wait for the
// answer; a refusal is written to the debug output. UI thread.
class LinuxPower final : public IPower {
public:
    explicit LinuxPower(QDBusConnection system = QDBusConnection::systemBus(),
        QDBusConnection session = QDBusConnection::sessionBus());

    void Reboot(bool forced) override;
    void PowerOff(bool forced) override;
    void Hibernate(bool forced) override;
    void Suspend(bool forced) override;
    void LogOff(bool forced) override;

private:
    void CallManager(const QString& method, bool forced);

    QDBusConnection FSystem;
    QDBusConnection FSession;
};

} // namespace qb
