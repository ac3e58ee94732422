#include "core/Quillbar.h"

#include "core/Autostart.h"
#include "platform/IClock.h"
#include "platform/IDisplay.h"
#include "platform/IHotKeys.h"
#include "platform/IInput.h"
#include "platform/ISession.h"
#include "platform/IShell.h"
#include "raster/Round.h"
#include "storage/SettingsAccess.h"
#include "toolbar/Fade.h"
#include "toolbar/Markers.h"
#include "toolbar/Monitors.h"
#include "toolbar/OverlayWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>

#include <exception>

namespace qb {

namespace {

constexpr int KFadeInMs = 750;
constexpr int KFadeOutMs = 500;
// Frames of the fades and of other animations run at about 60 per second.
constexpr int KAnimationTickMs = 16;

TColor32 PaletteColour(QPalette::ColorRole role)
{
    return QApplication::palette().color(QPalette::Active, role).rgba();
}

} // namespace

TQuillbar1::TQuillbar1(const TBarServices& services, TProgramFile program)
    : FServices(services)
    , FProgram(std::move(program))
    , FDocking(services.Clock)
{
    FSlideTimer.setInterval(KAnimationTickMs);
    connect(&FSlideTimer, &QTimer::timeout, this, &TQuillbar1::SlideTick);
    connect(&FTimer1, &QTimer::timeout, this, &TQuillbar1::Timer1Timer);
    connect(&FTimer2, &QTimer::timeout, this, &TQuillbar1::Timer2Timer);
    connect(&FTimer3, &QTimer::timeout, this, &TQuillbar1::Timer3Timer);
    FLabelTimer.setSingleShot(true);
    connect(&FLabelTimer, &QTimer::timeout, this, [this] {
        if (FState.Closing || FSettings.FontSize <= 0)
            return;
        DrawHintLayer(FLabelLayer, FLayout, PageState());
        ShowPicture();
    });
    connect(&FServices.Session, &ISession::Resumed, this, [this] {
        // Give the display a moment to come back before drawing again.
        QTimer::singleShot(500, this, [this] {
            if (!FState.Closing)
                DrawBank(QString());
        });
    });
    FRubberTimer.setInterval(KAnimationTickMs);
    connect(&FRubberTimer, &QTimer::timeout, this, [this] {
        if (FPointer)
            FPointer->RubberTimer();
    });
    connect(&FServices.HotKeys, &IHotKeys::Activated, this, [this](int id) {
        if (!FState.Closing)
            HotKeyPressed(*this, FSettings, id);
    });
    FFadeTimer.setInterval(KAnimationTickMs);
    connect(&FFadeTimer, &QTimer::timeout, this, &TQuillbar1::FadeTick);
    FTimer1.setInterval(200);
    FTimer2.setInterval(50);
    FTimer3.setInterval(1000);
    connect(&FServices.Session, &ISession::EndRequested, this, &TQuillbar1::Close);
}

TQuillbar1::~TQuillbar1() = default;

void TQuillbar1::FormCreate()
{
    // Data locations: the program's folder for portable use, otherwise the user's data folder
    // (filled from the program's folder on a first run). It becomes the current folder.
    FLoc = ChooseLocations(FProgram.ExeFile, FProgram.UserDataDir, FProgram.SystemFolders);
    MigrateFirstRun(FLoc);
    QDir::setCurrent(FLoc.DataDir);

    FWindow = std::make_unique<TBarWindow>(*this);
    FWindow->setWindowTitle(FLoc.BareName);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        FLayout.SetDpiScale(DpiScaleFromDpi(screen->logicalDotsPerInch()));

    // The settings store.
    FIni = std::make_unique<TMiniIni>();
    try {
        FIni->Parse(FLoc.DataDir + FLoc.IniName);
    } catch (const std::exception& error) {
        qWarning("Settings file unreadable, defaults are used: %s", error.what());
    }
    FCues = std::make_unique<TSoundCues>(FServices.Sound, FSettings, FLoc);
    FPointer = std::make_unique<TPointerInput>(
        TInputContext { *this, FLayout, FDocking, FSettings, FServices.Clock });
    FKeys = std::make_unique<TKeyInput>(
        TInputContext { *this, FLayout, FDocking, FSettings, FServices.Clock }, *FPointer);
    FLauncher = std::make_unique<TButtonLauncher>(TLaunchServices { *this, FServices.Shell, FServices.Power,
        FServices.Sound, FServices.Clock, FServices.Windows, FSettings, FLoc.DataDir, FLoc.ExeDir });

    FAutostartOn = CopyLinkToAutostart(false, false, FProgram.ExeFile, FLoc.BareName);
    BuildMenu();

    LoadAll();
    NewSize();
    if (FSettings.SkinName != QLatin1String("None"))
        LoadSkin();
    LoadLanguage();

    MakeMarkers();
    FState.Modified = false;
    DrawBank();

    OpenUdp();
    TryFritzConnect();
    if (FSettings.CheckForUpdates)
        StartUpdateCheck();
    RegisterDropTarget();
}

void TQuillbar1::Show()
{
    MakeTrans(FSettings.FadeIn ? 0 : FSettings.Opacity);
    FWindow->show();
    ApplyStanding();
    WatchScreens();
    // The first activation (fade-in, start sound, timers) follows the first picture on the
    // screen, so that setting up the sound system does not delay it.
}

void TQuillbar1::FormActivate()
{
    if (FActivated || FState.Closing)
        return;
    FActivated = true;
    if (FSettings.StartMini) {
        // Start slid out, without the animation.
        const int speed = FSettings.SlideSpeed;
        FSettings.SlideSpeed = 10;
        FDocking.AutoHideArmed = true;
        Timer1Timer();
        FSettings.SlideSpeed = speed;
    }
    if (FSettings.FadeIn) {
        FTimer1.stop();
        FTimer2.stop();
        FFade = TFade::In;
        FFadeEnd = FServices.Clock.TickCount() + KFadeInMs;
        FadeTick();
        FFadeTimer.start();
        FWindow->raise();
    } else {
        MakeTrans(FSettings.Opacity);
    }
    FTimer3.start();
    FState.Modified = false;
    FCues->DoClick(QStringLiteral("LTING"));
    FLayout.FindDockedEdges(FWindow->geometry());
    RestartTimers();
}

void TQuillbar1::FadeTick()
{
    const qint64 remaining = FFadeEnd - FServices.Clock.TickCount();
    if (FFade == TFade::In) {
        MakeTrans(FadeInAlpha(FSettings.Opacity, remaining, KFadeInMs));
    } else if (FFade == TFade::Out) {
        MakeTrans(FadeOutAlpha(FSettings.Opacity, remaining, KFadeOutMs));
    }
    if (remaining > 0)
        return;
    FFadeTimer.stop();
    const TFade ended = FFade;
    FFade = TFade::None;
    if (ended == TFade::In) {
        MakeTrans(FSettings.Opacity);
        RestartTimers();
    } else if (ended == TFade::Out) {
        FWindow->hide();
        CloseToolWindows();
        CloseNetwork();
        for (int id = 0; id < KHotKeyCount; ++id)
            FServices.HotKeys.Unregister(id);
        FServices.Sound.StopAll();
        FFinished = true;
        Q_EMIT Finished();
    }
}

void TQuillbar1::LoadAll()
{
    SettingsAccess(QStringLiteral("Read"));
    const int count = FSettings.Rows * FSettings.Cols * FSettings.Banks;

    FIcons.Clear();
    try {
        FIcons.ReadMaps(FLoc.DataDir + KBitmapsStream);
    } catch (const std::exception& error) {
        // A missing store is normal on a first start; a damaged one keeps what could be read.
        if (QFileInfo::exists(FLoc.DataDir + KBitmapsStream))
            qWarning("Icon store partly unreadable: %s", error.what());
    }
    FIcons.TopUp(count);
    FIcons.PrepareForDrawing();

    try {
        MigrateIconListToIni(FLoc.DataDir);
    } catch (const std::exception& error) {
        qWarning("Legacy button list not converted: %s", error.what());
    }
    try {
        FButtons = LoadButtonList(FLoc.DataDir, count);
    } catch (const std::exception& error) {
        qWarning("Button list unreadable, the buttons start empty: %s", error.what());
        FButtons = LoadButtonList(QString(), count);
    }
    FIconStoreHash = FIcons.Hash();
    FCurPage = qBound(0, FCurPage, FSettings.Banks - 1);
}

void TQuillbar1::Reload()
{
    FCurPage = 0;
    LoadAll();
    NewSize();
    FState.Modified = false;
    DrawBank();
    MakeTrans(FSettings.Opacity);
}

void TQuillbar1::SaveNow()
{
    try {
        SettingsAccess(QStringLiteral("Write"));
        FIni->Save(FLoc.DataDir + FLoc.IniName);
    } catch (const std::exception& error) {
        qWarning("Settings not saved: %s", error.what());
    }
}

void TQuillbar1::SettingsAccess(const QString& mode)
{
    try {
        TSettingsAccess(*FIni, FSettings, *this, FServices.HotKeys).IniAccess(mode);
    } catch (const std::exception& error) {
        qWarning("Settings %s failed: %s", qPrintable(mode), error.what());
    }
    if (mode == QLatin1String("Read"))
        FDocking.CurAlpha = FSettings.Opacity;
}

void TQuillbar1::Close()
{
    if (FState.Closing)
        return;
    FState.Closing = true;
    Finish();
}

void TQuillbar1::Finish()
{
    FWindow->setEnabled(false);
    FTimer1.stop();
    FTimer2.stop();
    FTimer3.stop();
    FSlideTimer.stop();
    FRubberTimer.stop();
    FLabelTimer.stop();
    if (FTickDuties.KeepAwake)
        FServices.Display.SetKeepAwake(false);

    if (FState.Modified && FSettings.SaveOnExit)
        SaveNow();
    FState.Modified = false;
    FIni.reset();

    FFade = TFade::Out;
    FFadeEnd = FServices.Clock.TickCount() + KFadeOutMs;
    FadeTick();
    FFadeTimer.start();
}

void TQuillbar1::NewSize()
{
    FLayout.NewSize(FSettings);
    FDisplay32.SetSize(FLayout.BarW, FLayout.BarH);
    PlaceWindow();
}

void TQuillbar1::PlaceWindow()
{
    const QList<TMonitor> monitors = MonitorList();
    const QRect rect = FLayout.PlaceWindow(monitors, FServices.Input.State().Shift);
    FWindow->setGeometry(rect);
}

QList<TMonitor> TQuillbar1::MonitorList() const
{
    return CurrentMonitors();
}

// --- ILaunchHost

void TQuillbar1::DoClick(const QString& cue)
{
    FCues->DoClick(cue);
}

void TQuillbar1::SetCurPage(int page)
{
    FCurPage = page;
}

int TQuillbar1::DoubleClickTime() const
{
    return QApplication::doubleClickInterval();
}

TWindowId TQuillbar1::BarWindow() const
{
    return FWindow ? TWindowId(FWindow->winId()) : 0;
}

QList<TMonitorArea> TQuillbar1::Monitors() const
{
    QList<TMonitorArea> areas;
    const QList<TMonitor> monitors = MonitorList();
    for (qsizetype i = 0; i < monitors.size(); ++i)
        areas.append({ monitors[i].Geometry, monitors[i].WorkArea, i == 0 });
    return areas;
}

void TQuillbar1::After(int ms, std::function<void()> step)
{
    QTimer::singleShot(ms, this, std::move(step));
}

void TQuillbar1::DrawBank(const QString& cue)
{
    if (!cue.isEmpty())
        FCues->DoClick(cue);
    const TPageState state = PageState();
    const TBankResult result = qb::DrawBank(FDisplay32, FLayout, state);
    if (result.FormColor)
        FFormColor = *result.FormColor;
    else
        FFormColor = state.Colors.ButtonFace;
    if (result.HideFloatLayer)
        FFloatLayer.Visible = false;
    ShowPicture();
    if (FSettings.FontSize > 0)
        FLabelTimer.start(0);
}

TPageState TQuillbar1::PageState() const
{
    TPageState state;
    state.TakeSettings(FSettings);
    state.Buttons = std::span<const TButtonEntry>(FButtons.constData(), FButtons.size());
    state.Icons
        = TIconImages(FIcons.Count(), [this](int i) -> const TBitmap32& { return FIcons.GetBitmap(i); });
    state.BackgroundImage = &FBackgroundImage;
    state.SwitcherImage = &FSwitcherImage;
    state.AdminMarker = &FAdminMarker;
    state.SoundMarker = &FSoundMarker;
    state.Colors.ButtonFace = PaletteColour(QPalette::Button);
    state.Colors.Highlight = PaletteColour(QPalette::Light);
    state.Colors.Shadow = PaletteColour(QPalette::Dark);
    state.Colors.WindowText = PaletteColour(QPalette::WindowText);
    state.CurPage = FCurPage;
    if (FPointer) {
        state.HoverCell = FPointer->HoverCell;
        state.PressedCell = FPointer->PressedCell;
        state.ButtonDown = FPointer->ButtonDown;
        state.Dragging = FPointer->Dragging;
    }
    const QPoint pointer = FServices.Input.PointerPos();
    state.PointerInside = FWindow && FWindow->isVisible() && FWindow->geometry().contains(pointer);
    state.PointerOverBar = state.PointerInside && QApplication::widgetAt(pointer) == FWindow.get();
    state.LeftButtonDown = FServices.Input.State().LeftButton;
    state.SlidOut = FDocking.SlidOut;
    state.Modified = FState.Modified;
    if (FLauncher) {
        state.Mp3Button = FLauncher->Mp3Button();
        state.WavButton = FLauncher->WavButton();
    }
    state.WeatherData = FWeatherData;
    state.FloatTag = FFloatLayer.Tag;
    return state;
}

void TQuillbar1::MakeMarkers()
{
    FAdminMarker = MakeAdminMarker(FLayout.IconW);
    FSoundMarker = MakeSoundMarker(FLayout.IconW);
}

void TQuillbar1::ShowPicture()
{
    ComposeBar(
        FComposed, FFormColor, FDisplay32, FSettings.FontSize > 0 ? &FLabelLayer : nullptr, { &FFloatLayer });
    FWindow->SetPicture(FComposed.ToImage());
    FWindow->SetPictureAlignment(FDocking.SlideAlignment(), FDocking.SlideRect.size());
}

// --- docking, sliding, auto-opacity

void TQuillbar1::RestartTimers()
{
    if (FState.Closing)
        return;
    const TTimerStates states = FDocking.RestartTimers(FSettings);
    if (states.AutoHide)
        FTimer1.start();
    else
        FTimer1.stop();
    if (states.Opacity)
        FTimer2.start();
    else
        FTimer2.stop();
}

bool TQuillbar1::DoSlide(std::function<void()> done)
{
    TSlideSetup setup;
    setup.Window = FWindow->geometry();
    setup.SwitcherPosition = FLayout.Switcher.Position;
    setup.SwitcherZoomWidth = FLayout.Switcher.ZoomWidth;
    setup.SwitcherZoomHeight = FLayout.Switcher.ZoomHeight;
    setup.HiddenSize = FSettings.HiddenSize;
    setup.SlideSpeed = FSettings.SlideSpeed;
    const QList<TMonitor> monitors = MonitorList();
    setup.Monitors.assign(monitors.begin(), monitors.end());
    if (FPointer)
        FPointer->HoverCell = -1;
    FFloatLayer.Visible = false;
    if (!FDocking.StartSlide(setup))
        return false;
    FSlideDone = std::move(done);
    FTimer1.stop();
    FTimer2.stop();
    ShowPicture();
    SlideTick();
    if (FDocking.Sliding)
        FSlideTimer.start();
    return true;
}

bool TQuillbar1::DoSlide()
{
    const bool wasOut = FDocking.SlidOut;
    return DoSlide({}) ? !wasOut : wasOut;
}

void TQuillbar1::SlideTick()
{
    const TSlideFrame frame = FDocking.SlideStep();
    if (frame.Move) {
        FWindow->setGeometry(frame.Bounds);
        FWindow->repaint();
    }
    if (!frame.Finished)
        return;
    FSlideTimer.stop();
    FLayout.CornerCursor = false;
    ShowPicture();
    FLayout.UpdatePointerZones(FWindow->mapFromGlobal(FServices.Input.PointerPos()), WindowSize(),
        FServices.Input.State(), false, FSettings.AltToDye);
    DrawBank();
    RestartTimers();
    if (auto done = std::exchange(FSlideDone, {}))
        done();
}

void TQuillbar1::Timer1Timer()
{
    const QPoint pointer = FServices.Input.PointerPos();
    TAutoHideInput input;
    input.AutoHide = FSettings.AutoHide;
    input.StartMini = FSettings.StartMini;
    input.Window = FWindow->geometry();
    input.PointerInDisplay = input.Window.contains(pointer);
    input.PointerInForm = input.PointerInDisplay;
    input.OnCorner = FLayout.CornerCursor;
    input.WorkArea = FLayout.WorkArea;
    input.SwitcherPosition = FLayout.Switcher.Position;
    const TAutoHideAction action = FDocking.AutoHideTick(input);
    if (action != TAutoHideAction::None)
        DoSlide({});
}

void TQuillbar1::Timer3Timer()
{
    TTickInput in;
    const QPoint pointer = FServices.Input.PointerPos();
    in.PauseHeld = FServices.Input.KeyHeld(Qt::Key_Pause);
    in.SlidOut = FDocking.SlidOut;
    in.PointerInForm = FWindow->geometry().contains(pointer);
    in.LeftButton = FServices.Input.State().LeftButton;
    in.Foreground = FWindow->isActiveWindow();
    in.ShowOnWinD = FSettings.ShowOnWinD;
    in.OnTop = FSettings.OnTop;
    in.DesktopShown = FSettings.ShowOnWinD && FServices.Shell.IsDesktopShown();
    in.PointerOnSwitcher = in.PointerInForm && FLayout.Switcher.Position != SwNone
        && FLayout.CellAtPoint(FWindow->mapFromGlobal(pointer), WindowSize()) == KSwitcherCell;
    in.ButtonDown = FPointer && FPointer->ButtonDown;
    in.IdleSeconds = in.PointerOnSwitcher ? FServices.Display.IdleSeconds() : 0;
    in.Dragging = FPointer && FPointer->Dragging;
    in.Banks = FSettings.Banks;

    const TTickActions act = FTickDuties.Tick(in);
    if (act.BringToFront)
        BringToFront();
    if (act.PlayGlick)
        DoClick(QStringLiteral("GLICK"));
    if (act.SlideIn && FDocking.SlidOut)
        DoSlide({});
    if (act.KeepAwake >= 0)
        FServices.Display.SetKeepAwake(act.KeepAwake == 1);
    if (act.NextPage) {
        FCurPage = qb::NextPage(FCurPage, FSettings.Banks);
        DrawBank(QStringLiteral("LTING"));
    }
}

void TQuillbar1::Timer2Timer()
{
    TOpacityInput input;
    input.AutoOpaque = FSettings.AutoOpaque;
    input.Opacity = FSettings.Opacity;
    input.PointerInForm = FWindow->geometry().contains(FServices.Input.PointerPos());
    input.Focused = FWindow->isActiveWindow();
    if (const auto alpha = FDocking.OpacityTick(input))
        MakeTrans(*alpha);
}

void TQuillbar1::SwitcherClick()
{
    TSwitcherClickInput input;
    input.Caption = FSettings.CheviCap;
    input.Banks = FSettings.Banks;
    input.Sliding = FDocking.Sliding;
    input.RightButton = FServices.Input.State().RightButton;
    input.F1Held = FHeldKeys.contains(Qt::Key_F1);
    input.SwitcherPosition = FLayout.Switcher.Position;
    input.Dragging = FPointer && FPointer->Dragging;
    switch (SwitcherClickAction(input)) {
    case TSwitcherAction::Close:
        Close();
        break;
    case TSwitcherAction::NextPage:
        FCurPage = qb::NextPage(FCurPage, FSettings.Banks);
        if (FPointer)
            FPointer->ButtonDown = false;
        if (!FDocking.SlidOut)
            DrawBank(QStringLiteral("LTING"));
        break;
    case TSwitcherAction::Slide:
        FCurPage = 0;
        FDocking.SlideEdge = SlideToSwitcher;
        DoSlide(
            [this] { FCues->DoClick(FDocking.SlidOut ? QStringLiteral("SLOUT") : QStringLiteral("SLDIN")); });
        break;
    }
}

void TQuillbar1::MakeTrans(int alpha)
{
    alpha = qBound(0, alpha, 255);
    FDocking.CurAlpha = alpha;
    if (FWindow && !qFuzzyCompare(FWindow->windowOpacity(), alpha / 255.0))
        FWindow->setWindowOpacity(alpha / 255.0);
}

// --- ISettingsHost

void TQuillbar1::ApplyPosition(int, int, int)
{
    FLayout.ReadPosition(FSettings, MonitorList());
}

void TQuillbar1::ApplyOnTop(bool)
{
    ApplyStanding();
}

void TQuillbar1::ApplyStanding()
{
    if (!FWindow)
        return;
    FWindow->SetStanding(FSettings.OnTop, FSettings.ShowAltTab);
    if (FWindow->isVisible())
        FServices.Windows.SetTaskbarEntry(TWindowId(FWindow->winId()), FSettings.ShowAltTab);
}

void TQuillbar1::WatchScreens()
{
    const auto watch = [this](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, &TQuillbar1::DisplayChanged, Qt::UniqueConnection);
        connect(screen, &QScreen::availableGeometryChanged, this, &TQuillbar1::DisplayChanged,
            Qt::UniqueConnection);
        connect(screen, &QScreen::logicalDotsPerInchChanged, this, [this] {
            // The new scale takes effect at the next layout change.
            if (QScreen* own = FWindow->screen())
                FLayout.SetDpiScale(DpiScaleFromDpi(own->logicalDotsPerInch()));
        });
    };
    const auto screens = QGuiApplication::screens();
    for (QScreen* screen : screens)
        watch(screen);
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    connect(app, &QGuiApplication::screenAdded, this, [this, watch](QScreen* screen) {
        watch(screen);
        DisplayChanged();
    });
    connect(app, &QGuiApplication::screenRemoved, this, &TQuillbar1::DisplayChanged, Qt::UniqueConnection);
    connect(
        app, &QGuiApplication::primaryScreenChanged, this, &TQuillbar1::DisplayChanged, Qt::UniqueConnection);
}

void TQuillbar1::DisplayChanged()
{
    if (FState.Closing || !FWindow)
        return;
    if (FDocking.SlidOut)
        DoSlide({});
    FLayout.DisplayChanged(FDocking.SlidOut ? FDocking.SlideRect : FWindow->geometry(), MonitorList());
    // Let the desktop settle its other windows first.
    QTimer::singleShot(0, this, [this] {
        if (!FState.Closing && !FDocking.Sliding)
            PlaceWindow();
    });
}

void TQuillbar1::ApplyTrayIcon(bool)
{
}

void TQuillbar1::ApplyOpacity(int opacity)
{
    if (FActivated)
        MakeTrans(opacity);
}

void TQuillbar1::RequestWeatherRefresh()
{
    FWeatherRefresh = true;
}

void TQuillbar1::ApplySoundNames(const TSoundNames&)
{
}

QString TQuillbar1::AreaCodePlaceholder() const
{
    return QStringLiteral("...");
}

void TQuillbar1::SaveButtonList()
{
    qb::SaveButtonList(FLoc.DataDir, FButtons);
}

void TQuillbar1::SaveIconStoreIfChanged()
{
    WriteMapsIfChanged(FIcons, FIconStoreHash, FLoc.DataDir + KBitmapsStream);
}

TBarPosition TQuillbar1::CurrentPosition() const
{
    return { FLayout.PosTop, FLayout.PosRight };
}

void TQuillbar1::PositionSaved(TBarPosition position)
{
    FLayout.BackupTop = position.Top;
    FLayout.BackupRight = position.Right;
}

int TQuillbar1::NearestMonitor() const
{
    const QList<TMonitor> monitors = MonitorList();
    return std::max(0, qb::NearestMonitor(FWindow ? FWindow->geometry() : QRect(), monitors));
}

void TQuillbar1::ClearModified()
{
    FState.Modified = false;
}

QSize TQuillbar1::WindowSize() const
{
    return FWindow->size();
}

void TQuillbar1::BarCloseRequested()
{
    Close();
}

} // namespace qb
