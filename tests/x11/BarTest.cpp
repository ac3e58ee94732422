// The bar as its user sees it: started from a prepared data folder on Xvfb with openbox,
// clicked, dragged and keyed with xdotool, looked at through screenshots.
#include "storage/BitmapCollection.h"
#include "storage/ButtonList.h"
#include "support/Process.h"
#include "support/RunningBar.h"
#include "support/TempDataDir.h"
#include "support/Wait.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

namespace qb {
namespace {

// The 2 x 8 bar of 32-pixel icons with the switcher on the left: cell i's icon centre in
// bitmap (= window) pixels.
QPoint CellCentre(int cell)
{
    const int x = 16 + (cell % 8) * 36 + 2 + 16;
    const int y = (cell / 8) * 36 + 2 + 16;
    return { x, y };
}

TColor32 IconColour(int index)
{
    static const TColor32 colours[]
        = { 0xFFD02020, 0xFF20A020, 0xFF2040D0, 0xFFE0A000, 0xFF8020C0, 0xFF00A0A0, 0xFF606060, 0xFFC06080 };
    return colours[index % 8];
}

void Xdotool(const QStringList& args)
{
    test::OutputOf(QStringLiteral("xdotool"), args);
}

class BarTest : public ::testing::Test {
protected:
    // A data folder with `pages` pages of 2 x 8 buttons, each with a solid 32 x 32 icon of its
    // own colour, and the given settings text.
    void Prepare(const QByteArray& settings, int pages = 1)
    {
        Dir.Write(QStringLiteral("quillbar.ini"), "[Misc]\r\nFadeIn=0\r\nCheckForUpdates=0\r\n" + settings);
        TBitmapCollection icons;
        TButtonList buttons;
        for (int i = 0; i < 16 * pages; ++i) {
            TBitmap32& icon = icons.Add();
            icon.SetSize(32, 32);
            icon.Clear(IconColour(i + i / 16));
            TButtonEntry entry;
            entry.BType = QStringLiteral("Exec");
            entry.Path = QStringLiteral("/bin/true");
            entry.Hint = QStringLiteral("Button %1").arg(i);
            buttons.append(entry);
        }
        icons.WriteMaps(Dir.FilePath(QStringLiteral("Bitmaps.Stream")));
        SaveButtonList(Dir.Path(), buttons);
        Buttons = buttons;
    }

    void Start()
    {
        Xdotool({ QStringLiteral("mousemove"), QStringLiteral("10"),
            QStringLiteral("900") }); // away from the bar
        ASSERT_TRUE(Bar.Start()) << Bar.StandardError().toStdString();
        ASSERT_TRUE(test::WaitFor([&] { return Bar.Geometry().width() == 304; })) << "bar not placed";
        // Settled: the same place for a while, as a user would see it before clicking.
        QRect last = Bar.Geometry();
        int stable = 0;
        ASSERT_TRUE(test::WaitFor([&] {
            const QRect now = Bar.Geometry();
            stable = now == last ? stable + 1 : 0;
            last = now;
            return stable >= 10;
        }, 10000));
        Origin = last.topLeft();
    }

    QImage Screen() const { return QGuiApplication::primaryScreen()->grabWindow(0).toImage(); }
    TColor32 ScreenPixel(QPoint p) const { return Screen().pixel(Origin + p) | 0xFF000000u; }
    bool ShowsColour(int cell, TColor32 colour) const
    {
        return test::WaitFor([&] { return ScreenPixel(CellCentre(cell)) == colour; }, 3000);
    }

    void MoveTo(QPoint windowPoint)
    {
        const QPoint p = Origin + windowPoint;
        Xdotool({ QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y()) });
    }

    test::TempDataDir Dir;
    test::TRunningBar Bar { Dir };
    TButtonList Buttons;
    QPoint Origin;
};

TEST_F(BarTest, AppearsAtTheTopRightWithItsIcons)
{
    Prepare({});
    Start();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(Bar.Geometry(), QRect(area.right() + 1 - 304, area.top(), 304, 72));
    for (int cell : { 0, 5, 9, 15 })
        EXPECT_TRUE(ShowsColour(cell, IconColour(cell))) << "cell " << cell;
    // Between two icons lies the frame of the cells, not an icon.
    EXPECT_NE(ScreenPixel(QPoint(16 + 36, 18)), IconColour(0));
    const QByteArray settings = Dir.Read(QStringLiteral("quillbar.ini"));
    EXPECT_EQ(Bar.Stop(), 0);
    // Nothing changed, so nothing was written.
    EXPECT_EQ(Dir.Read(QStringLiteral("quillbar.ini")), settings);
}

TEST_F(BarTest, StandsOnTopAndOutOfTheTaskBarAsSet)
{
    Prepare("[Misc]\r\nOnTop=1\r\n");
    Start();
    const auto states = [&] {
        return test::OutputOf(QStringLiteral("xprop"),
            { QStringLiteral("-id"), Bar.WindowId(), QStringLiteral("_NET_WM_STATE") });
    };
    EXPECT_TRUE(test::WaitFor([&] {
        const QString s = states();
        return s.contains(QStringLiteral("_NET_WM_STATE_ABOVE"))
            && s.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR"));
    })) << states().toStdString();
    EXPECT_EQ(Bar.Stop(), 0);

    Prepare("[Security]\r\nShowAltTab=1\r\n");
    Start();
    test::WaitFor([] { return false; }, 500); // give the window manager time to apply any state
    const QString s = states();
    EXPECT_FALSE(s.contains(QStringLiteral("_NET_WM_STATE_ABOVE"))) << s.toStdString();
    EXPECT_FALSE(s.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR"))) << s.toStdString();
}

TEST_F(BarTest, ClickStartsTheButtonsProgramWithItsParametersAsTyped)
{
    Prepare({});
    const QString script = Dir.Write(
        QStringLiteral("record.sh"), "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/ran.txt\"\n");
    QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
    Buttons[0].Path = script;
    Buttons[0].Params = QStringLiteral("one \"two words\" ;$(touch pwned)");
    SaveButtonList(Dir.Path(), Buttons);
    Start();

    MoveTo(CellCentre(0));
    Xdotool({ QStringLiteral("click"), QStringLiteral("1") });
    ASSERT_TRUE(test::WaitFor([&] { return Dir.Exists(QStringLiteral("ran.txt")); }, 5000));
    // Split like a command line, never run through a shell.
    EXPECT_EQ(Dir.Read(QStringLiteral("ran.txt")), "one\ntwo words\n;$(touch\npwned)\n");
    EXPECT_FALSE(Dir.Exists(QStringLiteral("pwned")));
}

TEST_F(BarTest, ClickOnTheOutermostRowSlidesTheBarToAStrip)
{
    Prepare({});
    Start();
    MoveTo(QPoint(150, 0));
    Xdotool({ QStringLiteral("click"), QStringLiteral("1") });
    ASSERT_TRUE(test::WaitFor([&] { return Bar.Geometry().height() == 1; }, 5000)) << Bar.Geometry().height();
    EXPECT_EQ(Bar.Geometry(), QRect(Origin, QSize(304, 1)));
    // The strip is 1 pixel high for the last part of the slide; presses count once it is over.
    test::WaitFor([] { return false; }, 800);
    // A click on the strip brings the bar back (auto-hide is off).
    Xdotool({ QStringLiteral("click"), QStringLiteral("1") });
    ASSERT_TRUE(test::WaitFor([&] { return Bar.Geometry().height() == 72; }, 5000));
}

TEST_F(BarTest, DraggingAButtonOntoAnotherCellSwapsThemAndShutdownSavesIt)
{
    Prepare({});
    Start();
    MoveTo(CellCentre(0));
    Xdotool({ QStringLiteral("mousedown"), QStringLiteral("1") });
    for (int step = 1; step <= 10; ++step) {
        const QPoint p = CellCentre(0) + (CellCentre(5) - CellCentre(0)) * step / 10;
        MoveTo(p);
        test::WaitFor([] { return false; }, 30); // let the animation follow as a hand would
    }
    test::WaitFor([] { return false; }, 300);
    Xdotool({ QStringLiteral("mouseup"), QStringLiteral("1") });
    MoveTo(QPoint(150, 500)); // off the bar, so the hover effect does not change the colours
    EXPECT_TRUE(ShowsColour(5, IconColour(0)));
    EXPECT_TRUE(ShowsColour(0, IconColour(5)));
    EXPECT_EQ(Bar.Stop(), 0);

    const TButtonList saved = LoadButtonList(Dir.Path(), 16);
    EXPECT_EQ(saved[5].Hint, QStringLiteral("Button 0"));
    EXPECT_EQ(saved[0].Hint, QStringLiteral("Button 5"));
    TBitmapCollection icons;
    icons.ReadMaps(Dir.FilePath(QStringLiteral("Bitmaps.Stream")));
    ASSERT_EQ(icons.Count(), 16);
    EXPECT_EQ(icons.GetBitmap(5).Pixel(10, 10), IconColour(0));
    EXPECT_EQ(icons.GetBitmap(0).Pixel(10, 10), IconColour(5));
    EXPECT_EQ(icons.GetBitmap(1).Pixel(10, 10), IconColour(1));
}

TEST_F(BarTest, GlobalHotKeyBringsTheBarForwardThenFlipsThePage)
{
    Prepare({ "[Size]\r\nBanks=2\r\n" }, 2);
    Start();
    ASSERT_TRUE(ShowsColour(0, IconColour(0)));

    // Another window has the focus.
    QWidget other;
    other.setWindowTitle(QStringLiteral("qb-other"));
    other.setGeometry(100, 300, 300, 200);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(test::WaitFor([&] { return other.isActiveWindow(); }));

    Xdotool({ QStringLiteral("key"), QStringLiteral("ctrl+F1") });
    ASSERT_TRUE(test::WaitFor([&] { return !other.isActiveWindow(); })) << "the bar did not come forward";
    EXPECT_TRUE(ShowsColour(0, IconColour(0))); // still the first page

    Xdotool({ QStringLiteral("key"), QStringLiteral("ctrl+F1") });
    EXPECT_TRUE(ShowsColour(0, IconColour(17))) << "the second page was not shown";
}

} // namespace
} // namespace qb
