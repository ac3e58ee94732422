#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace qb::test {

// A D-Bus daemon of the test's own, which no real service is on and which starts none; it
// stands in for the system and session buses. Ended with the object.
class TPrivateBus {
public:
    TPrivateBus();
    ~TPrivateBus();

    // The bus address; empty when the daemon could not be started.
    QString Address() const { return FAddress; }
    // A new connection to the bus under a name of the caller's choice.
    QDBusConnection Connect(const QString& name) const;

private:
    QTemporaryDir FDir;
    QProcess FDaemon;
    QString FAddress;
};

} // namespace qb::test
