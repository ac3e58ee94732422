// Display, idle time, keys and pointer as the X server has them (Xvfb: no DPMS, no rotation).
#include "platform/linux/LinuxDisplay.h"
#include "platform/linux/LinuxInput.h"
#include "platform/linux/X11.h"
#include "support/Process.h"
#include "support/Wait.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QScreen>
#include <QWindow>

#include <xcb/screensaver.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace qb {
namespace {

void Xdotool(const QStringList& args)
{
    test::OutputOf(QStringLiteral("xdotool"), args);
}

struct TSaver {
    int Timeout = -1;
    int State = -1;
};

TSaver Saver()
{
    xcb_connection_t* c = x11::Connection();
    TSaver saver;
    if (auto* s = xcb_get_screen_saver_reply(c, xcb_get_screen_saver(c), nullptr)) {
        saver.Timeout = s->timeout;
        std::free(s);
    }
    if (auto* info
        = xcb_screensaver_query_info_reply(c, xcb_screensaver_query_info(c, x11::Root(c)), nullptr)) {
        saver.State = info->state;
        std::free(info);
    }
    return saver;
}

// No desktop screen saver service: the X server's own screen saver is used.
QDBusConnection NoBus()
{
    return QDBusConnection(QStringLiteral("qb-no-session-bus"));
}

TEST(LinuxDisplay, VirtualDisplayCannotBeSwitchedOffOrRotated)
{
    LinuxDisplay display(NoBus());
    EXPECT_FALSE(display.MonitorOff());
    const QRect before = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(display.SetOrientation(QPoint(10, 10), TOrientation::Default), TOrientationResult::AlreadySet);
    EXPECT_EQ(display.SetOrientation(QPoint(10, 10), TOrientation::Rotate90), TOrientationResult::Refused);
    EXPECT_EQ(
        display.SetOrientation(QPoint(-500, 5000), TOrientation::Rotate180), TOrientationResult::Refused);
    EXPECT_EQ(QGuiApplication::primaryScreen()->geometry(), before);
}

TEST(LinuxDisplay, StartsTheScreenSaver)
{
    LinuxDisplay display(NoBus());
    display.StartScreenSaver();
    EXPECT_TRUE(test::WaitFor([] { return Saver().State == XCB_SCREENSAVER_STATE_ON; }));
    xcb_connection_t* c = x11::Connection();
    xcb_force_screen_saver(c, XCB_SCREEN_SAVER_RESET);
    xcb_flush(c);
    EXPECT_TRUE(test::WaitFor([] { return Saver().State != XCB_SCREENSAVER_STATE_ON; }));
}

TEST(LinuxDisplay, KeepAwakeSuspendsTheScreenSaverTimeoutAndRestoresIt)
{
    xcb_connection_t* c = x11::Connection();
    const TSaver original = Saver();
    xcb_set_screen_saver(c, 321, 0, XCB_BLANKING_PREFERRED, XCB_EXPOSURES_ALLOWED);
    xcb_flush(c);
    {
        LinuxDisplay display(NoBus());
        display.SetKeepAwake(true);
        EXPECT_EQ(Saver().Timeout, 0);
        display.SetKeepAwake(true);
        display.SetKeepAwake(false);
        EXPECT_EQ(Saver().Timeout, 321);
        // Ending the program while awake gives the timeout back as well.
        display.SetKeepAwake(true);
        EXPECT_EQ(Saver().Timeout, 0);
    }
    EXPECT_EQ(Saver().Timeout, 321);
    xcb_set_screen_saver(c, qint16(original.Timeout), 0, XCB_BLANKING_PREFERRED, XCB_EXPOSURES_ALLOWED);
    xcb_flush(c);
}

TEST(LinuxDisplay, IdleTimeCountsFromTheLastInput)
{
    LinuxDisplay display(NoBus());
    Xdotool({ QStringLiteral("mousemove"), QStringLiteral("200"), QStringLiteral("200") });
    ASSERT_TRUE(test::WaitFor([&] { return display.IdleSeconds() >= 1; }, 5000));
    Xdotool({ QStringLiteral("mousemove"), QStringLiteral("210"), QStringLiteral("205") });
    EXPECT_TRUE(test::WaitFor([&] { return display.IdleSeconds() == 0; }));
}

TEST(LinuxInput, KeysButtonsAndPointerAsHeldNow)
{
    LinuxInput input;
    Xdotool({ QStringLiteral("mousemove"), QStringLiteral("321"), QStringLiteral("234") });
    EXPECT_TRUE(test::WaitFor([&] { return input.PointerPos() == QPoint(321, 234); }));

    Xdotool({ QStringLiteral("keydown"), QStringLiteral("shift") });
    EXPECT_TRUE(input.State().Shift);
    EXPECT_FALSE(input.State().Ctrl);
    Xdotool({ QStringLiteral("keyup"), QStringLiteral("shift") });
    Xdotool({ QStringLiteral("keydown"), QStringLiteral("ctrl"), QStringLiteral("alt") });
    EXPECT_TRUE(input.State().Ctrl && input.State().Alt && !input.State().Shift);
    Xdotool({ QStringLiteral("keyup"), QStringLiteral("ctrl"), QStringLiteral("alt") });
    EXPECT_FALSE(input.State().Ctrl || input.State().Alt);

    // Caps Lock counts as on between two presses, not while held.
    Xdotool({ QStringLiteral("key"), QStringLiteral("Caps_Lock") });
    EXPECT_TRUE(input.State().CapsLockOn);
    Xdotool({ QStringLiteral("key"), QStringLiteral("Caps_Lock") });
    EXPECT_FALSE(input.State().CapsLockOn);

    // Over a window of the test's own: a right press on the desktop opens the window
    // manager's menu, which would keep the keyboard.
    QWidget target;
    target.setGeometry(300, 200, 100, 100);
    target.show();
    ASSERT_TRUE(test::WaitFor([&] { return target.windowHandle() && target.windowHandle()->isExposed(); }));
    Xdotool({ QStringLiteral("mousedown"), QStringLiteral("3") });
    EXPECT_TRUE(input.State().RightButton);
    EXPECT_FALSE(input.State().LeftButton);
    Xdotool({ QStringLiteral("mouseup"), QStringLiteral("3") });
    EXPECT_FALSE(input.State().RightButton);
}

TEST(LinuxInput, KeysHeldWhicheverWindowHasTheFocus)
{
    LinuxInput input;
    for (const auto& [name, key] : { std::pair { "Pause", int(Qt::Key_Pause) }, std::pair { "F1", int(Qt::Key_F1) },
             std::pair { "space", int(Qt::Key_Space) } }) {
        EXPECT_FALSE(input.KeyHeld(key)) << name;
        Xdotool({ QStringLiteral("keydown"), QLatin1String(name) });
        EXPECT_TRUE(input.KeyHeld(key)) << name;
        Xdotool({ QStringLiteral("keyup"), QLatin1String(name) });
        EXPECT_FALSE(input.KeyHeld(key)) << name;
    }
    // Keys the bar never asks about are not looked up.
    EXPECT_FALSE(input.KeyHeld(Qt::Key_A));
}

TEST(LinuxInput, PasteChordTypesCtrlVEvenWithShiftHeld)
{
    QLineEdit edit;
    edit.setGeometry(100, 100, 300, 30);
    edit.show();
    edit.activateWindow();
    ASSERT_TRUE(test::WaitFor([&] { return edit.hasFocus() && QApplication::focusWidget() == &edit; }));
    const QString text = QStringLiteral("pasted ✓ %1").arg(QCoreApplication::applicationPid());
    QGuiApplication::clipboard()->setText(text);

    Xdotool({ QStringLiteral("keydown"), QStringLiteral("shift") });
    LinuxInput input;
    input.SendPasteChord();
    EXPECT_TRUE(test::WaitFor([&] { return edit.text() == text; })) << edit.text().toStdString();
    EXPECT_FALSE(input.State().Shift);
    Xdotool({ QStringLiteral("keyup"), QStringLiteral("shift") });
}

} // namespace
} // namespace qb
