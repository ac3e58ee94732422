// Global hot keys reach the program while another program's window has the focus.
#include "ClientWindow.h"

#include "platform/linux/LinuxHotKeys.h"
#include "platform/linux/X11.h"
#include "support/Process.h"
#include "support/Wait.h"

#include <X11/keysym.h>
#include <xcb/xcb_keysyms.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace qb {
namespace {

void Press(const char* keys)
{
    test::OutputOf(QStringLiteral("xdotool"), { QStringLiteral("key"), QString::fromLatin1(keys) });
}

class LinuxHotKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(Other.Id(), 0u);
        ASSERT_TRUE(Other.Activate());
        QObject::connect(&Keys, &IHotKeys::Activated, [this](int id) { Activated << id; });
    }
    // Waits for `id`; what came before it is in Activated as well (X events keep their order).
    bool WaitForActivation(int id)
    {
        return test::WaitFor([&] { return Activated.contains(id); });
    }

    test::TClientWindow Other { test::UniqueTitle("focus") };
    LinuxHotKeys Keys;
    QList<int> Activated;
};

TEST_F(LinuxHotKeysTest, PressWhileAnotherWindowHasTheFocus)
{
    ASSERT_TRUE(Keys.Register(0, QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_K)));
    ASSERT_TRUE(Keys.Register(7, QKeyCombination(Qt::ShiftModifier | Qt::ControlModifier, Qt::Key_F11)));
    Press("ctrl+alt+k");
    ASSERT_TRUE(WaitForActivation(0));
    Press("shift+ctrl+F11");
    ASSERT_TRUE(WaitForActivation(7));
    EXPECT_EQ(Activated, (QList<int> { 0, 7 }));

    // Other modifiers make another combination.
    Press("ctrl+k");
    Press("ctrl+alt+shift+k");
    Press("ctrl+alt+k");
    ASSERT_TRUE(test::WaitFor([&] { return Activated.size() == 3; }));
    EXPECT_EQ(Activated, (QList<int> { 0, 7, 0 }));
}

TEST_F(LinuxHotKeysTest, LockKeysDoNotMatter)
{
    ASSERT_TRUE(Keys.Register(3, QKeyCombination(Qt::ControlModifier, Qt::Key_F8)));
    Press("Num_Lock");
    Press("ctrl+F8");
    Press("Num_Lock");
    Press("Caps_Lock");
    Press("ctrl+F8");
    Press("Num_Lock");
    Press("ctrl+F8");
    Press("Num_Lock");
    Press("Caps_Lock");
    EXPECT_TRUE(test::WaitFor([&] { return Activated.size() == 3; }));
}

TEST_F(LinuxHotKeysTest, UnregisteredAndReplacedKeysAreFreed)
{
    ASSERT_TRUE(Keys.Register(1, QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_P)));
    ASSERT_TRUE(Keys.Register(2, QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_O)));
    Keys.Unregister(1);
    // Registering an id again replaces its combination.
    ASSERT_TRUE(Keys.Register(2, QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_U)));
    Press("ctrl+alt+p");
    Press("ctrl+alt+o");
    Press("ctrl+alt+u");
    ASSERT_TRUE(WaitForActivation(2));
    EXPECT_EQ(Activated, QList<int> { 2 });
}

TEST_F(LinuxHotKeysTest, CombinationHeldByAnotherProgramIsRefused)
{
    // Another client grabs Ctrl+Alt+J (with and without Num Lock) first.
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    ASSERT_FALSE(xcb_connection_has_error(other));
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(other);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, XK_j);
    ASSERT_NE(codes, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    const quint16 mods = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    xcb_generic_error_t* error = xcb_request_check(other,
        xcb_grab_key_checked(other, 1, root, mods, codes[0], XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    ASSERT_EQ(error, nullptr);

    EXPECT_FALSE(Keys.Register(4, QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_J)));
    // Another combination is not disturbed by the failure.
    EXPECT_TRUE(Keys.Register(5, QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_L)));

    std::free(codes);
    xcb_key_symbols_free(symbols);
    xcb_disconnect(other);
    // Once the other program has let go, the combination is free.
    EXPECT_TRUE(test::WaitFor(
        [&] { return Keys.Register(4, QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_J)); }));
    Press("ctrl+alt+j");
    EXPECT_TRUE(WaitForActivation(4));
}

// Whether some client holds a grab of `keycode` with `mods` on the root window: a grab from a
// connection of our own is refused then.
bool HeldByAnother(xcb_connection_t* probe, xcb_keycode_t keycode, quint16 mods)
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(probe)).data->root;
    xcb_generic_error_t* error = xcb_request_check(
        probe, xcb_grab_key_checked(probe, 1, root, mods, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    if (!error) {
        xcb_ungrab_key(probe, keycode, root, mods);
        xcb_flush(probe);
        return false;
    }
    std::free(error);
    return true;
}

TEST_F(LinuxHotKeysTest, GrabFollowsTheKeyToItsNewKeycode)
{
    // F9 moves from keycode 75 to the unused keycode 93 of the virtual keyboard, and back.
    const auto xmodmap = [](const QStringList& expressions) {
        QStringList args;
        for (const QString& e : expressions)
            args << QStringLiteral("-e") << e;
        test::OutputOf(QStringLiteral("xmodmap"), args);
    };
    const QString original = test::OutputOf(QStringLiteral("sh"),
        { QStringLiteral("-c"), QStringLiteral("xmodmap -pke | grep '^keycode  75 '") });
    ASSERT_TRUE(original.contains(QStringLiteral("F9"))) << original.toStdString();
    struct TRestore {
        std::function<void()> Undo;
        ~TRestore() { Undo(); }
    } restore { [&] { xmodmap({ QStringLiteral("keycode  93 ="), original }); } };

    xcb_connection_t* probe = xcb_connect(nullptr, nullptr);
    const quint16 mods = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    ASSERT_TRUE(Keys.Register(6, QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_F9)));
    EXPECT_TRUE(HeldByAnother(probe, 75, mods));

    xmodmap({ QStringLiteral("keycode  75 ="), QStringLiteral("keycode  93 = F9") });
    EXPECT_TRUE(
        test::WaitFor([&] { return HeldByAnother(probe, 93, mods) && !HeldByAnother(probe, 75, mods); }));
    Press("ctrl+alt+F9");
    EXPECT_TRUE(WaitForActivation(6));
    xcb_disconnect(probe);
}

TEST(LinuxHotKeysKeys, KeysWithoutAnX11KeyCannotBeRegistered)
{
    LinuxHotKeys keys;
    EXPECT_FALSE(keys.Register(0, QKeyCombination(Qt::ControlModifier, Qt::Key_unknown)));
    EXPECT_FALSE(keys.Register(0, QKeyCombination(Qt::ControlModifier, Qt::Key_Launch0)));
}

} // namespace
} // namespace qb
