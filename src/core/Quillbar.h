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
#include "toolbar/Layout.h"
#include "toolbar/PageRender.h"

#include <QObject>
#include <QPointer>
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
class TQuillbar1 final : public QObject, public ISettingsHost, public IBarWindowEvents, public ILaunchHost {
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
    void DrawBank(const QString& cue);
    void NewSize();

    // Slides the bar out at SlideEdge when it is in, back in when it is out; the slide runs
    // from the event loop, `done` follows its end (not called when nothing slides).
    void DoSlide(std::function<void()> done = {});
    // The switcher's click: the next page, closing, or a slide.
    void SwitcherClick(bool rightButton);
    // The re-arm of the auto-hide and auto-opacity timers.
    void RestartTimers();
    // Sets the window's opacity (0..255).
    void MakeTrans(int alpha);

    // Timer handlers: a slide frame, the auto-hide check (200 ms), the auto-opacity step (50 ms).
    void SlideTick();
    void Timer1Timer();
    void Timer2Timer();

    const TDataLocations& Locations() const { return FLoc; }
    const TSettings& Settings() const { return FSettings; }
    TSettings& Settings() { return FSettings; }
    TAppState& State() { return FState; }
    const TLayout& Layout() const { return FLayout; }
    const TButtonList& Buttons() const { return FButtons; }
    const TBitmapCollection& Icons() const { return FIcons; }
    TBarWindow* Window() const { return FWindow.get(); }
    int CurPage() const { return FCurPage; }
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
    void SwitcherClick() override { SwitcherClick(false); }
    void SuppressMenuAutoPopup() override {}
    int DoubleClickTime() const override;
    TWindowId BarWindow() const override;
    bool Closing() const override { return FState.Closing; }
    QList<TMonitorArea> Monitors() const override;
    void After(int ms, std::function<void()> step) override;

    TButtonLauncher& Launcher() { return *FLauncher; }

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
    void BarActivated() override;
    void BarDeactivated() override;
    void BarCloseRequested() override;

    void FormActivate();
    void Finish();
    void FadeTick();
    void SettingsAccess(const QString& mode);
    void PlaceWindow();
    void ShowPicture();
    // The page's state as the renderer reads it.
    TPageState PageState() const;
    void MakeMarkers();
    QList<TMonitor> MonitorList() const;
    QSize WindowSize() const;

    // Steps of the start-up and shutdown sequences that later parts of the program fill in.
    void BuildMenu() {}
    void LoadSkin() {}
    void LoadLanguage() {}
    void OpenUdp() {}
    void TryFritzConnect() {}
    void StartUpdateCheck() {}
    void RegisterDropTarget() {}
    void CloseToolWindows() {}
    void CloseNetwork() {}

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

    TBitmap32 FDisplay32;   // the page
    TBitmap32 FLabelLayer;  // button labels, below the float layer
    TBitmapLayer FFloatLayer; // the hovered or dragged icon
    TBitmap32 FComposed;    // what the window shows
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
