// Other programs' windows as the bar sees and moves them, under a real window manager.
#include "ClientWindow.h"

#include "platform/linux/LinuxDesktopWindows.h"
#include "platform/linux/LinuxShell.h"
#include "platform/linux/X11.h"
#include "shell/SystemCommands.h"
#include "shell/WindowPlacement.h"
#include "support/Process.h"
#include "support/Wait.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace qb {
namespace {

std::optional<TTopLevelWindow> Listed(const LinuxDesktopWindows& windows, TWindowId id)
{
    for (const TTopLevelWindow& w : windows.TopLevelWindows())
        if (w.Id == id)
            return w;
    return std::nullopt;
}

// The client area as the X server reports it, without the window manager's frame.
QRect ClientGeometry(TWindowId id)
{
    const QString out
        = test::OutputOf(QStringLiteral("xwininfo"), { QStringLiteral("-id"), QString::number(id) });
    const auto value = [&](const char* label) {
        const QRegularExpressionMatch m
            = QRegularExpression(QLatin1String(label) + QStringLiteral(":\\s+(-?\\d+)")).match(out);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    };
    return QRect(
        value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"));
}

TEST(LinuxDesktopWindows, ListsTitlesAndTheActiveWindow)
{
    const QString title = test::UniqueTitle("list");
    test::TClientWindow client(title);
    ASSERT_NE(client.Id(), 0u);
    LinuxDesktopWindows windows;
    const auto listed = Listed(windows, client.Id());
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->Title, title);
    EXPECT_TRUE(listed->Visible);
    EXPECT_TRUE(windows.IsWindow(client.Id()));
    EXPECT_FALSE(windows.IsDesktop(client.Id()));
    ASSERT_TRUE(client.Activate());
    EXPECT_EQ(windows.ActiveWindow(), client.Id());
    EXPECT_FALSE(windows.IsWindow(0xFFFFFFF0));
}

TEST(LinuxDesktopWindows, MovesAndSizesTheFrame)
{
    test::TClientWindow client(test::UniqueTitle("move"));
    ASSERT_NE(client.Id(), 0u);
    LinuxDesktopWindows windows;

    const QRect wanted(100, 120, 320, 240);
    windows.MoveResize(client.Id(), wanted);
    ASSERT_TRUE(test::WaitFor([&] { return windows.WindowRect(client.Id()) == wanted; }))
        << windows.WindowRect(client.Id()).x() << "," << windows.WindowRect(client.Id()).y();
    // The frame is the window manager's: the client itself is smaller and inside it.
    const QRect client0 = ClientGeometry(client.Id());
    EXPECT_TRUE(wanted.contains(client0)) << client0.width() << "x" << client0.height();
    EXPECT_LT(client0.height(), wanted.height());

    windows.Move(client.Id(), QPoint(300, 50));
    ASSERT_TRUE(test::WaitFor([&] { return windows.WindowRect(client.Id()) == QRect(300, 50, 320, 240); }));

    windows.Maximise(client.Id());
    ASSERT_TRUE(test::WaitFor([&] { return windows.IsMaximised(client.Id()); }));
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(test::WaitFor([&] { return windows.WindowRect(client.Id()) == work; }));
    windows.Restore(client.Id());
    ASSERT_TRUE(test::WaitFor([&] { return !windows.IsMaximised(client.Id()); }));
}

TEST(LinuxDesktopWindows, PendingPlacementReachesTheRealWindow)
{
    test::TClientWindow client(test::UniqueTitle("place"));
    ASSERT_NE(client.Id(), 0u);
    LinuxDesktopWindows windows;
    QList<TMonitorArea> monitors;
    for (QScreen* s : QGuiApplication::screens())
        monitors.append({ s->geometry(), s->availableGeometry(), s == QGuiApplication::primaryScreen() });

    // Steps still waiting when the test ends die with it.
    QObject steps;
    const auto place = [&](const QRect& wanted) {
        ApplyPendingPlacement(
            windows, monitors, client.Id(), wanted, [&steps](int ms, std::function<void()> step) {
                QTimer::singleShot(ms, &steps, std::move(step));
            });
    };
    place(QRect(60, 70, 400, 300));
    EXPECT_TRUE(test::WaitFor([&] { return windows.WindowRect(client.Id()) == QRect(60, 70, 400, 300); }));
    // Lying on no monitor: centred on the primary work area with its size.
    place(QRect(5000, 5000, 400, 300));
    const QRect work = monitors.first().WorkArea;
    const QRect centred((work.width() - 400) / 2, (work.height() - 300) / 2, 400, 300);
    EXPECT_TRUE(test::WaitFor([&] { return windows.WindowRect(client.Id()) == centred; }));
    // Covering the work area: maximised.
    place(work);
    EXPECT_TRUE(test::WaitFor([&] { return windows.IsMaximised(client.Id()); }));
}

TEST(LinuxDesktopWindows, HiddenWindowsComeBackWithoutTakingTheFocus)
{
    const QString tag = test::UniqueTitle("toggle");
    test::TClientWindow first(tag + QStringLiteral(" one"));
    test::TClientWindow second(tag + QStringLiteral(" two"), QRect(300, 40, 200, 150));
    test::TClientWindow other(test::UniqueTitle("other"), QRect(600, 40, 200, 150));
    ASSERT_TRUE(first.Id() && second.Id() && other.Id());
    ASSERT_TRUE(other.Activate());
    LinuxDesktopWindows windows;

    ToggleWindowsByTitle(windows, tag);
    ASSERT_TRUE(test::WaitFor([&] {
        const auto a = Listed(windows, first.Id());
        const auto b = Listed(windows, second.Id());
        return a && b && !a->Visible && !b->Visible;
    }));
    EXPECT_TRUE(Listed(windows, other.Id())->Visible);
    // Gone from the screen: the window manager no longer lists them.
    const QString clients = test::OutputOf(
        QStringLiteral("xprop"), { QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST") });
    EXPECT_FALSE(clients.contains(QStringLiteral("0x%1").arg(first.Id(), 0, 16)));

    // A second instance finds them as well (the bar may have been restarted).
    LinuxDesktopWindows restarted;
    ToggleWindowsByTitle(restarted, tag);
    ASSERT_TRUE(test::WaitFor([&] {
        const auto a = Listed(windows, first.Id());
        const auto b = Listed(windows, second.Id());
        return a && b && a->Visible && b->Visible;
    }));
    EXPECT_EQ(windows.ActiveWindow(), other.Id());
    // Nothing is left to show again.
    EXPECT_TRUE(test::WaitFor([&] {
        int hidden = 0;
        for (const TTopLevelWindow& w : windows.TopLevelWindows())
            hidden += w.Title.contains(tag) && !w.Visible;
        return hidden == 0;
    }));
}

TEST(LinuxDesktopWindows, EmptyTitleTextHidesNothing)
{
    test::TClientWindow client(test::UniqueTitle("keep"));
    ASSERT_NE(client.Id(), 0u);
    LinuxDesktopWindows windows;
    ToggleWindowsByTitle(windows, QString());
    EXPECT_TRUE(Listed(windows, client.Id())->Visible);
}

TEST(LinuxDesktopWindows, DesktopWindowIsRecognised)
{
    QWidget desktop;
    desktop.setGeometry(0, 0, 100, 100);
    desktop.winId();
    desktop.setAttribute(Qt::WA_X11NetWmWindowTypeDesktop);
    LinuxDesktopWindows windows;
    EXPECT_TRUE(windows.IsDesktop(desktop.winId()));
}

TEST(LinuxShellOnX11, ShowsTheDesktopAndBringsTheWindowsBack)
{
    LinuxShell shell;
    shell.ShowDesktop(true);
    ASSERT_TRUE(test::WaitFor([&] { return shell.IsDesktopShown(); }));
    shell.ShowDesktop(false);
    ASSERT_TRUE(test::WaitFor([&] { return !shell.IsDesktopShown(); }));
}

TEST(LinuxShellOnX11, ProgramStartedMinimisedShowsMinimised)
{
    const QString title = test::UniqueTitle("minimised");
    LinuxShell shell;
    ASSERT_TRUE(shell.Open(QStringLiteral("xlogo"), QStringLiteral("OPEN"), QStringLiteral("-title ") + title,
        QString(), TShowState::Minimised));
    LinuxDesktopWindows windows;
    TWindowId id = 0;
    ASSERT_TRUE(test::WaitFor([&] {
        for (const TTopLevelWindow& w : windows.TopLevelWindows())
            if (w.Title == title)
                id = w.Id;
        return id != 0;
    }));
    xcb_connection_t* c = x11::Connection();
    const xcb_atom_t wmState = x11::Atom(c, "WM_STATE");
    EXPECT_TRUE(test::WaitFor([&] {
        const QList<quint32> state = x11::Property32(c, xcb_window_t(id), wmState, wmState);
        return !state.isEmpty() && state.first() == 3; // IconicState
    }));
    // The program (started detached) ends with its connection to the X server.
    xcb_kill_client(c, xcb_window_t(id));
    xcb_flush(c);
}

} // namespace
} // namespace qb
