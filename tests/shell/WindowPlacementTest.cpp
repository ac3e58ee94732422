// Where a button's window placement puts the window it finds in front.
#include "shell/WindowPlacement.h"
#include "Printers.h"
#include "platform/fake/FakeDesktopWindows.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(ParseWinPos, ReadsFourOrFiveFields)
{
    struct TRow {
        const char* Text;
        std::optional<QRect> Rect;
        int Delay;
    };
    const TRow rows[] = {
        { "0,0,800,600", QRect(0, 0, 800, 600), 1000 },
        { "10, 20, 810, 620, 3000", QRect(10, 20, 800, 600), 3000 },
        { "-1200,5,-200,705,0", QRect(-1200, 5, 1000, 700), 0 },
        { "x,0,800,600,soon", QRect(0, 0, 800, 600), 1000 },
        { "0,0,800,600,250,9", QRect(0, 0, 800, 600), 1000 }, // a sixth field hides the delay
        { "0,0,800", std::nullopt, 0 },
        { "", std::nullopt, 0 },
    };
    for (const TRow& row : rows) {
        const auto pos = ParseWinPos(QString::fromLatin1(row.Text));
        ASSERT_EQ(pos.has_value(), row.Rect.has_value()) << row.Text;
        if (pos) {
            EXPECT_EQ(pos->Rect, *row.Rect) << row.Text;
            EXPECT_EQ(pos->DelayMs, row.Delay) << row.Text;
        }
    }
}

class ApplyPlacementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Windows.Windows = { { { 7, QStringLiteral("editor"), true }, QRect(100, 100, 300, 200), false } };
    }
    QStringList Place(const QRect& wanted)
    {
        ApplyPendingPlacement(Windows, Monitors, 7, wanted, [this](int ms, std::function<void()> step) {
            Windows.Calls << QStringLiteral("after %1").arg(ms);
            step();
        });
        return Windows.Calls;
    }

    FakeDesktopWindows Windows;
    // A primary monitor with a panel at the bottom and a second one at its right.
    QList<TMonitorArea> Monitors = { { QRect(1920, 0, 1280, 1024), QRect(1920, 0, 1280, 1024), false },
        { QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040), true } };
};

TEST_F(ApplyPlacementTest, MovesThenSizes)
{
    EXPECT_EQ(Place(QRect(2000, 50, 640, 480)), (QStringList { "Move 7", "after 50", "MoveResize 7" }));
    EXPECT_EQ(Windows.WindowRect(7), QRect(2000, 50, 640, 480));
}

TEST_F(ApplyPlacementTest, MaximisedWindowIsRestoredFirst)
{
    Windows.Windows[0].Maximised = true;
    EXPECT_EQ(
        Place(QRect(0, 0, 800, 600)), (QStringList { "Restore 7", "Move 7", "after 50", "MoveResize 7" }));
}

TEST_F(ApplyPlacementTest, WindowAlreadyThereOrGoneIsLeftAlone)
{
    EXPECT_TRUE(Place(QRect(100, 100, 300, 200)).isEmpty());
    Windows.Windows.clear();
    EXPECT_TRUE(Place(QRect(0, 0, 800, 600)).isEmpty());
}

TEST_F(ApplyPlacementTest, RectangleCoveringAWorkAreaMaximisesOnThatMonitor)
{
    EXPECT_EQ(Place(QRect(0, 0, 1904, 1024)), (QStringList { "Move 7", "Maximise 7" }));
    EXPECT_EQ(Windows.WindowRect(7).topLeft(), QPoint(16, 16));

    Windows.Calls.clear();
    EXPECT_EQ(Place(QRect(1920, 0, 1280, 1024)), (QStringList { "Move 7", "Maximise 7" }));
    EXPECT_EQ(Windows.WindowRect(7).topLeft(), QPoint(1936, 16));
}

TEST_F(ApplyPlacementTest, RectangleJustShortOfTheWorkAreaIsSized)
{
    EXPECT_EQ(Place(QRect(0, 0, 1903, 1040)).last(), QStringLiteral("MoveResize 7"));
}

TEST_F(ApplyPlacementTest, OffScreenRectangleIsCentredOnThePrimaryWorkArea)
{
    Place(QRect(5000, 5000, 800, 600));
    EXPECT_EQ(Windows.WindowRect(7), QRect(560, 220, 800, 600));

    // Too large for the work area: shrunk with a margin, still centred.
    Windows.Calls.clear();
    EXPECT_EQ(Place(QRect(-9000, 0, 2500, 1200)), (QStringList { "Move 7", "after 50", "MoveResize 7" }));
    EXPECT_EQ(Windows.WindowRect(7), QRect(24, 24, 1872, 992));
}

} // namespace
} // namespace qb
