#pragma once

// Small helpers over Qt's own X server connection, for the few calls Qt does not wrap. Used
// from the UI thread only.

#include <QByteArray>
#include <QList>

#include <xcb/xcb.h>

#include <array>

namespace qb::x11 {

// Qt's connection; nullptr when the program does not run on X11 (offscreen, Wayland).
xcb_connection_t* Connection();
xcb_window_t Root(xcb_connection_t* c);
// Interned once per name.
xcb_atom_t Atom(xcb_connection_t* c, const char* name);

// A window property's bytes (up to 1 MiB); empty when it is missing or of another type.
// XCB_ATOM_ANY accepts every type.
QByteArray Property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type);
// A property of 32-bit items (CARDINAL, WINDOW, ATOM ...).
QList<quint32> Property32(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type);

// Sends a client message about `window` to the root window, where the window manager reads
// it (EWMH and ICCCM requests).
void SendToRoot(
    xcb_connection_t* c, xcb_window_t window, xcb_atom_t type, const std::array<quint32, 5>& data);

// Asks the window manager to minimise a client window.
void Iconify(xcb_connection_t* c, xcb_window_t window);

// The managed top-level client windows, oldest first.
QList<xcb_window_t> ClientList(xcb_connection_t* c);

} // namespace qb::x11
