#pragma once

#include <QDBusConnection>
#include <QDBusMessage>

namespace qb {

// Sends a method call without waiting for its answer; an error answer (or a connection that
// is not there) is written to the debug output under `what`.
void SendWithoutWaiting(QDBusConnection& bus, const QDBusMessage& call, const char* what);

// Whether a service name has an owner on the bus.
bool HasService(QDBusConnection& bus, const QString& name);

} // namespace qb
