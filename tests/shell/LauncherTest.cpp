// What a click on a button does, against recording fakes of the desktop services.
#include "LaunchHost.h"
#include "Printers.h"

#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeDesktopWindows.h"
#include "platform/fake/FakePower.h"
#include "platform/fake/FakeShell.h"
#include "platform/fake/FakeSound.h"
#include "shell/Launcher.h"
#include "support/TempDataDir.h"

#include <gtest/gtest.h>

#include <memory>

namespace qb {
namespace {

TButtonEntry Exec(const QString& path, const QString& params = {}, const QString& flags = {},
    const QString& type = QStringLiteral("Exec"))
{
    TButtonEntry e;
    e.BType = type;
    e.Path = path;
    e.Params = params;
    e.Flags = flags;
    return e;
}

QString ShellCall(const FakeShell::TOpenCall& c)
{
    return QStringList { c.Target, c.Verb, c.Params, c.Folder,
        c.Show == TShowState::Minimised ? QStringLiteral("min") : QStringLiteral("normal") }
        .join(u'|');
}

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override { MakeLauncher(); }

    void MakeLauncher()
    {
        Launcher.reset();
        Launcher = std::make_unique<TButtonLauncher>(TLaunchServices {
            Host, Shell, Power, Sound, Clock, Windows, Settings, Data.Path(), QStringLiteral("/opt/qb/") });
    }

    // Clicks cell 0 of page `page` holding `entry` there (and only there).
    void Click(const TButtonEntry& entry, TLaunchKeys keys = {}, int page = 0)
    {
        QList<TButtonEntry> buttons(16 * Settings.Banks);
        buttons[page * 16] = entry;
        Launcher->LaunchButton(buttons, page, 16, 0, keys);
    }

    QStringList ShellCalls() const
    {
        QStringList calls;
        for (const auto& c : Shell.Opened)
            calls << ShellCall(c);
        return calls;
    }

    test::TempDataDir Data;
    test::TRecordingHost Host;
    FakeShell Shell;
    FakePower Power;
    FakeSound Sound;
    FakeClock Clock;
    FakeDesktopWindows Windows;
    TSettings Settings;
    std::unique_ptr<TButtonLauncher> Launcher;
};

// One row per case of the dispatch of a click, in the order the cases are tried.
struct TDispatchRow {
    const char* Name;
    TButtonEntry Entry;
    TLaunchKeys Keys = {};
    QStringList Host = {};
    QStringList Shell = {};
    QStringList Power = {};
    QStringList Played = {};
    int Banks = 3;
    int Page = 0;
    bool OnTop = false;
    bool Weather = false;
    QString ProwlKey = {};
};

const QString UP = QStringLiteral("DoClick UP");

std::vector<TDispatchRow> DispatchRows()
{
    const TLaunchKeys shift { .Shift = true };
    const TLaunchKeys right { .RightButton = true };
    const TLaunchKeys caps { .CapsLock = true };
    const QString prog = QStringLiteral("/usr/bin/prog");
    return {
        // 1: Alt does nothing at all.
        { .Name = "AltHeld",
            .Entry = Exec(prog),
            .Keys = { .Shift = true, .Alt = true, .RightButton = true } },
        // 2: empty or disabled buttons never start anything.
        { .Name = "Empty", .Entry = Exec(prog, {}, {}, QStringLiteral("empty")) },
        { .Name = "Disabled", .Entry = Exec(prog, {}, QStringLiteral("Disabled")) },
        { .Name = "DisabledWithRightButton",
            .Entry = Exec(prog, {}, QStringLiteral("Protected Disabled")),
            .Keys = right },
        // 3: protected buttons act only with the right button held.
        { .Name = "ProtectedPlain", .Entry = Exec(prog, {}, QStringLiteral("Protected")) },
        { .Name = "ProtectedRight",
            .Entry = Exec(prog, {}, QStringLiteral("Protected")),
            .Keys = right,
            .Host = { UP },
            .Shell = { "/usr/bin/prog|OPEN||/usr/bin|normal" } },
        { .Name = "ProtectedRestartPlain",
            .Entry = Exec(QStringLiteral("Restart"), {}, QStringLiteral("Protected")) },
        { .Name = "ProtectedRestartRight",
            .Entry = Exec(QStringLiteral("Restart"), {}, QStringLiteral("Protected")),
            .Keys = right,
            .Host = { UP },
            .Power = { "Reboot" } },
        // 4: admin buttons start elevated and know no power words.
        { .Name = "AdminProgram",
            .Entry = Exec(prog, QStringLiteral("-x"), QStringLiteral("Admin")),
            .Host = { UP },
            .Shell = { "/usr/bin/prog|RUNAS|-x|/usr/bin|normal" } },
        { .Name = "AdminRestart",
            .Entry = Exec(QStringLiteral("Restart"), {}, QStringLiteral("Admin")),
            .Host = { UP },
            .Shell = { "Restart|RUNAS|||normal" } },
        // 5: popup, timer and events buttons take their type word as the target.
        { .Name = "PopupType",
            .Entry
            = Exec(QStringLiteral("ignored"), QStringLiteral("Hello¤World"), {}, QStringLiteral("Popup")),
            .Host = { UP, "SendPopup Hello¤World \"" } },
        { .Name = "TimerType",
            .Entry = Exec(QStringLiteral("ignored"), QStringLiteral("5"), {}, QStringLiteral("TIMER")),
            .Host = { UP },
            .Shell = { "TIMER|OPEN|5||normal" } },
        { .Name = "EventsType",
            .Entry = Exec(QStringLiteral("ignored"), QStringLiteral("e"), {}, QStringLiteral("events")),
            .Host = { UP },
            .Shell = { "Events|OPEN|e||normal" } },
        // 6: a weather button refreshes, unless a refresh runs already.
        { .Name = "WeatherIdle", .Entry = Exec(QStringLiteral("Weather2")), .Host = { "WeatherRefresh" } },
        { .Name = "WeatherRunning",
            .Entry = Exec(QStringLiteral("Weather2")),
            .Host = { UP },
            .Shell = { "Weather2|OPEN|||normal" },
            .Weather = true },
        { .Name = "WeatherCaseMatters",
            .Entry = Exec(QStringLiteral("weather")),
            .Host = { UP },
            .Shell = { "weather|OPEN|||normal" } },
        // 7: nothing to start: only the cue.
        { .Name = "EmptyTarget", .Entry = Exec(QString()), .Host = { UP } },
        // 8: page digits.
        { .Name = "PageWithinBanks",
            .Entry = Exec(QStringLiteral("2")),
            .Host = { "SetCurPage 0", "SwitcherClick" } },
        { .Name = "LastPage",
            .Entry = Exec(QStringLiteral("3")),
            .Host = { "SetCurPage 1", "SwitcherClick" },
            .Page = 2 },
        { .Name = "PageBeyondBanks",
            .Entry = Exec(QStringLiteral("5")),
            .Host = { "SetCurPage 0", "SwitcherClick" },
            .Page = 1 },
        { .Name = "PageOnSinglePageBar",
            .Entry = Exec(QStringLiteral("1")),
            .Host = { "SetCurPage -1", "SwitcherClick" },
            .Banks = 1 },
        { .Name = "NineIsNoPage",
            .Entry = Exec(QStringLiteral("9")),
            .Host = { UP },
            .Shell = { "9|OPEN|||normal" } },
        // 9: sound files play without the cue.
        { .Name = "Wave",
            .Entry = Exec(QStringLiteral("/snd/a.WAV")),
            .Host = { "DrawBank" },
            .Played = { "/snd/a.WAV" } },
        { .Name = "Mp3",
            .Entry = Exec(QStringLiteral("/snd/b.mp3")),
            .Host = { "DrawBank" },
            .Played = { "/snd/b.mp3" } },
        // 10: power words, forced with Shift.
        { .Name = "Restart",
            .Entry = Exec(QStringLiteral("Restart")),
            .Host = { UP },
            .Power = { "Reboot" } },
        { .Name = "TurnOffForced",
            .Entry = Exec(QStringLiteral("turn OFF")),
            .Keys = shift,
            .Host = { UP },
            .Power = { "PowerOff forced" } },
        { .Name = "Hibernate",
            .Entry = Exec(QStringLiteral("HIBERNATE")),
            .Host = { UP },
            .Power = { "Hibernate" } },
        { .Name = "Logoff",
            .Entry = Exec(QStringLiteral("Logoff")),
            .Keys = shift,
            .Host = { UP },
            .Power = { "LogOff forced" } },
        { .Name = "Standby",
            .Entry = Exec(QStringLiteral("standby")),
            .Host = { UP },
            .Power = { "Suspend" } },
        // 11: the desktop, only while the bar stays on top.
        { .Name = "DesktopOnTop", .Entry = Exec(QStringLiteral("desktop")), .Host = { UP }, .OnTop = true },
        { .Name = "DesktopNotOnTop",
            .Entry = Exec(QStringLiteral("Desktop")),
            .Host = { UP },
            .Shell = { "Desktop|OPEN|||normal" } },
        // 12, 13: tool windows and the end of the program.
        { .Name = "Brightness",
            .Entry = Exec(QStringLiteral("brightness")),
            .Host = { UP, "ShowBox Brightness" } },
        { .Name = "Magnifier",
            .Entry = Exec(QStringLiteral("MAGNIFIER")),
            .Host = { UP, "ShowBox Magnifier" } },
        { .Name = "Clippings",
            .Entry = Exec(QStringLiteral("Clippings")),
            .Host = { UP, "ShowBox Clippings" } },
        { .Name = "Exit", .Entry = Exec(QStringLiteral("eXit")), .Host = { UP, "Close" } },
        // 14..17: features of their own.
        { .Name = "PopupPath",
            .Entry = Exec(QStringLiteral("Popup7"), QStringLiteral("a¤b")),
            .Host = { UP, "SendPopup a|b \"" } },
        { .Name = "PopupCaseMatters",
            .Entry = Exec(QStringLiteral("popup")),
            .Host = { UP },
            .Shell = { "popup|OPEN|||normal" } },
        { .Name = "CountDown",
            .Entry = Exec(QStringLiteral("CountDown"), QStringLiteral("1:00")),
            .Host = { UP, "CountDownClick" } },
        { .Name = "ClipProwlWithKey",
            .Entry = Exec(QStringLiteral("ClipProwl"), QStringLiteral("&priority=1")),
            .Host = { UP, "PushClipboard &priority=1" },
            .ProwlKey = QStringLiteral("k") },
        { .Name = "ClipProwlWithoutKey",
            .Entry = Exec(QStringLiteral("ClipProwl")),
            .Host = { UP },
            .Shell = { "ClipProwl|OPEN|||normal" } },
        { .Name = "CallHistoryToday",
            .Entry = Exec(QStringLiteral("callhistory")),
            .Host = { UP, "CallHistory today" } },
        { .Name = "CallHistoryYesterday",
            .Entry = Exec(QStringLiteral("CallHistory")),
            .Keys = right,
            .Host = { UP, "CallHistory yesterday" } },
        // 18: everything else goes to the desktop.
        { .Name = "Program",
            .Entry = Exec(prog, QStringLiteral("--a \"b c\"")),
            .Host = { UP },
            .Shell = { "/usr/bin/prog|OPEN|--a \"b c\"|/usr/bin|normal" } },
        { .Name = "ProgramMinimised",
            .Entry = Exec(prog),
            .Keys = shift,
            .Host = { UP },
            .Shell = { "/usr/bin/prog|OPEN||/usr/bin|min" } },
        { .Name = "CapsLockElevates",
            .Entry = Exec(prog),
            .Keys = caps,
            .Host = { UP },
            .Shell = { "/usr/bin/prog|RUNAS||/usr/bin|normal" } },
        { .Name = "ControlPanelItem",
            .Entry = Exec(QStringLiteral("/x/desk.CPL"), {}, QStringLiteral("Admin")),
            .Keys = caps,
            .Host = { UP },
            .Shell = { "/x/desk.CPL|CPLOPEN||/x|normal" } },
        { .Name = "RootFolder",
            .Entry = Exec(QStringLiteral("/vmlinuz")),
            .Host = { UP },
            .Shell = { "/vmlinuz|OPEN||/|normal" } },
        { .Name = "Address",
            .Entry = Exec(QStringLiteral("https://example.org/a")),
            .Host = { UP },
            .Shell = { "https://example.org/a|OPEN||https://example.org|normal" } },
        { .Name = "TrashClassId",
            .Entry = Exec(QStringLiteral("::{645ff040-5081-101b-9f08-00aa002f954e}")),
            .Keys = shift,
            .Host = { UP },
            .Shell = { "trash:///|OPEN|||min" } },
        { .Name = "SecondClassIdWins",
            .Entry = Exec(QStringLiteral(
                "::{645FF040-5081-101B-9F08-00AA002F954E}\\::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\C:")),
            .Host = { UP },
            .Shell = { "computer:///|OPEN|||normal" } },
        { .Name = "UnknownClassId",
            .Entry = Exec(QStringLiteral("::{00000000-0000-0000-0000-000000000001}"), QStringLiteral("p")),
            .Host = { UP },
            .Shell = { "::{00000000-0000-0000-0000-000000000001}|OPEN|||normal" } },
    };
}

class DispatchTest : public LauncherTest, public ::testing::WithParamInterface<TDispatchRow> { };

TEST_P(DispatchTest, DoesWhatTheTargetAsks)
{
    const TDispatchRow& row = GetParam();
    Settings.Banks = row.Banks;
    Settings.OnTop = row.OnTop;
    Settings.ProwlKey = row.ProwlKey;
    Host.Weather = row.Weather;

    Click(row.Entry, row.Keys, row.Page);

    EXPECT_EQ(Host.Log, row.Host);
    EXPECT_EQ(ShellCalls(), row.Shell);
    EXPECT_EQ(Power.Calls, row.Power);
    EXPECT_EQ(Sound.Played, row.Played);
    EXPECT_EQ(Launcher->CurButton(), row.Page * 16);
    EXPECT_EQ(Host.MenuSuppressed, 1);
    EXPECT_EQ(Shell.DesktopShown, row.OnTop ? QList<bool> { true } : QList<bool> {});
}

INSTANTIATE_TEST_SUITE_P(Launcher, DispatchTest, ::testing::ValuesIn(DispatchRows()),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(LauncherTest, ACellBeyondTheButtonListOnlySounds)
{
    Launcher->LaunchButton({ Exec(QStringLiteral("/usr/bin/prog")) }, 1, 16, 3, {});
    EXPECT_EQ(Launcher->CurButton(), 19);
    EXPECT_EQ(Host.Log, QStringList { UP });
    EXPECT_TRUE(Shell.Opened.isEmpty());
}

TEST_F(LauncherTest, SecondClickOfADoubleClickOnlySounds)
{
    const TButtonEntry prog = Exec(QStringLiteral("/usr/bin/prog"));
    Click(prog);
    const qint64 firstTick = Clock.TickCount();
    Clock.Advance(Host.DoubleClickMs);
    Click(prog);
    EXPECT_EQ(Shell.Opened.size(), 1);
    EXPECT_EQ(Host.Log, (QStringList { UP, UP }));
    // The swallowed click counts as the last one: a third click right after is swallowed too.
    EXPECT_EQ(Launcher->LastLaunchTick(), firstTick + Host.DoubleClickMs);
    Clock.Advance(Host.DoubleClickMs + 1);
    Click(prog);
    EXPECT_EQ(Shell.Opened.size(), 2);

    // Another target right after is a click of its own.
    Click(Exec(QStringLiteral("/usr/bin/other")));
    EXPECT_EQ(Shell.Opened.size(), 3);
    EXPECT_EQ(Launcher->LastLaunched(), QStringLiteral("/usr/bin/other"));
}

TEST_F(LauncherTest, PageDigitIsNotSwallowedAndKeepsTheTick)
{
    Click(Exec(QStringLiteral("/usr/bin/prog")));
    const qint64 tick = Launcher->LastLaunchTick();
    Clock.Advance(10);
    Click(Exec(QStringLiteral("2")));
    Click(Exec(QStringLiteral("2")));
    EXPECT_EQ(Host.Log.count(QStringLiteral("SwitcherClick")), 1); // the second is a double click
    EXPECT_EQ(Launcher->LastLaunched(), QStringLiteral("2"));
    EXPECT_GT(Launcher->LastLaunchTick(), tick);
}

TEST_F(LauncherTest, FailedStartIsRetriedWithTheDefaultAction)
{
    Shell.FailVerbs = { QStringLiteral("RUNAS") };
    Click(Exec(QStringLiteral("/srv/doc.txt"), QStringLiteral("p"), QStringLiteral("Admin")));
    EXPECT_EQ(
        ShellCalls(), (QStringList { "/srv/doc.txt|RUNAS|p|/srv|normal", "/srv/doc.txt||p|/srv|normal" }));
    EXPECT_EQ(Launcher->LastLaunched(), QStringLiteral("/srv/doc.txt"));
}

TEST_F(LauncherTest, TargetIsExpandedAndMadeAbsolute)
{
    qputenv("QB_LAUNCH_TOOLS", "tools");
    Click(Exec(QStringLiteral("./${QB_LAUNCH_TOOLS}/../run.sh"), QStringLiteral("$QB_LAUNCH_TOOLS")));
    ASSERT_EQ(Shell.Opened.size(), 1);
    EXPECT_EQ(Shell.Opened[0].Target, Data.FilePath(QStringLiteral("run.sh")));
    EXPECT_EQ(Shell.Opened[0].Folder, Data.Path().chopped(1));
    // Parameters are handed on as typed: the program, not the bar, decides what they mean.
    EXPECT_EQ(Shell.Opened[0].Params, QStringLiteral("$QB_LAUNCH_TOOLS"));
    qunsetenv("QB_LAUNCH_TOOLS");
}

TEST_F(LauncherTest, DesktopButtonTogglesLikeTheDesktopKey)
{
    Settings.OnTop = true;
    Click(Exec(QStringLiteral("Desktop")));
    Clock.Advance(1000);
    Click(Exec(QStringLiteral("Desktop")));
    EXPECT_EQ(Shell.DesktopShown, (QList<bool> { true, false }));
}

TEST_F(LauncherTest, WaveButtonTogglesAndLosesItsMarkAtTheEnd)
{
    const TButtonEntry wav = Exec(QStringLiteral("/snd/a.wav"));
    Click(wav);
    EXPECT_EQ(Launcher->WavButton(), 0);
    EXPECT_EQ(Launcher->PlayingWav(), QStringLiteral("/snd/a.wav"));

    // A click on the playing file stops it (case does not matter).
    Clock.Advance(1000);
    Click(Exec(QStringLiteral("/snd/A.WAV")));
    EXPECT_EQ(Launcher->WavButton(), -1);
    EXPECT_TRUE(Launcher->PlayingWav().isEmpty());
    EXPECT_EQ(Sound.Played.size(), 1);

    // Clicked again it plays again, and its end removes the mark.
    Clock.Advance(1000);
    Click(wav);
    EXPECT_EQ(Launcher->WavButton(), 0);
    Host.Log.clear();
    Sound.EndAll();
    EXPECT_EQ(Launcher->WavButton(), -1);
    EXPECT_TRUE(Launcher->PlayingWav().isEmpty());
    EXPECT_EQ(Host.Log, QStringList { "DrawBank" });
}

TEST_F(LauncherTest, OneWaveAndOneMp3PlayAtATime)
{
    Click(Exec(QStringLiteral("/snd/a.wav")));
    Click(Exec(QStringLiteral("/snd/m.mp3")));
    Click(Exec(QStringLiteral("/snd/b.wav")));
    EXPECT_EQ(Launcher->PlayingWav(), QStringLiteral("/snd/b.wav"));
    EXPECT_EQ(Launcher->PlayingMp3(), QStringLiteral("/snd/m.mp3"));
    // The first wave was stopped, and its end did not take the new wave's mark.
    EXPECT_EQ(Launcher->WavButton(), 0);

    Click(Exec(QStringLiteral("/snd/n.mp3")));
    EXPECT_EQ(Launcher->PlayingMp3(), QStringLiteral("/snd/n.mp3"));
    EXPECT_EQ(Launcher->Mp3Button(), 0);

    Launcher->StopButtonSounds();
    EXPECT_EQ(Launcher->WavButton(), -1);
    EXPECT_EQ(Launcher->Mp3Button(), -1);
    EXPECT_TRUE(Launcher->PlayingWav().isEmpty());
    EXPECT_TRUE(Launcher->PlayingMp3().isEmpty());
    EXPECT_EQ(Host.Log.last(), QStringLiteral("DrawBank"));
}

TEST_F(LauncherTest, PlayingMarksFollowSwappedButtons)
{
    Click(Exec(QStringLiteral("/snd/a.wav")));
    ASSERT_EQ(Launcher->WavButton(), 0);
    Launcher->ButtonsSwapped(0, 3);
    EXPECT_EQ(Launcher->WavButton(), 3);
    Launcher->ButtonsSwapped(7, 3);
    EXPECT_EQ(Launcher->WavButton(), 7);
    Launcher->ButtonsSwapped(1, 2);
    EXPECT_EQ(Launcher->WavButton(), 7);
    Sound.EndAll();
    EXPECT_EQ(Launcher->WavButton(), -1);
}

TEST_F(LauncherTest, SoundThatCannotPlayGetsNoMark)
{
    Sound.Exists = { QStringLiteral("/snd/real.wav") };
    Click(Exec(QStringLiteral("/snd/missing.mp3")));
    EXPECT_EQ(Launcher->Mp3Button(), -1);
    Click(Exec(QStringLiteral("/snd/missing.wav")));
    EXPECT_EQ(Launcher->WavButton(), -1);
    EXPECT_EQ(Launcher->LastLaunched(), QStringLiteral("/snd/missing.wav"));
}

TEST_F(LauncherTest, PowerCommandWaitsForItsExitSound)
{
    const QString bye = Data.Write(QStringLiteral("bye.wav"), "RIFF");
    Click(Exec(QStringLiteral("Turn off"), QStringLiteral("./bye.wav")), { .Shift = true });
    EXPECT_EQ(Host.Log, QStringList { UP });
    EXPECT_EQ(Sound.Played, QStringList { bye });
    EXPECT_TRUE(Power.Calls.isEmpty());
    EXPECT_TRUE(Launcher->ExitPending());
    EXPECT_EQ(Host.TimerDelays(), QList<int> { 10000 });

    Sound.EndAll();
    EXPECT_EQ(Power.Calls, QStringList { "PowerOff forced" });
    // The time limit that follows changes nothing.
    Host.RunTimers();
    EXPECT_EQ(Power.Calls.size(), 1);
    // Nothing of a power click is remembered: the same click again acts again.
    EXPECT_TRUE(Launcher->LastLaunched().isEmpty());
}

TEST_F(LauncherTest, ExitSoundThatNeverEndsHoldsThePowerCommandTenSeconds)
{
    Click(Exec(QStringLiteral("Restart"), QStringLiteral("/snd/long.MP3")));
    EXPECT_TRUE(Power.Calls.isEmpty());
    Host.RunTimers();
    EXPECT_EQ(Power.Calls, QStringList { "Reboot" });
    Sound.EndAll();
    EXPECT_EQ(Power.Calls.size(), 1);
}

TEST_F(LauncherTest, PowerCommandWithoutUsableExitSoundActsAtOnce)
{
    Sound.Exists = { QStringLiteral("/snd/real.wav") };
    Click(Exec(QStringLiteral("Standby"), QStringLiteral("/snd/missing.wav")));
    Clock.Advance(1000);
    Click(Exec(QStringLiteral("Hibernate"), QStringLiteral("/snd/notes.txt")));
    EXPECT_EQ(Power.Calls, (QStringList { "Suspend", "Hibernate" }));
    EXPECT_EQ(Sound.Played, QStringList { "/snd/missing.wav" });
    EXPECT_FALSE(Launcher->ExitPending());
    EXPECT_TRUE(Host.Timers.isEmpty());
}

class PlacementTest : public LauncherTest {
protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        Host.Screens = { { QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040), true },
            { QRect(1920, 0, 1280, 1024), QRect(1920, 0, 1280, 1024), false } };
        Windows.Windows = { { { 7, QStringLiteral("editor"), true }, QRect(100, 100, 300, 200), false } };
        Windows.Active = 7;
    }
    void ClickWithWinPos(const QString& winPos)
    {
        TButtonEntry e = Exec(QStringLiteral("/usr/bin/editor"));
        e.WinPos = winPos;
        Click(e);
    }
};

TEST_F(PlacementTest, WindowInFrontAfterTheDelayIsPlaced)
{
    ClickWithWinPos(QStringLiteral("10,20,810,620,3000"));
    EXPECT_EQ(Launcher->PendingWinPos(), QStringLiteral("10,20,810,620,3000"));
    EXPECT_TRUE(Host.Timers.isEmpty());

    Launcher->Deactivated();
    EXPECT_TRUE(Launcher->PendingWinPos().isEmpty());
    EXPECT_EQ(Host.TimerDelays(), QList<int> { 3000 });
    Host.RunTimers();
    EXPECT_EQ(Windows.Calls, (QStringList { "Move 7", "MoveResize 7" }));
    EXPECT_EQ(Windows.WindowRect(7), QRect(10, 20, 800, 600));

    // The placement is used once.
    Launcher->Deactivated();
    EXPECT_TRUE(Host.Timers.isEmpty());
}

TEST_F(PlacementTest, EveryTargetKindKeepsTheWinPos)
{
    TButtonEntry e = Exec(QStringLiteral("2"));
    e.WinPos = QStringLiteral("0,0,800,600");
    Click(e);
    EXPECT_EQ(Launcher->PendingWinPos(), QStringLiteral("0,0,800,600"));
}

TEST_F(PlacementTest, NothingIsPlacedOverTheBarTheDesktopOrWhileClosing)
{
    const auto tryWith = [this](TWindowId active, bool closing) {
        Windows.Calls.clear();
        Windows.Active = active;
        Host.IsClosing = closing;
        Clock.Advance(1000);
        ClickWithWinPos(QStringLiteral("0,0,800,600,0"));
        Launcher->Deactivated();
        Host.RunTimers();
        return Windows.Calls;
    };
    Windows.Desktop = 9;
    EXPECT_TRUE(tryWith(Host.Bar, false).isEmpty());
    EXPECT_TRUE(tryWith(9, false).isEmpty());
    EXPECT_TRUE(tryWith(0, false).isEmpty());
    EXPECT_TRUE(tryWith(7, true).isEmpty());
    EXPECT_FALSE(tryWith(7, false).isEmpty());
}

TEST_F(PlacementTest, TooFewFieldsPlaceNothing)
{
    ClickWithWinPos(QStringLiteral("0,0,800"));
    Launcher->Deactivated();
    EXPECT_TRUE(Host.Timers.isEmpty());
    EXPECT_TRUE(Launcher->PendingWinPos().isEmpty());
}

} // namespace
} // namespace qb
