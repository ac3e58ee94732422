#include "platform/linux/LinuxSession.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qb {

namespace {

int GSignalFds[2] = { -1, -1 };

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(GSignalFds[0], &byte, 1);
}

} // namespace

LinuxSession::LinuxSession(QObject* parent)
    : ISession(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, GSignalFds) == 0) {
        FNotifier = new QSocketNotifier(GSignalFds[1], QSocketNotifier::Read, this);
        connect(FNotifier, &QSocketNotifier::activated, this, [this] {
            char buffer[16];
            [[maybe_unused]] const ssize_t read = ::read(GSignalFds[1], buffer, sizeof buffer);
            Q_EMIT EndRequested();
        });
        struct sigaction action = {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int sig : { SIGTERM, SIGINT, SIGHUP })
            ::sigaction(sig, &action, nullptr);
    }
    QDBusConnection::systemBus().connect(QStringLiteral("org.freedesktop.login1"),
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"), this, SLOT(OnPrepareForSleep(bool)));
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { Q_EMIT EndRequested(); });
    }
}

void LinuxSession::OnPrepareForSleep(bool start)
{
    if (!start)
        Q_EMIT Resumed();
}

void LinuxSession::SetHighPriority(bool high)
{
    // A negative nice value needs the right to raise priority; without it nothing changes.
    ::setpriority(PRIO_PROCESS, 0, high ? -5 : 0);
}

LinuxSession::~LinuxSession()
{
    for (int sig : { SIGTERM, SIGINT, SIGHUP })
        ::signal(sig, SIG_DFL);
    delete FNotifier;
    for (int& fd : GSignalFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

} // namespace qb
