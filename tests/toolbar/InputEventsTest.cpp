#include "toolbar/InputEvents.h"

#include "GeometryPrinters.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(InputEvents, MouseEventsBecomePlainData)
{
    const QMouseEvent release(QEvent::MouseButtonRelease, QPointF(12.4, 30.6), QPointF(12.4, 30.6),
        QPointF(1012.4, 40.6), Qt::LeftButton, Qt::RightButton, Qt::ShiftModifier | Qt::AltModifier);
    const TPointerEvent e = PointerEventOf(release, true);
    EXPECT_EQ(e.Pos, QPoint(12, 31));
    EXPECT_EQ(e.ScreenPos, QPoint(1012, 41));
    EXPECT_EQ(e.Button, Qt::LeftButton);
    TShiftState want;
    want.Shift = true;
    want.Alt = true;
    want.Right = true; // held after the left one went up
    want.CapsLockOn = true;
    EXPECT_EQ(e.Keys, want);
}

TEST(InputEvents, AModifierKeyCountsAsHeldByItsOwnPress)
{
    const QKeyEvent ctrl(QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier);
    EXPECT_TRUE(KeyEventOf(ctrl, Qt::NoButton, false).Keys.Ctrl);
    const QKeyEvent digit(QEvent::KeyPress, Qt::Key_3, Qt::KeypadModifier);
    const TKeyEvent e = KeyEventOf(digit, Qt::LeftButton, false);
    EXPECT_EQ(e.Key, Qt::Key_3);
    EXPECT_TRUE(e.Keypad);
    EXPECT_FALSE(e.Keys.Ctrl);
    EXPECT_TRUE(e.Keys.Left);
}

} // namespace
} // namespace qb
