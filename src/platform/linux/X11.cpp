#include "platform/linux/X11.h"

#include <QGuiApplication>
#include <QHash>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace qb::x11 {

namespace {

constexpr quint32 KIconicState = 3;

template <typename T> struct TFree {
    void operator()(T* p) const { std::free(p); }
};
template <typename T> using TReply = std::unique_ptr<T, TFree<T>>;

} // namespace

xcb_connection_t* Connection()
{
    if (!qGuiApp)
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t Root(xcb_connection_t* c)
{
    const xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    return it.rem > 0 ? it.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    static xcb_connection_t* cachedFor = nullptr;
    static QHash<QByteArray, xcb_atom_t> cache;
    if (cachedFor != c) {
        cache.clear();
        cachedFor = c;
    }
    const QByteArray key(name);
    const auto it = cache.constFind(key);
    if (it != cache.cend())
        return *it;
    TReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, quint16(std::strlen(name)), name), nullptr));
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    if (atom != XCB_ATOM_NONE)
        cache.insert(key, atom);
    return atom;
}

QByteArray Property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    TReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 1 << 18), nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE || (type != XCB_ATOM_ANY && reply->type != type))
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
        xcb_get_property_value_length(reply.get()));
}

QList<quint32> Property32(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    const QByteArray bytes = Property(c, window, property, type);
    if (bytes.size() < 4)
        return {};
    QList<quint32> items(bytes.size() / 4);
    std::memcpy(items.data(), bytes.constData(), size_t(items.size()) * 4);
    return items;
}

void SendToRoot(xcb_connection_t* c, xcb_window_t window, xcb_atom_t type, const std::array<quint32, 5>& data)
{
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    for (size_t i = 0; i < data.size(); ++i)
        event.data.data32[i] = data[i];
    xcb_send_event(c, 0, Root(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

void Iconify(xcb_connection_t* c, xcb_window_t window)
{
    SendToRoot(c, window, Atom(c, "WM_CHANGE_STATE"), { KIconicState, 0, 0, 0, 0 });
}

QList<xcb_window_t> ClientList(xcb_connection_t* c)
{
    const QList<quint32> ids = Property32(c, Root(c), Atom(c, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
    return QList<xcb_window_t>(ids.cbegin(), ids.cend());
}

} // namespace qb::x11
