#include "platform/linux/LinuxPower.h"

#include "platform/linux/DBusCall.h"

#include <QDBusMessage>

namespace qb {

namespace {

const QString KLogind = QStringLiteral("org.freedesktop.login1");

// Session managers that end a session the way the desktop's own log-out does, without a
// confirmation dialog, tried in this order.
struct TSessionManager {
    const char* Service;
    const char* Path;
    const char* Interface;
    const char* Method;
    QVariantList Args;
};

QList<TSessionManager> SessionManagers()
{
    return {
        // GNOME, MATE, Cinnamon: mode 1 = no confirmation.
        { "org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager", "Logout",
            { QVariant::fromValue(1u) } },
        { "org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown", "logout", {} },
        // Older Plasma: confirm = no, type = log out, mode = default.
        { "org.kde.ksmserver", "/KSMServer", "org.kde.KSMServerInterface", "logout", { 0, 0, 0 } },
        // Xfce: no dialog, let programs save.
        { "org.xfce.SessionManager", "/org/xfce/SessionManager", "org.xfce.Session.Manager", "Logout",
            { false, true } },
        { "org.lxqt.session", "/LXQtSession", "org.lxqt.session", "logout", {} },
    };
}

} // namespace

LinuxPower::LinuxPower(QDBusConnection system, QDBusConnection session)
    : FSystem(std::move(system))
    , FSession(std::move(session))
{
}

void LinuxPower::CallManager(const QString& method, bool forced)
{
    QDBusMessage call = QDBusMessage::createMethodCall(KLogind, QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), method);
    call << !forced;
    SendWithoutWaiting(FSystem, call, "logind power command");
}

void LinuxPower::Reboot(bool forced)
{
    CallManager(QStringLiteral("Reboot"), forced);
}

void LinuxPower::PowerOff(bool forced)
{
    CallManager(QStringLiteral("PowerOff"), forced);
}

void LinuxPower::Hibernate(bool forced)
{
    CallManager(QStringLiteral("Hibernate"), forced);
}

void LinuxPower::Suspend(bool forced)
{
    CallManager(QStringLiteral("Suspend"), forced);
}

void LinuxPower::LogOff(bool forced)
{
    if (!forced) {
        for (const TSessionManager& m : SessionManagers()) {
            if (!HasService(FSession, QString::fromLatin1(m.Service)))
                continue;
            QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(m.Service),
                QString::fromLatin1(m.Path), QString::fromLatin1(m.Interface), QString::fromLatin1(m.Method));
            call.setArguments(m.Args);
            SendWithoutWaiting(FSession, call, "session log-out");
            return;
        }
    }
    const QDBusMessage call
        = QDBusMessage::createMethodCall(KLogind, QStringLiteral("/org/freedesktop/login1/session/auto"),
            QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Terminate"));
    SendWithoutWaiting(FSystem, call, "logind session end");
}

} // namespace qb
