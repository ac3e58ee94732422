#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QtGlobal>

namespace qb {

using TWindowId = quint64;

struct TTopLevelWindow {
    TWindowId Id = 0;
    QString Title;
    bool Visible = false;
};

// Other programs' top-level windows, as the window manager lists them. UI thread.
class IDesktopWindows {
public:
    virtual ~IDesktopWindows() = default;
    // The window that has the focus, 0 when none.
    virtual TWindowId ActiveWindow() const = 0;
    virtual QList<TTopLevelWindow> TopLevelWindows() const = 0;
    virtual bool IsWindow(TWindowId id) const = 0;
    // True for the window that draws the desktop background and its icons.
    virtual bool IsDesktop(TWindowId id) const = 0;
    // The outer rectangle of a window in screen pixels.
    virtual QRect WindowRect(TWindowId id) const = 0;
    virtual bool IsMaximised(TWindowId id) const = 0;
    virtual void Hide(TWindowId id) = 0;
    // Shows a hidden window without giving it the focus.
    virtual void ShowNoActivate(TWindowId id) = 0;
    virtual void Move(TWindowId id, QPoint topLeft) = 0;
    virtual void MoveResize(TWindowId id, const QRect& rect) = 0;
    virtual void Maximise(TWindowId id) = 0;
    virtual void Restore(TWindowId id) = 0;
    // Lists one of the program's own windows in the task bar and the window switcher, or keeps
    // it out of them.
    virtual void SetTaskbarEntry(TWindowId id, bool listed) = 0;
};

} // namespace qb
