#pragma once

#include "platform/IDesktopWindows.h"

#include <QStringList>

namespace qb {

// A desktop made of a list of windows; operations change the list and are recorded.
class FakeDesktopWindows final : public IDesktopWindows {
public:
    struct TWindow {
        TTopLevelWindow Info;
        QRect Rect;
        bool Maximised = false;
    };

    TWindowId ActiveWindow() const override { return Active; }
    QList<TTopLevelWindow> TopLevelWindows() const override
    {
        QList<TTopLevelWindow> list;
        for (const TWindow& w : Windows)
            list << w.Info;
        return list;
    }
    bool IsWindow(TWindowId id) const override { return Find(id) != nullptr; }
    bool IsDesktop(TWindowId id) const override { return id != 0 && id == Desktop; }
    QRect WindowRect(TWindowId id) const override
    {
        const TWindow* w = Find(id);
        return w ? w->Rect : QRect();
    }
    bool IsMaximised(TWindowId id) const override
    {
        const TWindow* w = Find(id);
        return w && w->Maximised;
    }
    void Hide(TWindowId id) override
    {
        Change(id, QStringLiteral("Hide"), [](TWindow& w) { w.Info.Visible = false; });
    }
    void ShowNoActivate(TWindowId id) override
    {
        Change(id, QStringLiteral("Show"), [](TWindow& w) { w.Info.Visible = true; });
    }
    void Move(TWindowId id, QPoint topLeft) override
    {
        Change(id, QStringLiteral("Move"), [&](TWindow& w) { w.Rect.moveTopLeft(topLeft); });
    }
    void MoveResize(TWindowId id, const QRect& rect) override
    {
        Change(id, QStringLiteral("MoveResize"), [&](TWindow& w) { w.Rect = rect; });
    }
    void Maximise(TWindowId id) override
    {
        Change(id, QStringLiteral("Maximise"), [](TWindow& w) { w.Maximised = true; });
    }
    void SetTaskbarEntry(TWindowId id, bool listed) override
    {
        Calls << (listed ? QStringLiteral("Listed ") : QStringLiteral("Unlisted ")) + QString::number(id);
    }
    void Restore(TWindowId id) override
    {
        Change(id, QStringLiteral("Restore"), [](TWindow& w) { w.Maximised = false; });
    }

    QList<TWindow> Windows;
    TWindowId Active = 0;
    TWindowId Desktop = 0;
    // "Hide 3", "MoveResize 3" ...
    QStringList Calls;

private:
    const TWindow* Find(TWindowId id) const
    {
        for (const TWindow& w : Windows)
            if (w.Info.Id == id)
                return &w;
        return nullptr;
    }
    template <typename F> void Change(TWindowId id, const QString& what, F&& change)
    {
        Calls << what + u' ' + QString::number(id);
        for (TWindow& w : Windows)
            if (w.Info.Id == id)
                change(w);
    }
};

} // namespace qb
