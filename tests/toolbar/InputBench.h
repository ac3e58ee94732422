#pragma once

#include "InputHost.h"

#include "toolbar/KeyInput.h"
#include "toolbar/PointerInput.h"

namespace qb::test {

// A bar of 2 x 4 buttons of 32 pixels on two pages, switcher on the left (16 pixels), zoom 1,
// in the top-right corner of a 1280 x 990 work area. Every button has its own target and its
// own single-coloured picture; none is empty.
struct TInputBench {
    FakeClock Clock;
    TSettings Settings;
    TLayout Layout;
    TDocking Docking { Clock };
    TInputHost Host { Layout, Docking };
    TPointerInput Pointer { TInputContext { Host, Layout, Docking, Settings, Clock } };
    TKeyInput Keys { TInputContext { Host, Layout, Docking, Settings, Clock }, Pointer };
    QPoint WindowPos;

    TInputBench()
    {
        Settings.Rows = 2;
        Settings.Cols = 4;
        Settings.Banks = 2;
        Layout.NewSize(Settings);
        const QRect work(0, 0, 1280, 990);
        Layout.WorkArea = work;
        Host.Monitors = { { QRect(0, 0, 1280, 1024), work } };
        Host.Primary = work;
        const QRect window = Layout.PlaceWindow(Host.Monitors, false);
        WindowPos = window.topLeft();
        Host.Client = window.size();
        Host.Banks = Settings.Banks;
        const int count = Layout.CellsPerPage * Settings.Banks;
        for (int i = 0; i < count; ++i) {
            TButtonEntry entry;
            entry.BType = QStringLiteral("Exec");
            entry.Path = QStringLiteral("/usr/bin/app%1").arg(i);
            Host.ButtonList.append(entry);
            Host.Images.emplace_back(32, 32, Colour(i));
        }
    }

    static TColor32 Colour(int button) { return Color32(10 * button, 100, 200); }

    // The middle of a cell's icon, in window pixels (the bitmap is shown at zoom 1).
    QPoint CellPoint(int cell) const { return Layout.CalcRect(cell).center(); }
    QPoint SwitcherPoint() const { return Layout.Switcher.NRect.center(); }

    TPointerEvent Event(QPoint pos, Qt::MouseButton button, TShiftState keys) const
    {
        TPointerEvent e;
        e.Pos = pos;
        e.ScreenPos = pos + WindowPos;
        e.Button = button;
        e.Keys = keys;
        return e;
    }
    static TShiftState Held(bool left, TShiftState keys = {})
    {
        keys.Left = left;
        return keys;
    }

    void Press(QPoint pos, TShiftState keys = {}, Qt::MouseButton button = Qt::LeftButton)
    {
        keys.Left = keys.Left || button == Qt::LeftButton;
        keys.Right = keys.Right || button == Qt::RightButton;
        Host.Capture = true;
        Pointer.MouseDown(Event(pos, button, keys));
    }
    void Move(QPoint pos, TShiftState keys = {}) { Pointer.MouseMove(Event(pos, Qt::NoButton, keys)); }
    void Release(QPoint pos, TShiftState keys = {}, Qt::MouseButton button = Qt::LeftButton)
    {
        Host.Capture = false;
        Pointer.MouseUp(Event(pos, button, keys));
    }
    // Hover, press and release on the same point.
    void Click(QPoint pos, TShiftState keys = {})
    {
        Move(pos, keys);
        Press(pos, keys);
        Release(pos, keys);
    }

    // Starts dragging the button of `cell` by moving onto `over`.
    void StartDrag(int cell, int over)
    {
        Move(CellPoint(cell));
        Press(CellPoint(cell));
        Move(CellPoint(over), Held(true));
    }
    // One animation tick, 16 ms after the last.
    void Tick()
    {
        Clock.Advance(16);
        Pointer.RubberTimer();
    }

    QList<TColor32> ImageColours() const
    {
        QList<TColor32> colours;
        for (const TBitmap32& image : Host.Images)
            colours << (image.PixelCount() == 1024 ? image.Pixel(5, 5) : 0);
        return colours;
    }
    QStringList Paths() const
    {
        QStringList paths;
        for (const TButtonEntry& entry : Host.ButtonList)
            paths << entry.Path;
        return paths;
    }
};

} // namespace qb::test
