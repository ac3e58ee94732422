// Without an X11 display (offscreen, Wayland) the desktop services report "not possible" and
// change nothing.
#include "platform/linux/LinuxDesktopWindows.h"
#include "platform/linux/LinuxDisplay.h"
#include "platform/linux/LinuxHotKeys.h"
#include "platform/linux/LinuxInput.h"
#include "platform/linux/LinuxShell.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(WithoutDisplay, EveryServiceAnswersAndNothingHappens)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    const QDBusConnection noBus(QStringLiteral("qb-none"));

    LinuxDesktopWindows windows;
    EXPECT_EQ(windows.ActiveWindow(), 0u);
    EXPECT_TRUE(windows.TopLevelWindows().isEmpty());
    EXPECT_FALSE(windows.IsWindow(1));
    EXPECT_FALSE(windows.IsDesktop(1));
    EXPECT_FALSE(windows.IsMaximised(1));
    EXPECT_EQ(windows.WindowRect(1), QRect());
    windows.Hide(1);
    windows.ShowNoActivate(1);
    windows.Move(1, QPoint(1, 1));
    windows.MoveResize(1, QRect(0, 0, 10, 10));
    windows.Maximise(1);
    windows.Restore(1);

    LinuxDisplay display(noBus);
    EXPECT_FALSE(display.MonitorOff());
    EXPECT_EQ(display.IdleSeconds(), 0);
    EXPECT_EQ(display.SetOrientation(QPoint(), TOrientation::Rotate90), TOrientationResult::Refused);
    display.StartScreenSaver();
    display.SetKeepAwake(true);
    display.SetKeepAwake(false);
    display.Beep();

    LinuxHotKeys keys;
    EXPECT_FALSE(keys.Register(0, QKeyCombination(Qt::ControlModifier, Qt::Key_F1)));
    keys.Unregister(0);

    LinuxInput input;
    const TInputState state = input.State();
    EXPECT_FALSE(state.Shift || state.Ctrl || state.Alt || state.CapsLockOn || state.LeftButton);
    input.SendPasteChord();

    LinuxShell shell;
    shell.ShowDesktop(true);
    EXPECT_FALSE(shell.IsDesktopShown());
}

} // namespace
} // namespace qb
