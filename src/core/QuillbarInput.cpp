// The bar's side of pointer, key, wheel and hot-key input: the window's events go to the input
// handlers, and what those ask of the bar is carried out here.
#include "core/Quillbar.h"

#include "platform/IDesktopWindows.h"
#include "platform/IDisplay.h"
#include "platform/IInput.h"
#include "platform/ISession.h"
#include "shell/SystemCommands.h"
#include "toolbar/InputEvents.h"
#include "toolbar/OverlayGeometry.h"
#include "toolbar/OverlayWindow.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QScreen>
#include <QToolTip>

namespace qb {

TShiftState TQuillbar1::Keys() const
{
    TShiftState keys = ToShiftState(FServices.Input.State());
    keys.Middle = QGuiApplication::mouseButtons().testFlag(Qt::MiddleButton);
    return keys;
}

// --- events of the bar window

void TQuillbar1::BarMousePress(QMouseEvent& event)
{
    if (FState.Closing || !FControlEnabled)
        return;
    if (event.button() == Qt::LeftButton)
        FButtonHeld = true;
    FPointer->MouseDown(PointerEventOf(event, FServices.Input.State().CapsLockOn));
}

void TQuillbar1::BarMouseMove(QMouseEvent& event)
{
    if (FState.Closing || !FControlEnabled)
        return;
    FPointer->MouseMove(PointerEventOf(event, FServices.Input.State().CapsLockOn));
}

void TQuillbar1::BarMouseRelease(QMouseEvent& event)
{
    if (event.button() == Qt::LeftButton)
        FButtonHeld = false;
    if (FState.Closing || !FControlEnabled)
        return;
    FPointer->MouseUp(PointerEventOf(event, FServices.Input.State().CapsLockOn));
}

void TQuillbar1::BarDoubleClick(QMouseEvent& event)
{
    if (FState.Closing || !FControlEnabled)
        return;
    if (event.button() == Qt::LeftButton)
        FButtonHeld = true;
    FPointer->DoubleClick(PointerEventOf(event, FServices.Input.State().CapsLockOn));
}

void TQuillbar1::BarEnter()
{
    if (!FState.Closing)
        FPointer->MouseEnter(FWindow->mapFromGlobal(QCursor::pos()), Keys());
}

void TQuillbar1::BarLeave()
{
    if (!FState.Closing)
        FPointer->MouseLeave(FWindow->mapFromGlobal(QCursor::pos()), Keys());
}

void TQuillbar1::BarWheel(QWheelEvent& event)
{
    if (FState.Closing)
        return;
    const TShiftState keys
        = ShiftStateOf(event.modifiers(), event.buttons(), FServices.Input.State().CapsLockOn);
    if (FPointer->Dragging && !PointerInForm()) {
        // The dragged icon hangs outside the bar: the wheel scales it.
        FPointer->OverlayWheel(event.angleDelta().y() / 120);
        event.accept();
        return;
    }
    if (FKeys->FormMouseWheel(event.angleDelta().y(), keys))
        event.accept();
    else
        event.ignore();
}

void TQuillbar1::BarKeyPress(QKeyEvent& event)
{
    if (FState.Closing)
        return;
    FHeldKeys.insert(event.key());
    FKeys->FormKeyDown(
        KeyEventOf(event, QGuiApplication::mouseButtons(), FServices.Input.State().CapsLockOn));
}

void TQuillbar1::BarKeyRelease(QKeyEvent& event)
{
    FHeldKeys.remove(event.key());
    if (!FState.Closing)
        FKeys->FormKeyUp(FWindow->mapFromGlobal(QCursor::pos()), Keys());
}

void TQuillbar1::BarFirstPainted()
{
    FormActivate();
}

void TQuillbar1::BarActivated()
{
}

void TQuillbar1::BarDeactivated()
{
    FHeldKeys.clear();
    if (FLauncher)
        FLauncher->Deactivated();
}

// --- IPointerHost

bool TQuillbar1::PointerInForm() const
{
    return FWindow->geometry().contains(FServices.Input.PointerPos());
}

TDragKeys TQuillbar1::DragKeys() const
{
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    const TInputState held = FServices.Input.State(); // one round trip to the X server
    TDragKeys keys;
    keys.LeftButton = held.LeftButton;
    keys.Shift = held.Shift;
    keys.Grow = IsGrowButton(buttons) || FHeldKeys.contains(Qt::Key_Up);
    keys.Shrink = IsShrinkButton(buttons) || FHeldKeys.contains(Qt::Key_Down);
    keys.ResetScale = FHeldKeys.contains(Qt::Key_Space);
    return keys;
}

bool TQuillbar1::OverlayVisible() const
{
    return FOverlay && FOverlay->isVisible();
}

void TQuillbar1::LaunchButton(int cell, const TShiftState& keys)
{
    TLaunchKeys launch;
    launch.Shift = keys.Shift;
    launch.Ctrl = keys.Ctrl;
    launch.Alt = keys.Alt;
    launch.RightButton = keys.Right;
    launch.CapsLock = keys.CapsLockOn;
    FLauncher->LaunchButton(FButtons, FCurPage, FLayout.CellsPerPage, cell, launch);
}

void TQuillbar1::MenuClick(const QString& item)
{
    // The context menu's commands come with the menu.
    qDebug("Menu command %s is not available yet", qPrintable(item));
}

void TQuillbar1::ShowHoverLayer(int cell, QPoint bitmapPoint)
{
    const int index = FCurPage * FLayout.CellsPerPage + cell;
    if (index < 0 || index >= FIcons.Count() || index >= FButtons.size())
        return;
    const THoverEffect effect
        = FLayout.HoverEffect(cell, bitmapPoint, FSettings.ZoomSize, FSettings.IconLight);
    MakeHoverLayer(FFloatLayer, FLayout, effect, FIcons.GetBitmap(index),
        FButtons[index].Flags.contains(QLatin1String("Disabled")));
    ShowPicture();
}

void TQuillbar1::SetDragLayer(const TBitmap32& bitmap, QPointF pivot)
{
    FDragSource = bitmap;
    FDragPivot = pivot;
}

void TQuillbar1::PlaceDragLayer(QPointF position, double angleDeg)
{
    TTurnedLayer turned = TurnedLayer(FDragSource, FDragPivot, angleDeg, position);
    FFloatLayer.Bitmap = std::move(turned.Picture);
    FFloatLayer.Position = turned.TopLeft;
    FFloatLayer.Visible = true;
}

void TQuillbar1::ResetFloatLayer()
{
    FFloatLayer.Bitmap.SetSize(1, 1);
    FFloatLayer.Bitmap.Clear(0);
    FFloatLayer.Visible = false;
}

void TQuillbar1::ShowOverlay(
    const TBitmap32& image, double dragRatio, double scale, double angleDeg, QPointF layerPosition)
{
    if (!FOverlay)
        FOverlay = std::make_unique<TOverlay1>();
    const QSize window = WindowSize();
    const QPointF inWindow(layerPosition.x() * window.width() / std::max(1, FLayout.BarW),
        layerPosition.y() * window.height() / std::max(1, FLayout.BarH));
    const QPoint onScreen = FWindow->mapToGlobal(inWindow.toPoint());
    FOverlay->OverlayBitmap32(image, dragRatio, scale, angleDeg, onScreen);
}

void TQuillbar1::HideOverlay()
{
    if (FOverlay)
        FOverlay->hide();
}

void TQuillbar1::CapturePointer()
{
    FWindow->grabMouse();
    FCaptured = true;
}

void TQuillbar1::ReleaseCapture()
{
    if (FCaptured)
        FWindow->releaseMouse();
    FCaptured = false;
    FButtonHeld = false;
}

void TQuillbar1::SetCursor(TCursorKind kind)
{
    FWindow->setCursor(CursorShapeOf(kind));
}

void TQuillbar1::NudgePointer()
{
    QCursor::setPos(QCursor::pos());
}

QRect TQuillbar1::PrimaryWorkArea() const
{
    const QList<TMonitor> monitors = MonitorList();
    return monitors.isEmpty() ? QRect() : monitors.first().WorkArea;
}

TColor32 TQuillbar1::ColourUnderPointer() const
{
    const QPoint pointer = FServices.Input.PointerPos();
    if (FWindow->geometry().contains(pointer)) {
        const QPoint p = FLayout.WindowToBitmap(FWindow->mapFromGlobal(pointer), WindowSize());
        return FComposed.Pixel(p.x(), p.y());
    }
    QScreen* screen = QGuiApplication::screenAt(pointer);
    if (!screen)
        return 0xFFFFFFFF;
    const QPoint local = pointer - screen->geometry().topLeft();
    return screen->grabWindow(0, local.x(), local.y(), 1, 1).toImage().pixel(0, 0);
}

void TQuillbar1::StopDockTimers()
{
    FTimer1.stop();
    FTimer2.stop();
}

void TQuillbar1::SetDragPriority(bool high)
{
    FServices.Session.SetHighPriority(high);
}

// --- moving and resizing the window from the bar

void TQuillbar1::StartWindowMove(QPoint downPoint)
{
    FDragKind = TDragKind::Move;
    FGrabOffset = downPoint;
    FWindow->move(FServices.Input.PointerPos() - downPoint);
}

void TQuillbar1::StartResize(int corner)
{
    FDragKind = TDragKind::Resize;
    FResizeCorner = corner;
    FPressScreen = FServices.Input.PointerPos();
    FPressGeometry = FWindow->geometry();
}

void TQuillbar1::FollowPointer(QPoint screenPos, const TShiftState& keys)
{
    if (FDragKind == TDragKind::Move)
        FollowMove(screenPos, keys.Shift);
    else if (FDragKind == TDragKind::Resize)
        FollowResize(screenPos, keys.Alt);
}

void TQuillbar1::FollowMove(QPoint pointer, bool shift)
{
    const QRect rect = FLayout.DragMove(pointer, FGrabOffset, WindowSize(), MonitorList(), shift);
    FWindow->move(rect.topLeft());
}

void TQuillbar1::FollowResize(QPoint pointer, bool alt)
{
    QRect proposed = FPressGeometry;
    const QPoint delta = pointer - FPressScreen;
    switch (FResizeCorner) {
    case CornerTopLeft:
        proposed.setTopLeft(proposed.topLeft() + delta);
        break;
    case CornerTopRight:
        proposed.setTopRight(proposed.topRight() + delta);
        break;
    case CornerBottomLeft:
        proposed.setBottomLeft(proposed.bottomLeft() + delta);
        break;
    case CornerBottomRight:
        proposed.setBottomRight(proposed.bottomRight() + delta);
        break;
    default:
        return;
    }
    const auto result = FLayout.Resize(proposed, FResizeCorner, alt);
    if (!result)
        return;
    FWindow->setGeometry(result->Rect);
    FLayout.Zoom = result->Zoom;
    FSettings.Zoom = float(result->Zoom);
    // The zoom percentage follows the pointer while the button is held.
    if (FServices.Input.State().LeftButton)
        QToolTip::showText(pointer + QPoint(0, 8), result->ZoomText, FWindow.get());
    else
        QToolTip::hideText();
}

void TQuillbar1::EndMoveLoop()
{
    if (FDragKind == TDragKind::None)
        return;
    FDragKind = TDragKind::None;
    QToolTip::hideText();
    bool moved = false;
    const QRect rect = FLayout.EndMove(FWindow->geometry(), MonitorList(), &moved);
    FWindow->setGeometry(rect);
    if (moved && !FState.Modified) {
        FState.Modified = true;
        DrawBank(QString());
    }
    NewSize();
    FLayout.FindDockedEdges(FWindow->geometry());
    DrawBank(QString());
}

// --- live tiles and sounds

void TQuillbar1::SoundButtonsSwapped(int a, int b)
{
    FLauncher->ButtonsSwapped(a, b);
}

void TQuillbar1::StopButtonSounds()
{
    FLauncher->StopButtonSounds();
}

// --- IHotKeyHost

bool TQuillbar1::IsForeground() const
{
    return FWindow->isActiveWindow();
}

void TQuillbar1::BringToFront()
{
    FWindow->raise();
    FWindow->activateWindow();
}

void TQuillbar1::DisplayOff()
{
    FServices.Display.MonitorOff();
}

void TQuillbar1::StartScreenSaver()
{
    FServices.Display.StartScreenSaver();
}

void TQuillbar1::ToggleWindowsByTitle(const QString& text)
{
    qb::ToggleWindowsByTitle(FServices.Windows, text);
}

void TQuillbar1::SetDisplayOrientation(TOrientation orientation)
{
    qb::SetDisplayOrientation(FServices.Display, FServices.Input.PointerPos(), orientation);
}

} // namespace qb
