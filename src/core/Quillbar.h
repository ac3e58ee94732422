#pragma once

#include "core/AppState.h"
#include "core/DataLocations.h"
#include "core/SoundCues.h"
#include "raster/Bitmap32.h"
#include "shell/Launcher.h"
#include "storage/BitmapCollection.h"
#include "storage/ButtonList.h"
#include "storage/ISettingsHost.h"
#include "storage/MiniIni.h"
#include "storage/Settings.h"
#include "toolbar/BarLayers.h"
#include "toolbar/BarWindow.h"
#include "toolbar/Docking.h"
#include "toolbar/HotKeys.h"
#include "toolbar/KeyInput.h"
#include "toolbar/Layout.h"
#include "toolbar/PageRender.h"
#include "toolbar/PointerInput.h"
#include "toolbar/TickDuties.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace qb {

class IClock;
class IDesktopWindows;
class IDisplay;
class IHotKeys;
class IInput;
class IPower;
class ISession;
class IShell;
class ISound;

// The desktop services the bar acts through; all outlive it.
struct TBarServices {
    IClock& Clock;
    ISound& Sound;
    IHotKeys& HotKeys;
    ISession& Session;
    IShell& Shell;
    IPower& Power;
    IDisplay& Display;
    IDesktopWindows& Windows;
    IInput& Input;
};

// Where the program file lies and where a non-portable copy keeps its data.
struct TProgramFile {
    QString ExeFile;
    QString UserDataDir = qb::UserDataDir();
    QStringList SystemFolders = qb::SystemFolders();
};

// The bar: owns the settings, the buttons, the icon images and the window, and runs the life
// cycle from start-up (FormCreate, the first activation) to the orderly shutdown (Finish).
class TOverlay1;

class TQuillbar1 final : public QObject,
                         public ISettingsHost,
                         public IBarWindowEvents,
                         public ILaunchHost,
                         public IPointerHost,
                         public IHotKeyHost {
    Q_OBJECT
public:
    TQuillbar1(const TBarServices& services, TProgramFile program);
    ~TQuillbar1() override;

    // The start-up sequence; then Show() puts the bar on the screen.
    void FormCreate();
    void Show();

    // (Re)loads settings, icon images and buttons.
    void LoadAll();
    // "Reload": back to the first page with everything as the files hold it.
    void Reload();
    // "Save": the write pass and the settings file, failures ignored.
    void SaveNow();
    // Closes the bar: Finish, then Finished once the window has faded out.
    void Close() override;

    // Redraws the current page, playing `cue` first when given.
    void DrawBank(const QString& cue) override;
    void NewSize();

    // Slides the bar out at SlideEdge when it is in, back in when it is out; the slide runs
    // from the event loop, `done` follows its end (not called when nothing slides).
    bool DoSlide(std::function<void()> done);
    // The switcher's click: the next page, closing, or a slide.
    void SwitcherClick() override;
    // The re-arm of the auto-hide and auto-opacity timers.
    void RestartTimers();
    // Sets the window's opacity (0..255).
    void MakeTrans(int alpha);

    // Timer handlers: a slide frame, the auto-hide check (200 ms), the auto-opacity step (50 ms).
    void SlideTick();
    void Timer1Timer();
    void Timer2Timer();
    // The one-second tick: visibility duties (and, later, the live tiles).
    void Timer3Timer();
    // The monitors or their work areas changed.
    void DisplayChanged();

    const TDataLocations& Locations() const { return FLoc; }
    const TSettings& Settings() const { return FSettings; }
    TSettings& Settings() { return FSettings; }
    TAppState& State() { return FState; }
    const TLayout& Layout() const { return FLayout; }
    const TButtonList& Buttons() const { return FButtons; }
    const TBitmapCollection& Icons() const { return FIcons; }
    TBarWindow* Window() const { return FWindow.get(); }
    int CurPage() const override { return FCurPage; }
    const TBitmap32& Display32() const { return FDisplay32; }
    const TDocking& Docking() const { return FDocking; }
    TDocking& Docking() { return FDocking; }
    bool AutoHideRunning() const { return FTimer1.isActive(); }
    bool AutoOpacityRunning() const { return FTimer2.isActive(); }
    bool AutostartOn() const { return FAutostartOn; }

    // ISettingsHost
    void ApplyPosition(int top, int right, int monitor) override;
    void ApplyOnTop(bool onTop) override;
    void ApplyTrayIcon(bool visible) override;
    void ApplyOpacity(int opacity) override;
    void RequestWeatherRefresh() override;
    void ApplySoundNames(const TSoundNames& names) override;
    QString AreaCodePlaceholder() const override;
    void SaveButtonList() override;
    void SaveIconStoreIfChanged() override;
    TBarPosition CurrentPosition() const override;
    void PositionSaved(TBarPosition position) override;
    int NearestMonitor() const override;
    void ClearModified() override;

    // ILaunchHost
    void DoClick(const QString& cue) override;
    void DrawBank() override { DrawBank(QString()); }
    void SetCurPage(int page) override;
    void SuppressMenuAutoPopup() override { }
    int DoubleClickTime() const override;
    TWindowId BarWindow() const override;
    bool Closing() const override { return FState.Closing; }
    QList<TMonitorArea> Monitors() const override;
    void After(int ms, std::function<void()> step) override;

    TButtonLauncher& Launcher() { return *FLauncher; }
    TPointerInput& Pointer() { return *FPointer; }

    // IPointerHost
    QSize ClientSize() const override { return WindowSize(); }
    bool PointerInForm() const override;
    TDragKeys DragKeys() const override;
    bool PrefsVisible() const override { return false; }
    bool AutoHideTimerActive() const override { return FTimer1.isActive(); }
    bool FloatLayerVisible() const override { return FFloatLayer.Visible; }
    bool OverlayVisible() const override;
    bool HasCapture() const override { return FCaptured || FButtonHeld; }
    TButtonList& Buttons() override { return FButtons; }
    TBitmap32& ButtonImage(int index) override { return FIcons.GetBitmap(index); }
    bool DoSlide() override;
    void LaunchButton(int cell, const TShiftState& keys) override;
    void MenuClick(const QString& item) override;
    void CancelMenu() override { }
    void SetMenuAutoPopup(bool) override { }
    void SetModified() override { FState.Modified = true; }
    void HideHint() override { }
    void StopHintTimer() override { }
    void RestartHintTimer(bool) override { }
    void ResetHintColour() override { }
    void SetHintPause(int) override { }
    void HideFloatLayer() override { FFloatLayer.Visible = false; }
    void ShowFloatLayer() override { FFloatLayer.Visible = true; }
    void ShowHoverLayer(int cell, QPoint bitmapPoint) override;
    void SetDragLayer(const TBitmap32& bitmap, QPointF pivot) override;
    void PlaceDragLayer(QPointF position, double angleDeg) override;
    void ResetFloatLayer() override;
    void ShowOverlay(const TBitmap32& image, double dragRatio, double scale, double angleDeg,
        QPointF layerPosition) override;
    void HideOverlay() override;
    void CapturePointer() override;
    void ReleaseCapture() override;
    void SetCursor(TCursorKind kind) override;
    void SetControlEnabled(bool enabled) override { FControlEnabled = enabled; }
    void RepaintControl() override { ShowPicture(); }
    void NudgePointer() override;
    void PlaceWindow() override;
    QRect PrimaryWorkArea() const override;
    TColor32 ColourUnderPointer() const override;
    void StopDockTimers() override;
    void RestartDockTimers() override { RestartTimers(); }
    void StartRubberTimer() override { FRubberTimer.start(); }
    void StopRubberTimer() override { FRubberTimer.stop(); }
    void SetDragPriority(bool high) override;
    void StartWindowMove(QPoint downPoint) override;
    void StartResize(int corner) override;
    void FollowPointer(QPoint screenPos, const TShiftState& keys) override;
    void EndMoveLoop() override;
    void DetachClock(int) override { }
    void ScanSpecialPositions() override { }
    void SoundButtonsSwapped(int a, int b) override;
    void StopButtonSounds() override;

    // IHotKeyHost
    bool IsForeground() const override;
    void BringToFront() override;
    void DisplayOff() override;
    void StartScreenSaver() override;
    void ToggleWindowsByTitle(const QString& text) override;
    void ShowClippings() override { }
    void SetDisplayOrientation(TOrientation orientation) override;

Q_SIGNALS:
    // Shutdown is complete; the event loop may end.
    void Finished();

private:
    // IBarWindowEvents
    void BarMousePress(QMouseEvent& event) override;
    void BarMouseMove(QMouseEvent& event) override;
    void BarMouseRelease(QMouseEvent& event) override;
    void BarDoubleClick(QMouseEvent& event) override;
    void BarEnter() override;
    void BarLeave() override;
    void BarWheel(QWheelEvent& event) override;
    void BarKeyPress(QKeyEvent& event) override;
    void BarKeyRelease(QKeyEvent& event) override;
    void BarFirstPainted() override;
    void BarActivated() override;
    void BarDeactivated() override;
    void BarCloseRequested() override;

    void FormActivate();
    void Finish();
    void FadeTick();
    void SettingsAccess(const QString& mode);
    void ShowPicture();
    void ApplyStanding();
    void WatchScreens();
    TShiftState Keys() const;
    // The page's state as the renderer reads it.
    TPageState PageState() const;
    void MakeMarkers();
    QList<TMonitor> MonitorList() const;
    QSize WindowSize() const;

    // Steps of the start-up and shutdown sequences that later parts of the program fill in.
    void BuildMenu() { }
    void LoadSkin() { }
    void LoadLanguage() { }
    void OpenUdp() { }
    void TryFritzConnect() { }
    void StartUpdateCheck() { }
    void RegisterDropTarget() { }
    void CloseToolWindows() { }
    void CloseNetwork() { }

    TBarServices FServices;
    TProgramFile FProgram;
    TDataLocations FLoc;
    TAppState FState;
    TSettings FSettings;
    std::unique_ptr<TMiniIni> FIni;
    TButtonList FButtons;
    TBitmapCollection FIcons;
    quint32 FIconStoreHash = 0;
    TLayout FLayout;
    TDocking FDocking;
    QTimer FSlideTimer;
    std::function<void()> FSlideDone;
    std::unique_ptr<TSoundCues> FCues;
    std::unique_ptr<TButtonLauncher> FLauncher;
    std::unique_ptr<TBarWindow> FWindow;
    std::unique_ptr<TPointerInput> FPointer;
    std::unique_ptr<TKeyInput> FKeys;
    std::unique_ptr<TOverlay1> FOverlay;
    QTimer FRubberTimer; // the drag animation
    bool FCaptured = false;
    bool FButtonHeld = false;
    bool FControlEnabled = true;
    QSet<int> FHeldKeys;
    TBitmap32 FDragSource;
    QPointF FDragPivot;

    TTickDuties FTickDuties;
    QTimer FLabelTimer; // repaints the label layer once the page has been drawn
    TBitmap32 FDisplay32; // the page
    TBitmap32 FLabelLayer; // button labels, below the float layer
    TBitmapLayer FFloatLayer; // the hovered or dragged icon
    TBitmap32 FComposed; // what the window shows
    TBitmap32 FAdminMarker;
    TBitmap32 FSoundMarker;
    TBitmap32 FBackgroundImage;
    TBitmap32 FSwitcherImage;
    TColor32 FFormColor = 0;
    QStringList FWeatherData = QStringList(8, QString());
    int FCurPage = 0;
    bool FAutostartOn = false;
    bool FWeatherRefresh = false;
    bool FActivated = false;
    bool FFinished = false;

    // Move and resize from the bar's own pointer events.
    enum class TDragKind { None, Move, Resize };
    TDragKind FDragKind = TDragKind::None;
    int FResizeCorner = 0;
    QPoint FGrabOffset;
    QPoint FPressScreen;
    QRect FPressGeometry;
    void FollowMove(QPoint pointer, bool shift);
    void FollowResize(QPoint pointer, bool alt);

    // Fade-in at the first activation and fade-out at shutdown, stepped by a timer from the clock.
    enum class TFade { None, In, Out };
    TFade FFade = TFade::None;
    qint64 FFadeEnd = 0;
    QTimer FFadeTimer;

    QTimer FTimer1; // auto-hide check
    QTimer FTimer2; // auto-opacity
    QTimer FTimer3; // the one-second tick
};

} // namespace qb
