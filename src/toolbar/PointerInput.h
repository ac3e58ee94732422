#pragma once

#include "platform/IClock.h"
#include "platform/IInput.h"
#include "raster/Bitmap32.h"
#include "storage/ButtonEntry.h"
#include "storage/ButtonList.h"
#include "storage/Settings.h"
#include "toolbar/Docking.h"
#include "toolbar/Layout.h"
#include "toolbar/RubberPhysics.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <QtGlobal>

namespace qb {

// Modifier keys and mouse buttons held at an event (after it, for a release), and Caps Lock.
struct TShiftState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    bool Left = false;
    bool Right = false;
    bool Middle = false;
    bool CapsLockOn = false; // toggled on, not merely held
    bool operator==(const TShiftState&) const = default;
};

TInputState ToInputState(const TShiftState& keys);
// The keys and buttons held as the platform reports them; the middle button is not among them.
TShiftState ToShiftState(const TInputState& held);

// A pointer event of the bar's picture.
struct TPointerEvent {
    QPoint Pos; // window pixels
    QPoint ScreenPos;
    Qt::MouseButton Button = Qt::NoButton; // pressed or released; none for a move
    TShiftState Keys;
};

// The cursor shapes the bar shows, by what they tell the user.
enum class TCursorKind {
    Default,
    Refuse, // a drop here puts the icon back
    Invisible,
    MultiDrag, // a drop here copies the picture only
    SizeNS,
    SizeWE,
    SizeNWSE,
    SizeNESW,
    Move,
    Cross, // picking a colour
};

TCursorKind CursorKindOf(Qt::CursorShape shape);
Qt::CursorShape CursorShapeOf(TCursorKind kind);

// What a drag animation tick needs to know of the keys and buttons held right now.
struct TDragKeys {
    bool LeftButton = false;
    bool Shift = false;
    bool Grow = false; // forward mouse button, or Up
    bool Shrink = false; // back mouse button, or Down
    bool ResetScale = false; // Space
};

// The bar as the input handlers act on it. Implemented by the bar's controller; every call comes
// from the UI thread, from inside a handler of TPointerInput or TKeyInput.
class IPointerHost {
public:
    virtual ~IPointerHost() = default;

    // --- What the handlers read
    virtual int CurPage() const = 0;
    // The size of the bar's picture control in window pixels.
    virtual QSize ClientSize() const = 0;
    // The pointer, as it is now, lies inside the bar's window.
    virtual bool PointerInForm() const = 0;
    virtual TDragKeys DragKeys() const = 0;
    virtual bool PrefsVisible() const = 0;
    virtual bool Closing() const = 0;
    virtual bool AutoHideTimerActive() const = 0;
    virtual bool FloatLayerVisible() const = 0;
    virtual bool OverlayVisible() const = 0;
    // The picture control holds the pointer: a button went down on it and is still held, or it
    // grabbed the pointer (CapturePointer).
    virtual bool HasCapture() const = 0;
    // The buttons of all pages and their images, by absolute index.
    virtual TButtonList& Buttons() = 0;
    virtual TBitmap32& ButtonImage(int index) = 0;

    // --- The page, sounds and commands
    // Redraws the current page; a cue plays first.
    virtual void DrawBank(const QString& cue = {}) = 0;
    virtual void DoClick(const QString& cue) = 0;
    // Stored as given, even below 0: the switcher's click that follows moves on to the next
    // page and wraps round.
    virtual void SetCurPage(int page) = 0;
    virtual void SwitcherClick() = 0;
    // Slides out when in, in when out, along the docking state's SlideEdge. Returns whether the
    // bar is slid out once the slide is over.
    virtual bool DoSlide() = 0;
    // The click on a button, with the keys held at the release.
    virtual void LaunchButton(int cell, const TShiftState& keys) = 0;
    // A command of the context menu by its item name ("Edit", "Delete", "Config").
    virtual void MenuClick(const QString& item) = 0;
    virtual void CancelMenu() = 0;
    // Whether a right press may open the context menu by itself.
    virtual void SetMenuAutoPopup(bool allowed) = 0;
    virtual void SetModified() = 0;

    // --- Hints
    virtual void HideHint() = 0;
    virtual void StopHintTimer() = 0; // its interval back to the hint pause
    virtual void RestartHintTimer(bool run) = 0; // with the hint pause; running only when `run`
    virtual void ResetHintColour() = 0;
    virtual void SetHintPause(int ms) = 0;

    // --- The float layer (hover and drag icon over the page)
    virtual void HideFloatLayer() = 0;
    virtual void ShowFloatLayer() = 0;
    // The enlarged hover icon of `cell` for the pointer at `bitmapPoint`.
    virtual void ShowHoverLayer(int cell, QPoint bitmapPoint) = 0;
    // The dragged icon's picture, turned about `pivot` (a point of the bitmap).
    virtual void SetDragLayer(const TBitmap32& bitmap, QPointF pivot) = 0;
    // Shows the layer with its pivot at `position` (bitmap pixels), turned by `angleDeg`
    // (positive: counter-clockwise).
    virtual void PlaceDragLayer(QPointF position, double angleDeg) = 0;
    // Back to a 1 x 1 picture, no turn, hidden.
    virtual void ResetFloatLayer() = 0;

    // --- The overlay window (created on first use)
    // Shows `image` at `scale` turned by `angleDeg`, its pivot at the screen point of the bar's
    // bitmap point `layerPosition` (TOverlay1::OverlayBitmap32).
    virtual void ShowOverlay(
        const TBitmap32& image, double dragRatio, double scale, double angleDeg, QPointF layerPosition)
        = 0;
    // Nothing happens when the overlay was never shown.
    virtual void HideOverlay() = 0;

    // --- The window
    virtual void CapturePointer() = 0;
    virtual void ReleaseCapture() = 0;
    virtual void SetCursor(TCursorKind kind) = 0;
    // Disabled, the picture control ignores the pointer (while a dragged icon flies back).
    virtual void SetControlEnabled(bool enabled) = 0;
    virtual void RepaintControl() = 0;
    // Sets the pointer to its own position, so that a fresh move arrives.
    virtual void NudgePointer() = 0;
    // Places the window at the layout's distances (Ctrl + arrow keys).
    virtual void PlaceWindow() = 0;
    virtual QRect PrimaryWorkArea() const = 0;
    // The bar picture's pixel under the pointer when it is over the bar, else the screen's.
    virtual TColor32 ColourUnderPointer() const = 0;

    // --- Timers and priority
    virtual void StopDockTimers() = 0;
    virtual void RestartDockTimers() = 0;
    virtual void StartRubberTimer() = 0; // every 16 ms: TPointerInput::RubberTimer
    virtual void StopRubberTimer() = 0;
    // Raised process priority while a drag runs; failing quietly where it is not allowed.
    virtual void SetDragPriority(bool high) = 0;

    // --- Moving and resizing the window from the bar. Between the start and EndMoveLoop every
    // pointer move goes to FollowPointer; the release ends the loop.
    // Puts the window so that `downPoint` (window pixels) lies under the pointer and lets it
    // follow the pointer, snapping to the work area unless Shift is held.
    virtual void StartWindowMove(QPoint downPoint) = 0;
    // Resizes from a corner (TCornerCode) as the pointer moves.
    virtual void StartResize(int corner) = 0;
    virtual void FollowPointer(QPoint screenPos, const TShiftState& keys) = 0;
    // The end of the move or resize: the window's new place and size are taken over.
    virtual void EndMoveLoop() = 0;

    // --- Live tiles and sounds
    // When `button` is the analog clock tile: its layer's image goes into its image slot and
    // the clock layer is hidden.
    virtual void DetachClock(int button) = 0;
    // The tiles found their buttons again after a swap; the clock tile is refreshed.
    virtual void ScanSpecialPositions() = 0;
    // The playing marks of sound buttons follow a swap of buttons a and b.
    virtual void SoundButtonsSwapped(int a, int b) = 0;
    // Stops the sound buttons' sounds and removes their playing marks.
    virtual void StopButtonSounds() = 0;
};

// What the input handlers work on; all of it outlives them.
struct TInputContext {
    IPointerHost& Host;
    TLayout& Layout;
    TDocking& Docking;
    TSettings& Settings;
    const IClock& Clock;
};

// Press, move, release, double click, enter and leave on the bar's picture, the drag of a
// button onto another cell with its animation, and moving or resizing the window from the bar.
// Knows no window: events come in as plain data, and everything it does to the bar goes
// through IPointerHost. UI thread.
class TPointerInput {
public:
    explicit TPointerInput(const TInputContext& context);

    // Pointer state. Cells are page-relative (CellAtPoint): -1 none, KSwitcherCell the switcher.
    int HoverCell = -1;
    int LastHoverCell = -1;
    int PressedCell = -1;
    int CurButton = 0; // absolute index of the last press or activation
    QPoint DownPoint; // window pixels
    QPoint DragPoint; // bitmap pixels
    bool ButtonDown = false;
    bool DblClickPending = false;
    bool MovingWindow = false;
    TShiftState LastShift;

    // Drag state.
    bool Dragging = false;
    int DragSource = -1;
    int DragTarget = -1;
    TButtonEntry TempEntry;
    TBitmap32 DragImage;
    double DragRatio = 1;
    TRubberState Rubber;
    qint64 LastTime = 0;

    void MouseDown(const TPointerEvent& event);
    void MouseMove(const TPointerEvent& event);
    void MouseUp(const TPointerEvent& event);
    // Qt's double-click event stands for the second press: it marks the double click and then
    // runs the press.
    void DoubleClick(const TPointerEvent& event);
    void MouseEnter(QPoint pos, const TShiftState& keys);
    void MouseLeave(QPoint pos, const TShiftState& keys);

    // Start of a drag: the button leaves its cell and hangs on the pointer.
    void DoSwap();
    // The 16 ms animation tick while a drag or its landing runs.
    void RubberTimer();
    // Escape: the drag ends as a drop outside the bar, everything put back.
    void CancelDrag();
    // The wheel while the icon is outside the bar: ExtraScale by a quarter per notch.
    void OverlayWheel(int notches);

    // The cursor last set through SetCursor.
    TCursorKind Cursor() const { return FCursor; }
    void SetCursor(TCursorKind kind);
    // Pointer zones for `pos`, with what they ask of the bar carried out.
    void UpdatePointerZones(QPoint pos, const TShiftState& keys);

    bool IsCell(int cell) const { return cell >= 0 && cell < FContext.Layout.CellsPerPage; }
    int AbsoluteIndex(int cell) const;

private:
    enum class TMoveLoop { None, Move, Resize };

    bool InsideControl(QPoint pos) const;
    int LabelCellAt(QPoint pos) const;
    int SlideEdgeAt(QPoint screenPos) const;
    void StartWindowMove();
    void EndMoveLoop();
    void EndDrag(int cell, bool inside, const TShiftState& keys);
    void Landed();
    void ShowDrag(TRubberView view);

    TInputContext FContext;
    IPointerHost& FHost;
    TCursorKind FCursor = TCursorKind::Default;
    TMoveLoop FMoveLoop = TMoveLoop::None;
};

} // namespace qb
