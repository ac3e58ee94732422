#include "platform/linux/LinuxHotKeys.h"

#include "platform/linux/X11.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QMetaObject>

#include <X11/keysym.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>
#include <memory>

namespace qb {

namespace {

Q_LOGGING_CATEGORY(lcHotKeys, "quillbar.hotkeys")

constexpr quint16 KUsedModifiers
    = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

struct TFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using TReply = std::unique_ptr<T, TFree>;

xcb_keysym_t KeySym(Qt::Key key)
{
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return XK_F1 + (key - Qt::Key_F1);
    if (key >= Qt::Key_Space && key <= Qt::Key_ydiaeresis)
        return QChar(char16_t(key)).toLower().unicode();
    switch (key) {
    case Qt::Key_Escape:
        return XK_Escape;
    case Qt::Key_Tab:
        return XK_Tab;
    case Qt::Key_Backspace:
        return XK_BackSpace;
    case Qt::Key_Return:
        return XK_Return;
    case Qt::Key_Enter:
        return XK_KP_Enter;
    case Qt::Key_Insert:
        return XK_Insert;
    case Qt::Key_Delete:
        return XK_Delete;
    case Qt::Key_Pause:
        return XK_Pause;
    case Qt::Key_Print:
        return XK_Print;
    case Qt::Key_Home:
        return XK_Home;
    case Qt::Key_End:
        return XK_End;
    case Qt::Key_Left:
        return XK_Left;
    case Qt::Key_Up:
        return XK_Up;
    case Qt::Key_Right:
        return XK_Right;
    case Qt::Key_Down:
        return XK_Down;
    case Qt::Key_PageUp:
        return XK_Prior;
    case Qt::Key_PageDown:
        return XK_Next;
    case Qt::Key_Menu:
        return XK_Menu;
    case Qt::Key_ScrollLock:
        return XK_Scroll_Lock;
    default:
        return XCB_NO_SYMBOL;
    }
}

quint16 ModifierMask(Qt::KeyboardModifiers mods)
{
    quint16 mask = 0;
    if (mods & Qt::ShiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    if (mods & Qt::ControlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (mods & Qt::AltModifier)
        mask |= XCB_MOD_MASK_1;
    if (mods & Qt::MetaModifier)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

} // namespace

LinuxHotKeys::LinuxHotKeys(QObject* parent)
    : IHotKeys(parent)
{
    if (xcb_connection_t* c = x11::Connection()) {
        FSymbols = xcb_key_symbols_alloc(c);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
}

LinuxHotKeys::~LinuxHotKeys()
{
    if (FSymbols) {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->removeNativeEventFilter(this);
        if (x11::Connection())
            for (const TGrab& grab : std::as_const(FGrabs))
                Ungrab(grab);
        xcb_key_symbols_free(FSymbols);
    }
}

QList<quint16> LinuxHotKeys::LockVariants() const
{
    xcb_connection_t* c = x11::Connection();
    quint16 numLock = 0;
    TReply<xcb_get_modifier_mapping_reply_t> map(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
    TReply<xcb_keycode_t> numLockCodes(xcb_key_symbols_get_keycode(FSymbols, XK_Num_Lock));
    if (map && numLockCodes) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(map.get());
        const int perModifier = map->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8 && !numLock; ++modifier)
            for (int k = 0; k < perModifier; ++k)
                if (codes[modifier * perModifier + k] != 0
                    && codes[modifier * perModifier + k] == numLockCodes.get()[0])
                    numLock = quint16(1 << modifier);
    }
    QList<quint16> variants { 0, XCB_MOD_MASK_LOCK };
    if (numLock && numLock != XCB_MOD_MASK_LOCK)
        variants << numLock << quint16(numLock | XCB_MOD_MASK_LOCK);
    return variants;
}

bool LinuxHotKeys::Grab(TGrab& grab)
{
    xcb_connection_t* c = x11::Connection();
    const xcb_keysym_t sym = KeySym(grab.Keys.key());
    if (!c || !FSymbols || sym == XCB_NO_SYMBOL)
        return false;
    TReply<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(FSymbols, sym));
    if (!codes || codes.get()[0] == XCB_NO_SYMBOL)
        return false;
    grab.Keycode = codes.get()[0];
    grab.Modifiers = ModifierMask(grab.Keys.keyboardModifiers());

    const xcb_window_t root = x11::Root(c);
    QList<xcb_void_cookie_t> cookies;
    for (quint16 extra : LockVariants())
        cookies << xcb_grab_key_checked(
            c, 1, root, grab.Modifiers | extra, grab.Keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    bool ok = true;
    for (const xcb_void_cookie_t& cookie : cookies) {
        TReply<xcb_generic_error_t> error(xcb_request_check(c, cookie));
        if (error) {
            ok = false;
            qCDebug(lcHotKeys) << "key grab refused, error" << error->error_code << "for" << grab.Keys;
        }
    }
    if (!ok)
        Ungrab(grab);
    return ok;
}

void LinuxHotKeys::Ungrab(const TGrab& grab)
{
    xcb_connection_t* c = x11::Connection();
    if (!c || grab.Keycode == 0)
        return;
    const xcb_window_t root = x11::Root(c);
    // Releasing the variants another program holds changes nothing: only own grabs go.
    for (quint16 extra : LockVariants())
        xcb_ungrab_key(c, grab.Keycode, root, grab.Modifiers | extra);
    xcb_flush(c);
}

bool LinuxHotKeys::Register(int id, QKeyCombination keys)
{
    Unregister(id);
    TGrab grab { keys, 0, 0 };
    if (!Grab(grab))
        return false;
    FGrabs.insert(id, grab);
    return true;
}

void LinuxHotKeys::Unregister(int id)
{
    const auto it = FGrabs.find(id);
    if (it == FGrabs.end())
        return;
    Ungrab(*it);
    FGrabs.erase(it);
}

bool LinuxHotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || !FSymbols)
        return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const quint8 type = event->response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY) {
        auto* mapping = reinterpret_cast<xcb_mapping_notify_event_t*>(event);
        if (mapping->request == XCB_MAPPING_KEYBOARD || mapping->request == XCB_MAPPING_MODIFIER) {
            xcb_refresh_keyboard_mapping(FSymbols, mapping);
            // The same keys may now sit on other keycodes: grab them anew.
            for (auto it = FGrabs.begin(); it != FGrabs.end(); ++it) {
                Ungrab(*it);
                if (!Grab(*it))
                    it->Keycode = 0;
            }
        }
        return false;
    }
    if (type != XCB_KEY_PRESS || FGrabs.isEmpty())
        return false;
    auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
    const quint16 modifiers = press->state & KUsedModifiers;
    for (auto it = FGrabs.cbegin(); it != FGrabs.cend(); ++it) {
        if (it->Keycode != 0 && it->Keycode == press->detail && it->Modifiers == modifiers) {
            const int id = it.key();
            QMetaObject::invokeMethod(
                this, [this, id] { Q_EMIT Activated(id); }, Qt::QueuedConnection);
            return true;
        }
    }
    return false;
}

} // namespace qb
