// The desktop's screen saver service, when one runs, gets the screen saver and keep-awake
// requests (on a bus of the test's own).
#include "Printers.h"
#include "PrivateBus.h"

#include "platform/linux/LinuxDisplay.h"
#include "support/Wait.h"

#include <QObject>

#include <gtest/gtest.h>

namespace qb {
namespace {

class TFakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList Calls;
public Q_SLOTS:
    uint Inhibit(const QString& application, const QString&)
    {
        Calls << QStringLiteral("Inhibit ") + application;
        return 4711;
    }
    void UnInhibit(uint cookie) { Calls << QStringLiteral("UnInhibit %1").arg(cookie); }
    bool SetActive(bool on)
    {
        Calls << QStringLiteral("SetActive %1").arg(on);
        return true;
    }
};

class LinuxDisplayBusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(Bus.Address().isEmpty()) << "dbus-daemon did not start";
        Service = Bus.Connect(QStringLiteral("qb-fake-saver"));
        ASSERT_TRUE(Service.registerObject(
            QStringLiteral("/org/freedesktop/ScreenSaver"), &Saver, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(Service.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
        Client = Bus.Connect(QStringLiteral("qb-display-client"));
    }
    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("qb-display-client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("qb-fake-saver"));
    }

    test::TPrivateBus Bus;
    QDBusConnection Service { QString() };
    QDBusConnection Client { QString() };
    TFakeScreenSaver Saver;
};

TEST_F(LinuxDisplayBusTest, KeepAwakeHoldsAnInhibitionUntilSwitchedOff)
{
    LinuxDisplay display(Client);
    display.SetKeepAwake(true);
    ASSERT_TRUE(test::WaitFor([&] { return Saver.Calls.size() == 1; }));
    display.SetKeepAwake(true);
    display.SetKeepAwake(false);
    ASSERT_TRUE(test::WaitFor([&] { return Saver.Calls.size() == 2; }));
    EXPECT_EQ(Saver.Calls, (QStringList { "Inhibit Quillbar", "UnInhibit 4711" }));
}

TEST_F(LinuxDisplayBusTest, SwitchedOffBeforeTheAnswerStillEndsTheInhibition)
{
    LinuxDisplay display(Client);
    display.SetKeepAwake(true);
    display.SetKeepAwake(false);
    ASSERT_TRUE(test::WaitFor([&] { return Saver.Calls.size() == 2; }));
    EXPECT_EQ(Saver.Calls, (QStringList { "Inhibit Quillbar", "UnInhibit 4711" }));
}

TEST_F(LinuxDisplayBusTest, ScreenSaverStartsThroughTheService)
{
    LinuxDisplay display(Client);
    display.StartScreenSaver();
    ASSERT_TRUE(test::WaitFor([&] { return !Saver.Calls.isEmpty(); }));
    EXPECT_EQ(Saver.Calls, QStringList { "SetActive 1" });
}

} // namespace
} // namespace qb

#include "LinuxDisplayBusTest.moc"
