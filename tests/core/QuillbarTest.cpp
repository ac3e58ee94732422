#include "core/Quillbar.h"

#include "platform/ISession.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeDesktopWindows.h"
#include "platform/fake/FakeDisplay.h"
#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakeInput.h"
#include "platform/fake/FakePower.h"
#include "platform/fake/FakeShell.h"
#include "platform/fake/FakeSound.h"
#include "support/TempDataDir.h"
#include "support/Wait.h"

#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace qb {
namespace {

// A bar on fake services, its program file in a temporary folder.
class QuillbarTest : public ::testing::Test {
protected:
    QuillbarTest() { Exe.Write(QStringLiteral("quillbar"), "#!"); }
    ~QuillbarTest() override { QDir::setCurrent(QDir::tempPath()); }

    std::unique_ptr<TQuillbar1> Make(TProgramFile program = {})
    {
        if (program.ExeFile.isEmpty())
            program.ExeFile = Exe.FilePath(QStringLiteral("quillbar"));
        if (program.UserDataDir == UserDataDir())
            program.UserDataDir = User.FilePath(QStringLiteral("Zorv/Quillbar"));
        return std::make_unique<TQuillbar1>(Services, program);
    }

    // Closes the bar and lets the fade-out run to its end.
    void CloseAndFinish(TQuillbar1& bar)
    {
        QSignalSpy finished(&bar, &TQuillbar1::Finished);
        bar.Close();
        Clock.Advance(600);
        ASSERT_TRUE(test::WaitFor([&] { return finished.count() == 1; }));
    }

    QStringList DataFiles() const { return QDir(Exe.Path()).entryList(QDir::Files, QDir::Name); }

    test::TempDataDir Exe, User;
    FakeClock Clock;
    FakeSound Sound;
    FakeHotKeys HotKeys;
    ISession Session;
    FakeShell Shell;
    FakePower Power;
    FakeDisplay Display;
    FakeDesktopWindows Windows;
    FakeInput Input;
    TBarServices Services { Clock, Sound, HotKeys, Session, Shell, Power, Display, Windows, Input };
};

TEST_F(QuillbarTest, StartsWithDefaultsAndWritesNothingWhenNothingChanged)
{
    auto bar = Make();
    bar->FormCreate();
    EXPECT_EQ(bar->Locations().DataDir, Exe.Path());
    EXPECT_EQ(QDir::currentPath() + u'/', Exe.Path());
    EXPECT_EQ(bar->Settings().Rows, 2);
    EXPECT_EQ(bar->Buttons().size(), 16);
    EXPECT_EQ(bar->Icons().Count(), 16);
    EXPECT_EQ(bar->Display32().Width(), 304);
    EXPECT_EQ(bar->Display32().Height(), 72);
    EXPECT_FALSE(bar->State().Modified);
    // The default hot keys were registered.
    EXPECT_EQ(HotKeys.Registered.value(0), QKeyCombination(Qt::ControlModifier, Qt::Key_F1));

    bar->Show();
    EXPECT_TRUE(test::WaitFor([&] { return Sound.Played.contains(QStringLiteral(":/sounds/LTING.wav")); }));

    CloseAndFinish(*bar);
    EXPECT_EQ(DataFiles(), QStringList { QStringLiteral("quillbar") });
    EXPECT_TRUE(HotKeys.Registered.isEmpty());
    EXPECT_FALSE(bar->Window()->isVisible());
}

TEST_F(QuillbarTest, ShutdownSavesChangesOnlyWithSaveOnExit)
{
    Exe.Write(QStringLiteral("quillbar.ini"), "[Size]\r\nRows=3\r\n");
    {
        auto bar = Make();
        bar->FormCreate();
        EXPECT_EQ(bar->Buttons().size(), 24);
        bar->Settings().Cols = 4;
        bar->State().Modified = true;
        CloseAndFinish(*bar);
    }
    const QByteArray saved = Exe.Read(QStringLiteral("quillbar.ini"));
    EXPECT_TRUE(saved.startsWith("\xEF\xBB\xBF[Size]\r\nRows=3\r\nCols=4\r\n"))
        << saved.left(60).toStdString();
    EXPECT_TRUE(Exe.Exists(QStringLiteral("IconList.ini")));
    EXPECT_FALSE(Exe.Exists(QStringLiteral("Bitmaps.Stream"))); // the icons did not change

    Exe.Write(QStringLiteral("quillbar.ini"), "[Misc]\r\nSaveOnExit=0\r\n");
    {
        auto bar = Make();
        bar->FormCreate();
        bar->Settings().Cols = 5;
        bar->State().Modified = true;
        CloseAndFinish(*bar);
    }
    EXPECT_EQ(Exe.Read(QStringLiteral("quillbar.ini")), "[Misc]\r\nSaveOnExit=0\r\n");

    // "Save" writes whatever SaveOnExit says.
    auto bar = Make();
    bar->FormCreate();
    bar->Settings().Cols = 5;
    bar->SaveNow();
    EXPECT_TRUE(Exe.Read(QStringLiteral("quillbar.ini")).contains("Cols=5\r\n"));
    EXPECT_FALSE(bar->State().Modified);
}

TEST_F(QuillbarTest, InstalledProgramMigratesIntoTheUserFolderOnFirstRun)
{
    Exe.Write(QStringLiteral("quillbar.ini"), "[Size]\r\nCols=4\r\n");
    Exe.Write(QStringLiteral("IconList.ini"), "[1]\r\nType=Exec\r\nPath=/bin/true\r\n");
    TProgramFile program;
    program.SystemFolders = { Exe.Path() };
    auto bar = Make(program);
    bar->FormCreate();
    const QString data = User.FilePath(QStringLiteral("Zorv/Quillbar/"));
    EXPECT_EQ(bar->Locations().DataDir, data);
    EXPECT_EQ(QDir::currentPath() + u'/', data);
    EXPECT_EQ(bar->Settings().Cols, 4);
    EXPECT_EQ(bar->Buttons().value(0).Path, QStringLiteral("/bin/true"));
}

TEST_F(QuillbarTest, DamagedFilesNeverStopStartUp)
{
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919) & 0xFF);
    Exe.Write(QStringLiteral("quillbar.ini"), garbage);
    Exe.Write(QStringLiteral("IconList.ini"), garbage);
    Exe.Write(QStringLiteral("Bitmaps.Stream"), QByteArray("\x03\0\0\0\x10\0\0\0BMgarbage", 18));
    auto bar = Make();
    bar->FormCreate();
    EXPECT_EQ(bar->Buttons().size(), 16);
    EXPECT_EQ(bar->Icons().Count(), 16);
    // Nothing was rewritten behind the user's back.
    EXPECT_EQ(Exe.Read(QStringLiteral("quillbar.ini")), garbage);
}

TEST_F(QuillbarTest, SessionEndClosesTheBarOnce)
{
    auto bar = Make();
    bar->FormCreate();
    bar->Show();
    QSignalSpy finished(bar.get(), &TQuillbar1::Finished);
    Q_EMIT Session.EndRequested();
    Q_EMIT Session.EndRequested();
    EXPECT_TRUE(bar->State().Closing);
    Clock.Advance(600);
    ASSERT_TRUE(test::WaitFor([&] { return finished.count() == 1; }));
    test::WaitFor([] { return false; }, 50);
    EXPECT_EQ(finished.count(), 1);
}

} // namespace
} // namespace qb

namespace qb {
namespace {

TEST_F(QuillbarTest, AutoHideSlidesADockedBarToAStripAndHoverBringsItBack)
{
    // Docked in the top-right corner: +2000 prefers the top edge.
    Exe.Write(QStringLiteral("quillbar.ini"), "[Misc]\r\nAutoHide=2000\r\nFadeIn=0\r\n");
    auto bar = Make();
    bar->FormCreate();
    bar->Show();
    ASSERT_TRUE(test::WaitFor([&] { return bar->AutoHideRunning(); }));
    const QRect full = bar->Window()->geometry();
    const QRect area = bar->Layout().WorkArea;
    ASSERT_EQ(full.top(), area.top());
    ASSERT_EQ(full.right(), area.right());

    Input.Pointer = area.center(); // away from the bar
    bar->Timer1Timer(); // arms
    Clock.Advance(2001);
    bar->Timer1Timer(); // the delay has passed: slide up
    ASSERT_TRUE(bar->Docking().Sliding);
    Clock.Advance(375);
    bar->SlideTick();
    const QRect half = bar->Window()->geometry();
    EXPECT_EQ(half.width(), full.width());
    EXPECT_GT(half.height(), 1);
    EXPECT_LT(half.height(), full.height());
    Clock.Advance(375);
    bar->SlideTick();
    EXPECT_TRUE(bar->Docking().SlidOut);
    EXPECT_EQ(bar->Window()->geometry(), QRect(full.left(), full.top(), full.width(), 1));

    // The pointer on the remaining strip brings it back.
    Input.Pointer = QPoint(full.center().x(), full.top());
    bar->Timer1Timer();
    ASSERT_TRUE(bar->Docking().Sliding);
    Clock.Advance(750);
    bar->SlideTick();
    EXPECT_FALSE(bar->Docking().SlidOut);
    EXPECT_EQ(bar->Window()->geometry(), full);
}

TEST_F(QuillbarTest, SwitcherClickFlipsPagesOrSlidesASinglePage)
{
    Exe.Write(QStringLiteral("quillbar.ini"), "[Size]\r\nBanks=3\r\n[Misc]\r\nFadeIn=0\r\nSlideSpeed=10\r\n");
    auto bar = Make();
    bar->FormCreate();
    bar->Show();
    Sound.Played.clear();
    bar->SwitcherClick();
    bar->SwitcherClick();
    EXPECT_EQ(bar->CurPage(), 2);
    bar->SwitcherClick();
    EXPECT_EQ(bar->CurPage(), 0);
    EXPECT_EQ(Sound.Played.count(QStringLiteral(":/sounds/LTING.wav")), 3);

    bar->Settings().Banks = 1;
    const QRect full = bar->Window()->geometry();
    bar->SwitcherClick();
    EXPECT_TRUE(bar->Docking().SlidOut);
    // Collapsed to the switcher on the left: the strip's width in window pixels remains.
    EXPECT_EQ(bar->Window()->geometry().width(), bar->Layout().Switcher.ZoomWidth);
    EXPECT_EQ(bar->Window()->geometry().height(), full.height());
    EXPECT_EQ(Sound.Played.last(), QStringLiteral(":/sounds/GLICK.wav")); // SLOUT plays the glick

    bar->Settings().CheviCap = QStringLiteral("¤");
    bar->SwitcherClick();
    EXPECT_TRUE(bar->State().Closing);
}

} // namespace
} // namespace qb

namespace qb {
namespace {

TEST_F(QuillbarTest, AdminButtonShowsItsShieldInTheIconsCorner)
{
    Exe.Write(QStringLiteral("IconList.ini"), "[1]\r\nType=Exec\r\nPath=/bin/true\r\nFlags=Admin\r\n");
    auto bar = Make();
    bar->FormCreate();
    // The icon of cell 0 lies at (18, 2)-(50, 34); the shield takes its bottom-right quarter.
    const TBitmap32& page = bar->Display32();
    const TColor32 face = page.Pixel(30, 10);
    int shield = 0;
    for (int y = 26; y < 34; ++y)
        for (int x = 42; x < 50; ++x)
            shield += page.Pixel(x, y) != face;
    EXPECT_GT(shield, 16);
    // The same corner of an ordinary button is plain.
    for (int y = 26; y < 34; ++y)
        for (int x = 42 + 36; x < 50 + 36; ++x)
            EXPECT_EQ(page.Pixel(x, y), face) << x << "," << y;
}

} // namespace
} // namespace qb
