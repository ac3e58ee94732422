#include "PrivateBus.h"

#include <QFile>

namespace qb::test {

TPrivateBus::TPrivateBus()
{
    const QString config = FDir.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig>\n"
               "  <type>session</type>\n"
               "  <listen>unix:dir="
        + FDir.path().toUtf8()
        + "</listen>\n"
          "  <auth>EXTERNAL</auth>\n"
          "  <policy context=\"default\">\n"
          "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
          "    <allow eavesdrop=\"true\"/>\n"
          "    <allow own=\"*\"/>\n"
          "  </policy>\n"
          "</busconfig>\n");
    file.close();
    FDaemon.start(QStringLiteral("dbus-daemon"),
        { QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
            QStringLiteral("--print-address=1") });
    if (!FDaemon.waitForStarted(5000))
        return;
    while (!FDaemon.canReadLine() && FDaemon.waitForReadyRead(5000)) { }
    FAddress = QString::fromUtf8(FDaemon.readLine()).trimmed();
}

TPrivateBus::~TPrivateBus()
{
    if (FDaemon.state() != QProcess::NotRunning) {
        FDaemon.terminate();
        if (!FDaemon.waitForFinished(5000))
            FDaemon.kill();
        FDaemon.waitForFinished(1000);
    }
}

QDBusConnection TPrivateBus::Connect(const QString& name) const
{
    return QDBusConnection::connectToBus(FAddress, name);
}

} // namespace qb::test
