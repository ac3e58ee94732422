#pragma once

#include "toolbar/Docking.h"
#include "toolbar/KeyInput.h"
#include "toolbar/Layout.h"
#include "toolbar/PointerInput.h"

#include "platform/fake/FakeClock.h"

#include <QStringList>

#include <utility>
#include <vector>

namespace qb::test {

// A bar that keeps its buttons and images for real and writes down everything else that the
// input handlers ask of it.
class TInputHost final : public IPointerHost {
public:
    TInputHost(TLayout& layout, TDocking& docking)
        : FLayout(layout)
        , FDocking(docking)
    {
    }

    // What the handlers read.
    int Page = 0;
    QSize Client;
    bool InForm = true;
    TDragKeys Held;
    bool Prefs = false;
    bool IsClosing = false;
    bool AutoHideTimer = false;
    bool FloatVisible = false;
    bool OverlayShown = false;
    bool Capture = false;
    TButtonList ButtonList;
    std::vector<TBitmap32> Images;
    QRect Primary;
    TColor32 PixelUnderPointer = 0;
    std::vector<TMonitor> Monitors;

    // What they did.
    QStringList Log;
    bool Modified = false;
    bool RubberRunning = false;
    bool HighPriority = false;
    bool ControlEnabled = true;
    bool MenuAutoPopup = true;
    int HintPause = 750;
    TCursorKind LastCursor = TCursorKind::Default;
    QList<std::pair<int, TShiftState>> Launches;
    QPointF LayerPosition;
    double LayerAngle = 0;
    int OverlayShows = 0;
    double OverlayScale = 0;
    QList<std::pair<int, int>> SoundSwaps;

    int CurPage() const override { return Page; }
    QSize ClientSize() const override { return Client; }
    bool PointerInForm() const override { return InForm; }
    TDragKeys DragKeys() const override { return Held; }
    bool PrefsVisible() const override { return Prefs; }
    bool Closing() const override { return IsClosing; }
    bool AutoHideTimerActive() const override { return AutoHideTimer; }
    bool FloatLayerVisible() const override { return FloatVisible; }
    bool OverlayVisible() const override { return OverlayShown; }
    bool HasCapture() const override { return Capture; }
    TButtonList& Buttons() override { return ButtonList; }
    TBitmap32& ButtonImage(int index) override { return Images.at(size_t(index)); }

    void DrawBank(const QString& cue) override
    {
        Log << (cue.isEmpty() ? QStringLiteral("DrawBank") : QStringLiteral("DrawBank ") + cue);
    }
    void DoClick(const QString& cue) override { Log << QStringLiteral("DoClick ") + cue; }
    void SetCurPage(int page) override
    {
        Page = page;
        Log << QStringLiteral("SetCurPage %1").arg(page);
    }
    void SwitcherClick() override
    {
        Page = NextPage(Page, Banks);
        Log << QStringLiteral("SwitcherClick");
    }
    bool DoSlide() override
    {
        FDocking.SlidOut = !FDocking.SlidOut;
        Log << QStringLiteral("DoSlide %1").arg(FDocking.SlideEdge);
        return FDocking.SlidOut;
    }
    void LaunchButton(int cell, const TShiftState& keys) override
    {
        Launches.append({ cell, keys });
        Log << QStringLiteral("LaunchButton %1").arg(cell);
    }
    void MenuClick(const QString& item) override { Log << QStringLiteral("MenuClick ") + item; }
    void CancelMenu() override { Log << QStringLiteral("CancelMenu"); }
    void SetMenuAutoPopup(bool allowed) override { MenuAutoPopup = allowed; }
    void SetModified() override { Modified = true; }

    void HideHint() override { }
    void StopHintTimer() override { }
    void RestartHintTimer(bool) override { }
    void ResetHintColour() override { }
    void SetHintPause(int ms) override { HintPause = ms; }

    void HideFloatLayer() override { FloatVisible = false; }
    void ShowFloatLayer() override { FloatVisible = true; }
    void ShowHoverLayer(int cell, QPoint) override
    {
        FloatVisible = true;
        Log << QStringLiteral("ShowHoverLayer %1").arg(cell);
    }
    void SetDragLayer(const TBitmap32& bitmap, QPointF) override { DragLayer = bitmap; }
    void PlaceDragLayer(QPointF position, double angleDeg) override
    {
        FloatVisible = true;
        LayerPosition = position;
        LayerAngle = angleDeg;
    }
    void ResetFloatLayer() override
    {
        FloatVisible = false;
        DragLayer.SetSize(1, 1);
        DragLayer.Clear();
        LayerAngle = 0;
    }
    void ShowOverlay(const TBitmap32&, double, double scale, double, QPointF) override
    {
        OverlayShown = true;
        ++OverlayShows;
        OverlayScale = scale;
    }
    void HideOverlay() override { OverlayShown = false; }

    void CapturePointer() override { Capture = true; }
    void ReleaseCapture() override { Capture = false; }
    void SetCursor(TCursorKind kind) override { LastCursor = kind; }
    void SetControlEnabled(bool enabled) override { ControlEnabled = enabled; }
    void RepaintControl() override { }
    void NudgePointer() override { Log << QStringLiteral("NudgePointer"); }
    void PlaceWindow() override
    {
        FLayout.PlaceWindow(Monitors, false);
        Log << QStringLiteral("PlaceWindow");
    }
    QRect PrimaryWorkArea() const override { return Primary; }
    TColor32 ColourUnderPointer() const override { return PixelUnderPointer; }

    void StopDockTimers() override { Log << QStringLiteral("StopDockTimers"); }
    void RestartDockTimers() override { Log << QStringLiteral("RestartDockTimers"); }
    void StartRubberTimer() override { RubberRunning = true; }
    void StopRubberTimer() override { RubberRunning = false; }
    void SetDragPriority(bool high) override { HighPriority = high; }

    void StartWindowMove(QPoint downPoint) override
    {
        Log << QStringLiteral("StartWindowMove %1,%2").arg(downPoint.x()).arg(downPoint.y());
    }
    void StartResize(int corner) override { Log << QStringLiteral("StartResize %1").arg(corner); }
    void FollowPointer(QPoint screenPos, const TShiftState&) override
    {
        Log << QStringLiteral("FollowPointer %1,%2").arg(screenPos.x()).arg(screenPos.y());
    }
    void EndMoveLoop() override { Log << QStringLiteral("EndMoveLoop"); }

    void DetachClock(int) override { }
    void ScanSpecialPositions() override { Log << QStringLiteral("ScanSpecialPositions"); }
    void SoundButtonsSwapped(int a, int b) override { SoundSwaps.append({ a, b }); }
    void StopButtonSounds() override { Log << QStringLiteral("StopButtonSounds"); }

    int Banks = 2;
    TBitmap32 DragLayer;

private:
    TLayout& FLayout;
    TDocking& FDocking;
};

} // namespace qb::test
