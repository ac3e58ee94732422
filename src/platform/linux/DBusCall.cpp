#include "platform/linux/DBusCall.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>

namespace qb {

namespace {
Q_LOGGING_CATEGORY(lcDBus, "quillbar.dbus")
}

void SendWithoutWaiting(QDBusConnection& bus, const QDBusMessage& call, const char* what)
{
    if (!bus.isConnected()) {
        qCWarning(lcDBus) << what << "not sent: no bus";
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, what] {
        if (watcher->isError())
            qCWarning(lcDBus) << what << "refused:" << watcher->error().name() << watcher->error().message();
        watcher->deleteLater();
    });
}

bool HasService(QDBusConnection& bus, const QString& name)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QDBusReply<bool> reply = bus.interface()->isServiceRegistered(name);
    return reply.isValid() && reply.value();
}

} // namespace qb
