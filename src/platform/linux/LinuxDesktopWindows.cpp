#include "platform/linux/LinuxDesktopWindows.h"

#include "platform/linux/X11.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace qb {

namespace {

// Marks the windows this program withdrew.
constexpr const char* KHiddenMark = "_QUILLBAR_HIDDEN";
constexpr quint32 KNorthWestGravity = 1;
constexpr quint32 KSourcePager = 2;
constexpr quint32 KStateRemove = 0;
constexpr quint32 KStateAdd = 1;

struct TFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using TReply = std::unique_ptr<T, TFree>;

struct TExtents {
    int Left = 0, Right = 0, Top = 0, Bottom = 0;
};

TExtents FrameExtents(xcb_connection_t* c, xcb_window_t w)
{
    const QList<quint32> e = x11::Property32(c, w, x11::Atom(c, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL);
    if (e.size() < 4)
        return {};
    return { int(e[0]), int(e[1]), int(e[2]), int(e[3]) };
}

bool HasState(xcb_connection_t* c, xcb_window_t w, const char* state)
{
    return x11::Property32(c, w, x11::Atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM).contains(x11::Atom(c, state));
}

void MoveResizeRequest(xcb_window_t w, quint32 flags, const QRect& clientRect)
{
    xcb_connection_t* c = x11::Connection();
    if (!c || w == 0)
        return;
    x11::SendToRoot(c, w, x11::Atom(c, "_NET_MOVERESIZE_WINDOW"),
        { KNorthWestGravity | flags << 8 | KSourcePager << 12, quint32(clientRect.x()),
            quint32(clientRect.y()), quint32(std::max(1, clientRect.width())),
            quint32(std::max(1, clientRect.height())) });
}

void ChangeMaximised(xcb_window_t w, quint32 action)
{
    xcb_connection_t* c = x11::Connection();
    if (!c || w == 0)
        return;
    x11::SendToRoot(c, w, x11::Atom(c, "_NET_WM_STATE"),
        { action, x11::Atom(c, "_NET_WM_STATE_MAXIMIZED_VERT"), x11::Atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ"),
            KSourcePager, 0 });
}

QString Title(xcb_connection_t* c, xcb_window_t w)
{
    const QByteArray utf8 = x11::Property(c, w, x11::Atom(c, "_NET_WM_NAME"), x11::Atom(c, "UTF8_STRING"));
    if (!utf8.isEmpty())
        return QString::fromUtf8(utf8);
    return QString::fromLatin1(x11::Property(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING));
}

bool IsHiddenByUs(xcb_connection_t* c, xcb_window_t w)
{
    return !x11::Property32(c, w, x11::Atom(c, KHiddenMark), XCB_ATOM_CARDINAL).isEmpty();
}

bool IsViewable(xcb_connection_t* c, xcb_window_t w)
{
    TReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

// Windows withdrawn by Hide are children of the root window again, no longer the window
// manager's clients.
QList<xcb_window_t> HiddenWindows(xcb_connection_t* c)
{
    QList<xcb_window_t> hidden;
    TReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, x11::Root(c)), nullptr));
    if (!tree)
        return hidden;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
        if (IsHiddenByUs(c, children[i]))
            hidden << children[i];
    return hidden;
}

void SetUserTime(xcb_connection_t* c, xcb_window_t w, quint32 time)
{
    const xcb_atom_t userTime = x11::Atom(c, "_NET_WM_USER_TIME");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, userTime, XCB_ATOM_CARDINAL, 32, 1, &time);
}

} // namespace

TWindowId LinuxDesktopWindows::ActiveWindow() const
{
    xcb_connection_t* c = x11::Connection();
    if (!c)
        return 0;
    const QList<quint32> active
        = x11::Property32(c, x11::Root(c), x11::Atom(c, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
    return active.isEmpty() ? 0 : active.first();
}

QList<TTopLevelWindow> LinuxDesktopWindows::TopLevelWindows() const
{
    QList<TTopLevelWindow> list;
    xcb_connection_t* c = x11::Connection();
    if (!c)
        return list;
    const QList<xcb_window_t> clients = x11::ClientList(c);
    for (xcb_window_t w : clients) {
        // Shown again by other means: the mark must not make its program's own withdrawal
        // of the window look like ours later. (A window being withdrawn is unmapped already.)
        if (IsHiddenByUs(c, w) && IsViewable(c, w))
            xcb_delete_property(c, w, x11::Atom(c, KHiddenMark));
        list.append({ w, Title(c, w), true });
    }
    for (xcb_window_t w : HiddenWindows(c))
        if (!clients.contains(w))
            list.append({ w, Title(c, w), false });
    return list;
}

bool LinuxDesktopWindows::IsWindow(TWindowId id) const
{
    xcb_connection_t* c = x11::Connection();
    if (!c || id == 0 || id > 0xFFFFFFFFu)
        return false;
    TReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, xcb_window_t(id)), nullptr));
    return bool(attributes);
}

bool LinuxDesktopWindows::IsDesktop(TWindowId id) const
{
    xcb_connection_t* c = x11::Connection();
    if (!c || id == 0)
        return false;
    return x11::Property32(c, xcb_window_t(id), x11::Atom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM)
        .contains(x11::Atom(c, "_NET_WM_WINDOW_TYPE_DESKTOP"));
}

QRect LinuxDesktopWindows::WindowRect(TWindowId id) const
{
    xcb_connection_t* c = x11::Connection();
    if (!c || !IsWindow(id))
        return {};
    const auto w = xcb_window_t(id);
    TReply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr));
    TReply<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, x11::Root(c), 0, 0), nullptr));
    if (!geometry || !origin)
        return {};
    const TExtents e = FrameExtents(c, w);
    return QRect(origin->dst_x - e.Left, origin->dst_y - e.Top, geometry->width + e.Left + e.Right,
        geometry->height + e.Top + e.Bottom);
}

bool LinuxDesktopWindows::IsMaximised(TWindowId id) const
{
    xcb_connection_t* c = x11::Connection();
    if (!c || id == 0)
        return false;
    return HasState(c, xcb_window_t(id), "_NET_WM_STATE_MAXIMIZED_VERT")
        && HasState(c, xcb_window_t(id), "_NET_WM_STATE_MAXIMIZED_HORZ");
}

void LinuxDesktopWindows::Hide(TWindowId id)
{
    xcb_connection_t* c = x11::Connection();
    if (!c || !IsWindow(id))
        return;
    const auto w = xcb_window_t(id);
    const quint32 mark = 1;
    xcb_change_property(
        c, XCB_PROP_MODE_REPLACE, w, x11::Atom(c, KHiddenMark), XCB_ATOM_CARDINAL, 32, 1, &mark);
    // Withdrawing as a client does it: unmap, then tell the window manager with a synthetic
    // UnmapNotify (a minimised window has nothing left to unmap).
    xcb_unmap_window(c, w);
    xcb_unmap_notify_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_UNMAP_NOTIFY;
    event.event = x11::Root(c);
    event.window = w;
    xcb_send_event(c, 0, x11::Root(c),
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

void LinuxDesktopWindows::ShowNoActivate(TWindowId id)
{
    xcb_connection_t* c = x11::Connection();
    if (!c || !IsWindow(id))
        return;
    const auto w = xcb_window_t(id);
    xcb_delete_property(c, w, x11::Atom(c, KHiddenMark));
    // A user time of 0 asks the window manager not to focus the window when it is mapped. The
    // program may keep its user time on a window of its own.
    SetUserTime(c, w, 0);
    const QList<quint32> timeWindow
        = x11::Property32(c, w, x11::Atom(c, "_NET_WM_USER_TIME_WINDOW"), XCB_ATOM_WINDOW);
    if (!timeWindow.isEmpty() && timeWindow.first() != 0)
        SetUserTime(c, timeWindow.first(), 0);
    xcb_map_window(c, w);
    xcb_flush(c);
}

void LinuxDesktopWindows::Move(TWindowId id, QPoint topLeft)
{
    // With north-west gravity the position is the frame's.
    MoveResizeRequest(xcb_window_t(id), 0x3, QRect(topLeft, QSize(1, 1)));
}

void LinuxDesktopWindows::MoveResize(TWindowId id, const QRect& rect)
{
    xcb_connection_t* c = x11::Connection();
    if (!c || id == 0)
        return;
    // The size asked for is the client's: the frame adds its decorations.
    const TExtents e = FrameExtents(c, xcb_window_t(id));
    MoveResizeRequest(xcb_window_t(id), 0xF,
        QRect(rect.x(), rect.y(), rect.width() - e.Left - e.Right, rect.height() - e.Top - e.Bottom));
}

void LinuxDesktopWindows::Maximise(TWindowId id)
{
    ChangeMaximised(xcb_window_t(id), KStateAdd);
}

void LinuxDesktopWindows::Restore(TWindowId id)
{
    ChangeMaximised(xcb_window_t(id), KStateRemove);
}

void LinuxDesktopWindows::SetTaskbarEntry(TWindowId id, bool listed)
{
    xcb_connection_t* c = x11::Connection();
    const xcb_window_t w = xcb_window_t(id);
    if (!c || w == 0)
        return;
    const xcb_atom_t state = x11::Atom(c, "_NET_WM_STATE");
    const xcb_atom_t skips[]
        = { x11::Atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), x11::Atom(c, "_NET_WM_STATE_SKIP_PAGER") };
    QList<quint32> atoms = x11::Property32(c, w, state, XCB_ATOM_ATOM);
    for (xcb_atom_t skip : skips) {
        atoms.removeAll(skip);
        if (!listed)
            atoms.append(skip);
    }
    xcb_change_property(
        c, XCB_PROP_MODE_REPLACE, w, state, XCB_ATOM_ATOM, 32, quint32(atoms.size()), atoms.constData());
    x11::SendToRoot(c, w, state, { listed ? KStateRemove : KStateAdd, skips[0], skips[1], KSourcePager, 0 });
    xcb_flush(c);
}

} // namespace qb
