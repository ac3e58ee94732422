#pragma once

#include "platform/IDesktopWindows.h"

namespace qb {

// Other programs' windows through the window manager's EWMH interface: the client list, the
// active window, titles, and requests to move, size and maximise. Every window the window
// manager lists counts as visible (minimised ones too). Hiding withdraws a window (it leaves
// the screen and the task bar) and marks it, so hidden windows are listed as not visible, also
// to a later run of the program, and can be shown again. Without an X11 display there are no
// windows. UI thread.
class LinuxDesktopWindows final : public IDesktopWindows {
public:
    TWindowId ActiveWindow() const override;
    QList<TTopLevelWindow> TopLevelWindows() const override;
    bool IsWindow(TWindowId id) const override;
    bool IsDesktop(TWindowId id) const override;
    // The frame's rectangle: the client window plus the decorations the window manager drew.
    QRect WindowRect(TWindowId id) const override;
    bool IsMaximised(TWindowId id) const override;
    void Hide(TWindowId id) override;
    // Maps a window hidden by Hide again, asking the window manager not to give it the focus.
    void ShowNoActivate(TWindowId id) override;
    // Places the frame's top-left corner.
    void Move(TWindowId id, QPoint topLeft) override;
    // Places and sizes the frame.
    void MoveResize(TWindowId id, const QRect& rect) override;
    void Maximise(TWindowId id) override;
    void Restore(TWindowId id) override;
    // Sets the skip-taskbar and skip-pager states both in the window's property (read when the
    // window manager takes the window on) and by request (for a window it already manages).
    void SetTaskbarEntry(TWindowId id, bool listed) override;
};

} // namespace qb
