#include "platform/linux/LinuxInput.h"

#include "platform/linux/X11.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

#include <X11/keysym.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <memory>

namespace qb {

namespace {

struct TFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using TReply = std::unique_ptr<T, TFree>;

struct TSymbolsFree {
    void operator()(xcb_key_symbols_t* s) const { xcb_key_symbols_free(s); }
};

xcb_keycode_t FirstKeycode(xcb_key_symbols_t* symbols, xcb_keysym_t keysym)
{
    TReply<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(symbols, keysym));
    return codes ? codes.get()[0] : xcb_keycode_t(XCB_NO_SYMBOL);
}

} // namespace

TInputState LinuxInput::State() const
{
    TInputState state;
    xcb_connection_t* c = x11::Connection();
    TReply<xcb_query_pointer_reply_t> pointer(
        c ? xcb_query_pointer_reply(c, xcb_query_pointer(c, x11::Root(c)), nullptr) : nullptr);
    if (!pointer) {
        const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
        const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
        state.Shift = mods & Qt::ShiftModifier;
        state.Ctrl = mods & Qt::ControlModifier;
        state.Alt = mods & Qt::AltModifier;
        state.LeftButton = buttons & Qt::LeftButton;
        state.RightButton = buttons & Qt::RightButton;
        return state;
    }
    const quint16 mask = pointer->mask;
    state.Shift = mask & XCB_KEY_BUT_MASK_SHIFT;
    // The Lock modifier is set while Caps Lock is toggled on, not while its key is held.
    state.CapsLockOn = mask & XCB_KEY_BUT_MASK_LOCK;
    state.Ctrl = mask & XCB_KEY_BUT_MASK_CONTROL;
    state.Alt = mask & XCB_KEY_BUT_MASK_MOD_1;
    state.LeftButton = mask & XCB_KEY_BUT_MASK_BUTTON_1;
    state.RightButton = mask & XCB_KEY_BUT_MASK_BUTTON_3;
    return state;
}

QPoint LinuxInput::PointerPos() const
{
    xcb_connection_t* c = x11::Connection();
    TReply<xcb_query_pointer_reply_t> pointer(
        c ? xcb_query_pointer_reply(c, xcb_query_pointer(c, x11::Root(c)), nullptr) : nullptr);
    return pointer ? QPoint(pointer->root_x, pointer->root_y) : QCursor::pos();
}

namespace {

// The keysym of the few Qt keys the bar asks about; 0 for others.
xcb_keysym_t KeysymOf(int key)
{
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return XK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Pause:
        return XK_Pause;
    case Qt::Key_Up:
        return XK_Up;
    case Qt::Key_Down:
        return XK_Down;
    case Qt::Key_Left:
        return XK_Left;
    case Qt::Key_Right:
        return XK_Right;
    case Qt::Key_Space:
        return XK_space;
    case Qt::Key_Escape:
        return XK_Escape;
    default:
        return 0;
    }
}

} // namespace

LinuxInput::LinuxInput()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installNativeEventFilter(this);
}

LinuxInput::~LinuxInput()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool LinuxInput::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType == "xcb_generic_event_t"
        && (static_cast<xcb_generic_event_t*>(message)->response_type & 0x7f) == XCB_MAPPING_NOTIFY)
        FKeycodes.clear();
    return false;
}

bool LinuxInput::KeyHeld(int key) const
{
    xcb_connection_t* c = x11::Connection();
    const xcb_keysym_t keysym = KeysymOf(key);
    if (!c || keysym == 0)
        return false;
    auto known = FKeycodes.constFind(key);
    if (known == FKeycodes.cend()) {
        std::unique_ptr<xcb_key_symbols_t, TSymbolsFree> symbols(xcb_key_symbols_alloc(c));
        const xcb_keycode_t code = FirstKeycode(symbols.get(), keysym);
        known = FKeycodes.insert(key, code == XCB_NO_SYMBOL ? 0 : quint8(code));
    }
    const quint8 code = *known;
    if (code == 0)
        return false;
    TReply<xcb_query_keymap_reply_t> keymap(xcb_query_keymap_reply(c, xcb_query_keymap(c), nullptr));
    return keymap && (keymap->keys[code / 8] & (1 << (code % 8)));
}

void LinuxInput::SendPasteChord()
{
    xcb_connection_t* c = x11::Connection();
    if (!c)
        return;
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(c, &xcb_test_id);
    if (!xtest || !xtest->present)
        return;
    std::unique_ptr<xcb_key_symbols_t, TSymbolsFree> symbols(xcb_key_symbols_alloc(c));
    if (!symbols)
        return;
    const auto fake = [&](quint8 type, xcb_keycode_t code) {
        if (code != XCB_NO_SYMBOL)
            xcb_test_fake_input(c, type, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    };

    TReply<xcb_query_keymap_reply_t> keymap(xcb_query_keymap_reply(c, xcb_query_keymap(c), nullptr));
    if (keymap) {
        for (xcb_keysym_t sym : { XK_Shift_L, XK_Shift_R, XK_Alt_L, XK_Alt_R, XK_Meta_L, XK_Meta_R,
                 XK_Super_L, XK_Super_R, XK_ISO_Level3_Shift }) {
            const xcb_keycode_t code = FirstKeycode(symbols.get(), sym);
            if (code != XCB_NO_SYMBOL && (keymap->keys[code / 8] >> (code % 8)) & 1)
                fake(XCB_KEY_RELEASE, code);
        }
    }
    const xcb_keycode_t ctrl = FirstKeycode(symbols.get(), XK_Control_L);
    const xcb_keycode_t v = FirstKeycode(symbols.get(), XK_v);
    if (ctrl == XCB_NO_SYMBOL || v == XCB_NO_SYMBOL)
        return;
    fake(XCB_KEY_PRESS, ctrl);
    fake(XCB_KEY_PRESS, v);
    fake(XCB_KEY_RELEASE, v);
    fake(XCB_KEY_RELEASE, ctrl);
    xcb_flush(c);
}

} // namespace qb
