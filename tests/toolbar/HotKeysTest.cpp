#include "toolbar/HotKeys.h"

#include <QList>
#include <QStringList>

#include <gtest/gtest.h>

#include <utility>

namespace qb {
namespace {

// Writes down what the hot keys did; delayed steps wait until the test runs them.
class TRecordingHotKeyHost final : public IHotKeyHost {
public:
    bool Foreground = false;
    QStringList Log;
    QList<std::pair<int, std::function<void()>>> Pending;

    bool IsForeground() const override { return Foreground; }
    void SwitcherClick() override { Log << QStringLiteral("SwitcherClick"); }
    void DoClick(const QString& cue) override { Log << QStringLiteral("DoClick ") + cue; }
    void BringToFront() override { Log << QStringLiteral("BringToFront"); }
    void After(int ms, std::function<void()> step) override { Pending.append({ ms, std::move(step) }); }
    void DisplayOff() override { Log << QStringLiteral("DisplayOff"); }
    void StartScreenSaver() override { Log << QStringLiteral("StartScreenSaver"); }
    void ToggleWindowsByTitle(const QString& text) override { Log << QStringLiteral("Toggle ") + text; }
    void MenuClick(const QString& item) override { Log << QStringLiteral("MenuClick ") + item; }
    void ShowClippings() override { Log << QStringLiteral("ShowClippings"); }
    void SetDisplayOrientation(TOrientation orientation) override
    {
        Log << QStringLiteral("Orientation %1").arg(int(orientation));
    }

    void RunPending()
    {
        while (!Pending.isEmpty())
            Pending.takeFirst().second();
    }
};

TEST(HotKeys, FlipPagesActsAtOnce)
{
    TSettings settings;
    TRecordingHotKeyHost host;
    host.Foreground = true;
    HotKeyPressed(host, settings, HkFlipPages);
    EXPECT_EQ(host.Log, QStringList { QStringLiteral("SwitcherClick") });
    host.Log.clear();
    host.Foreground = false;
    HotKeyPressed(host, settings, HkFlipPages);
    EXPECT_EQ(host.Log, QStringList({ QStringLiteral("DoClick GLICK"), QStringLiteral("BringToFront") }));
    EXPECT_TRUE(host.Pending.isEmpty());
}

TEST(HotKeys, TheOthersClickThenActAQuarterSecondLater)
{
    struct TCase {
        int Id;
        QString Action;
    };
    const TCase cases[] = {
        { HkDisplayOff, QStringLiteral("DisplayOff") },
        { HkScreenSaver, QStringLiteral("StartScreenSaver") },
        { HkHideWindow, QStringLiteral("Toggle Editor") },
        { HkOptions, QStringLiteral("MenuClick Config") },
        { HkClippings, QStringLiteral("ShowClippings") },
        { HkDisplayLeft, QStringLiteral("Orientation 1") },
        { HkDisplayUp, QStringLiteral("Orientation 0") },
        { HkDisplayRight, QStringLiteral("Orientation 3") },
        { HkDisplayDown, QStringLiteral("Orientation 2") },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Id);
        TSettings settings;
        settings.HideWnd = QStringLiteral("Notes");
        TRecordingHotKeyHost host;
        host.Foreground = true; // makes no difference here
        HotKeyPressed(host, settings, c.Id);
        EXPECT_EQ(host.Log, QStringList { QStringLiteral("DoClick @CLICK") });
        ASSERT_EQ(host.Pending.size(), 1);
        EXPECT_EQ(host.Pending[0].first, 250);
        settings.HideWnd = QStringLiteral("Editor"); // read when the action runs
        host.RunPending();
        EXPECT_EQ(host.Log, QStringList({ QStringLiteral("DoClick @CLICK"), c.Action }));
    }
}

TEST(HotKeys, UnknownIdsAreIgnored)
{
    TSettings settings;
    TRecordingHotKeyHost host;
    for (const int id : { -1, 10, 0x7FFF }) {
        HotKeyPressed(host, settings, id);
        host.RunPending();
    }
    EXPECT_TRUE(host.Log.isEmpty());
}

} // namespace
} // namespace qb
