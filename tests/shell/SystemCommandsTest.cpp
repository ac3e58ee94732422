// Power commands by number, hiding windows by title, rotating the display.
#include "Printers.h"

#include "platform/fake/FakeDesktopWindows.h"
#include "platform/fake/FakeDisplay.h"
#include "platform/fake/FakePower.h"
#include "shell/SystemCommands.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(ExitWin, NumbersOneToFive)
{
    FakePower power;
    for (int n : { 0, 1, 2, 3, 4, 5, 6, -1 })
        ExitWin(power, n, n % 2 == 0);
    EXPECT_EQ(
        power.Calls, (QStringList { "Reboot", "PowerOff forced", "Hibernate", "LogOff forced", "Suspend" }));
    EXPECT_EQ(PowerWordNumber(QStringLiteral("tURN oFF")), 2);
    EXPECT_EQ(PowerWordNumber(QStringLiteral("Turn off ")), 0);
    EXPECT_EQ(PowerWordNumber(QStringLiteral("Shutdown")), 0);
}

TEST(ToggleWindowsByTitle, HidesVisibleAndShowsHiddenMatches)
{
    FakeDesktopWindows windows;
    windows.Windows = { { { 1, QStringLiteral("Notes - Editor"), true }, {}, false },
        { { 2, QStringLiteral("notes - editor"), true }, {}, false },
        { { 3, QStringLiteral("Notes"), false }, {}, false },
        { { 4, QStringLiteral("Mail"), true }, {}, false } };
    ToggleWindowsByTitle(windows, QStringLiteral("Notes"));
    EXPECT_EQ(windows.Calls, (QStringList { "Hide 1", "Show 3" }));
    windows.Calls.clear();
    ToggleWindowsByTitle(windows, QStringLiteral("Notes"));
    EXPECT_EQ(windows.Calls, (QStringList { "Show 1", "Hide 3" }));
    windows.Calls.clear();
    ToggleWindowsByTitle(windows, QString());
    EXPECT_TRUE(windows.Calls.isEmpty());
}

TEST(SetDisplayOrientation, BeepsOnlyWhenTheDisplayRefuses)
{
    FakeDisplay display;
    SetDisplayOrientation(display, QPoint(5, 5), TOrientation::Default);
    EXPECT_EQ(display.Beeps, 0);
    SetDisplayOrientation(display, QPoint(5, 5), TOrientation::Rotate90);
    EXPECT_EQ(display.Beeps, 0);
    EXPECT_EQ(display.Current, TOrientation::Rotate90);
    display.RefuseRotation = true;
    SetDisplayOrientation(display, QPoint(5, 5), TOrientation::Rotate180);
    EXPECT_EQ(display.Beeps, 1);
    EXPECT_EQ(display.Current, TOrientation::Rotate90);
}

} // namespace
} // namespace qb
