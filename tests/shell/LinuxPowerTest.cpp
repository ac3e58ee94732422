// Power commands reach logind and the session manager with the right flags, on a bus of the
// test's own; the machine's logind is never asked.
#include "Printers.h"
#include "PrivateBus.h"

#include "platform/linux/LinuxPower.h"
#include "support/Wait.h"

#include <QDBusConnectionInterface>
#include <QObject>

#include <gtest/gtest.h>

namespace qb {
namespace {

class TFakeManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    QStringList* Calls = nullptr;
public Q_SLOTS:
    void PowerOff(bool interactive) { Record(QStringLiteral("PowerOff"), interactive); }
    void Reboot(bool interactive) { Record(QStringLiteral("Reboot"), interactive); }
    void Suspend(bool interactive) { Record(QStringLiteral("Suspend"), interactive); }
    void Hibernate(bool interactive) { Record(QStringLiteral("Hibernate"), interactive); }

private:
    void Record(const QString& what, bool interactive)
    {
        *Calls << what + (interactive ? QStringLiteral(" interactive") : QStringLiteral(" non-interactive"));
    }
};

class TFakeSession : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
public:
    QStringList* Calls = nullptr;
public Q_SLOTS:
    void Terminate() { *Calls << QStringLiteral("Terminate"); }
};

class TFakeSessionManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.SessionManager")
public:
    QStringList* Calls = nullptr;
public Q_SLOTS:
    void Logout(uint mode) { *Calls << QStringLiteral("Logout %1").arg(mode); }
};

class LinuxPowerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(Bus.Address().isEmpty()) << "dbus-daemon did not start";
        // Anything that asks for the system bus by default lands on the test's bus as well.
        FOldSystemBus = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", Bus.Address().toUtf8());
        Manager.Calls = Session.Calls = SessionManager.Calls = &Calls;
        Service = Bus.Connect(QStringLiteral("qb-fake-logind"));
        ASSERT_TRUE(Service.registerObject(
            QStringLiteral("/org/freedesktop/login1"), &Manager, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(Service.registerObject(QStringLiteral("/org/freedesktop/login1/session/auto"), &Session,
            QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(Service.registerService(QStringLiteral("org.freedesktop.login1")));
        Client = Bus.Connect(QStringLiteral("qb-power-client"));
        ASSERT_TRUE(Client.isConnected());
    }
    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("qb-power-client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("qb-fake-logind"));
        QDBusConnection::disconnectFromBus(QStringLiteral("qb-fake-gnome"));
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", FOldSystemBus);
    }
    bool WaitForCalls(qsizetype n)
    {
        return test::WaitFor([&] { return Calls.size() >= n; });
    }

    test::TPrivateBus Bus;
    QDBusConnection Service { QString() };
    QDBusConnection Client { QString() };
    TFakeManager Manager;
    TFakeSession Session;
    TFakeSessionManager SessionManager;
    QStringList Calls;

private:
    QByteArray FOldSystemBus;
};

TEST_F(LinuxPowerTest, ForcedCommandsDoNotAskForAuthorisation)
{
    LinuxPower power(Client, Client);
    power.Reboot(false);
    power.PowerOff(true);
    power.Hibernate(false);
    power.Suspend(true);
    ASSERT_TRUE(WaitForCalls(4)) << Calls.join(u',').toStdString();
    EXPECT_EQ(Calls,
        (QStringList { "Reboot interactive", "PowerOff non-interactive", "Hibernate interactive",
            "Suspend non-interactive" }));
}

TEST_F(LinuxPowerTest, LogOffEndsTheSessionThroughLogindWithoutASessionManager)
{
    LinuxPower power(Client, Client);
    power.LogOff(false);
    power.LogOff(true);
    ASSERT_TRUE(WaitForCalls(2));
    EXPECT_EQ(Calls, (QStringList { "Terminate", "Terminate" }));
}

TEST_F(LinuxPowerTest, GracefulLogOffGoesToTheDesktopsSessionManager)
{
    QDBusConnection desktop = Bus.Connect(QStringLiteral("qb-fake-gnome"));
    ASSERT_TRUE(desktop.registerObject(
        QStringLiteral("/org/gnome/SessionManager"), &SessionManager, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(desktop.registerService(QStringLiteral("org.gnome.SessionManager")));

    LinuxPower power(Client, Client);
    power.LogOff(false);
    ASSERT_TRUE(WaitForCalls(1));
    // Forced: the session ends whatever its programs say.
    power.LogOff(true);
    ASSERT_TRUE(WaitForCalls(2));
    EXPECT_EQ(Calls, (QStringList { "Logout 1", "Terminate" }));
}

TEST(LinuxPowerWithoutBus, CommandsAreDroppedAndWrittenToTheDebugOutput)
{
    static QStringList messages;
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { messages << text; });
    const QDBusConnection none(QStringLiteral("qb-no-bus"));
    LinuxPower power(none, none);
    power.PowerOff(true);
    power.LogOff(false);
    qInstallMessageHandler(previous);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("no bus"))) << messages[0].toStdString();
}

} // namespace
} // namespace qb

#include "LinuxPowerTest.moc"
