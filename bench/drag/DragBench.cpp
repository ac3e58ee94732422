// How smoothly the drag animation runs on a real X server: the real bar is started on a
// temporary data folder, a button is dragged off it by synthetic pointer input (XTEST, so the
// bar sees the pointer and the held button exactly as it sees a hand's), swung around on the
// desktop and let go, and every tick of the 16 ms animation timer is timed from outside the bar:
// from the tick's dispatch until the picture it produced has been processed by the X server.
//   qb-dragbench [--drags N] [--outside-ms M] [--no-sync] [--watch] [--dump FILE]
// --watch adds a thread that asks the X server for an answer every few milliseconds and reads the
// scheduler's statistics of the server, the window manager and the bar's UI thread, to tell what
// a slow tick waited for; it costs a little processor time itself, so the plain figures come from
// runs without it. --dump appends every dispatch of every drag to a file.
// Needs an X server with a window manager; bench/drag/run.sh provides both.
//
// Everything is seen through QApplication::notify: the tick is the timer event of the bar's
// 16 ms repeating QTimer, the picture is the paint event of the overlay window (or of the bar
// window while the icon is over the bar), and after the dispatch that painted and flushed it a
// round trip on the bar's own X connection tells when the server has drawn it (--no-sync leaves
// the round trip out and takes the end of that dispatch instead). As the overlay is a managed
// top-level window, its moves and resizes go through the window manager and come back as
// configure and expose events; "tick-to-settled" waits for those too.
#include "core/Quillbar.h"
#include "platform/linux/LinuxClock.h"
#include "platform/linux/LinuxDesktopWindows.h"
#include "platform/linux/LinuxDisplay.h"
#include "platform/linux/LinuxHotKeys.h"
#include "platform/linux/LinuxInput.h"
#include "platform/linux/LinuxPower.h"
#include "platform/linux/LinuxSession.h"
#include "platform/linux/LinuxShell.h"
#include "platform/linux/LinuxSound.h"
#include "storage/BitmapCollection.h"
#include "storage/ButtonList.h"
#include "storage/MiniIni.h"
#include "toolbar/OverlayWindow.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <sys/resource.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace qb {
namespace {

using TTime = std::chrono::steady_clock::time_point;

TTime Now()
{
    return std::chrono::steady_clock::now();
}

double Ms(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// What the calling thread has used of the processor, and how often it gave it up: by waiting
// (for a reply of the X server, say) or by being preempted.
struct TThreadUse {
    double CpuMs = 0;
    long Waits = 0;
    long Preemptions = 0;

    static TThreadUse Now()
    {
        TThreadUse u;
        timespec cpu {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
        u.CpuMs = double(cpu.tv_sec) * 1e3 + double(cpu.tv_nsec) / 1e6;
        rusage usage {};
        getrusage(RUSAGE_THREAD, &usage);
        u.Waits = usage.ru_nvcsw;
        u.Preemptions = usage.ru_nivcsw;
        return u;
    }
    TThreadUse operator-(const TThreadUse& o) const
    {
        return { CpuMs - o.CpuMs, Waits - o.Waits, Preemptions - o.Preemptions };
    }
};

constexpr int KTickMs = 16;
constexpr int KRows = 2;
constexpr int KCols = 8;
constexpr int KIconSizeIndex = 4; // 48 pixels
constexpr int KIconPixels = 48;
constexpr int KPointerStepMs = 8; // a 125 Hz mouse

// --- the data folder

// A rounded tile in its own hue with a disc on it: transparent corners and soft and hard
// edges, as real icons have.
void PaintIcon(TBitmap32& icon, int index)
{
    icon.SetSize(KIconPixels, KIconPixels);
    icon.Clear(0);
    const TColor32 face = QColor::fromHsv((index * 137) % 360, 180, 210).rgba();
    const TColor32 mark = QColor::fromHsv((index * 137 + 180) % 360, 255, 250).rgba();
    const double centre = (KIconPixels - 1) / 2.0;
    for (int y = 0; y < KIconPixels; ++y) {
        for (int x = 0; x < KIconPixels; ++x) {
            const double dx = x - centre;
            const double dy = y - centre;
            const double cx = std::max(std::abs(dx) - (centre - 8), 0.0);
            const double cy = std::max(std::abs(dy) - (centre - 8), 0.0);
            if (cx * cx + cy * cy > 64.0)
                continue;
            icon.SetPixel(x, y, dx * dx + dy * dy <= 14.0 * 14.0 ? mark : face);
        }
    }
}

// One page of 2 x 8 buttons with 48-pixel icons; no fade-in, so the bar is ready at once.
void WriteDataFolder(const QString& dir)
{
    TMiniIni settings;
    settings.SetValue(QStringLiteral("Size"), QStringLiteral("Rows"), KRows);
    settings.SetValue(QStringLiteral("Size"), QStringLiteral("Cols"), KCols);
    settings.SetValue(QStringLiteral("Size"), QStringLiteral("Banks"), 1);
    settings.SetValue(QStringLiteral("Size"), QStringLiteral("IconSize"), KIconSizeIndex);
    settings.SetValue(QStringLiteral("Misc"), QStringLiteral("FadeIn"), false);
    settings.SetValue(QStringLiteral("Misc"), QStringLiteral("CheckForUpdates"), false);
    settings.Save(QDir(dir).filePath(QStringLiteral("quillbar.ini")));

    TBitmapCollection icons;
    TButtonList buttons(KRows * KCols);
    for (int i = 0; i < KRows * KCols; ++i) {
        PaintIcon(icons.Add(), i);
        buttons[i].BType = QStringLiteral("Exec");
        buttons[i].Path = QStringLiteral("/bin/true");
        buttons[i].Hint = QStringLiteral("Button %1").arg(i + 1);
    }
    icons.WriteMaps(QDir(dir).filePath(KBitmapsStream));
    SaveButtonList(dir, buttons);
}

// --- what the event loop did

enum class TTarget : quint8 { Other, RubberTick };

// One outermost dispatch of the UI thread's event loop.
struct TDispatch {
    TTime Begin;
    TTime End;
    TTime Drawn; // the server has processed what this dispatch painted (End with --no-sync)
    TTime OverlayPaintBegin;
    TTime OverlayPaintEnd;
    TTime BarPaintBegin;
    TTime BarPaintEnd;
    TThreadUse UseBegin; // the UI thread's use so far, when the dispatch began
    TThreadUse Use; // of the dispatch, without the round trip
    const QObject* Receiver = nullptr;
    const char* ClassName = "";
    QEvent::Type Type = QEvent::None;
    TTarget Target = TTarget::Other;
    bool PaintedOverlay = false;
    bool PaintedBar = false;
    bool OverlayShown = false; // for a tick: the icon is in the overlay once the tick is over
    // The overlay's window was moved or resized by the server (the window manager placed it),
    // or exposed (a resize showed more of it, and the backing store is flushed again).
    bool OverlayPlaced = false;
};

// The application object of the measurement: times every event dispatched on the UI thread
// while recording, and waits for the X server after each dispatch that painted the overlay or
// the bar.
class TProbeApp final : public QApplication {
public:
    TProbeApp(int& argc, char** argv)
        : QApplication(argc, argv)
        , FUiThread(QThread::currentThread())
    {
        FLog.reserve(1 << 18);
        if (auto* x11 = nativeInterface<QNativeInterface::QX11Application>())
            FConnection = x11->connection();
        if (!FConnection)
            throw std::runtime_error("needs the xcb platform (an X server)");
    }

    void StartRecording()
    {
        FLog.clear();
        FTickTimers.clear();
        FRecording = true;
    }
    void StopRecording() { FRecording = false; }
    const std::vector<TDispatch>& Log() const { return FLog; }
    // How many different 16 ms repeating timers fired while recording; only the drag animation's
    // should.
    qsizetype TickTimerCount() const { return FTickTimers.size(); }
    std::optional<TTime> LastTick() const { return FLastTick; }
    void ForgetLastTick() { FLastTick.reset(); }
    bool Sync = true;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!FRecording || QThread::currentThread() != FUiThread)
            return QApplication::notify(receiver, event);

        const bool outermost = FDepth == 0;
        if (outermost)
            FCurrent = TDispatch();
        // The receiver may be gone once the event is handled (a single-shot timer deletes itself).
        const char* className = receiver->metaObject()->className();
        const TThreadUse useBefore = outermost ? TThreadUse::Now() : TThreadUse();
        const TTime begin = Now();
        const QEvent::Type type = event->type();
        const bool overlayPaint = type == QEvent::Paint && qobject_cast<TOverlay1*>(receiver);
        const bool barPaint = type == QEvent::Paint && qobject_cast<TBarWindow*>(receiver);
        const bool overlayPlaced = outermost
            && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Expose)
            && IsOverlayWindow(receiver);
        bool tick = false;
        if (outermost && type == QEvent::Timer) {
            if (auto* timer = qobject_cast<QTimer*>(receiver);
                timer && timer->interval() == KTickMs && !timer->isSingleShot()) {
                tick = true;
                FTickTimers.insert(timer);
                FLastTick = begin;
            }
        }

        ++FDepth;
        const bool result = QApplication::notify(receiver, event);
        --FDepth;
        const TTime end = Now();

        if (overlayPaint && !FCurrent.PaintedOverlay) {
            FCurrent.PaintedOverlay = true;
            FCurrent.OverlayPaintBegin = begin;
            FCurrent.OverlayPaintEnd = end;
        }
        if (barPaint && !FCurrent.PaintedBar) {
            FCurrent.PaintedBar = true;
            FCurrent.BarPaintBegin = begin;
            FCurrent.BarPaintEnd = end;
        }
        if (outermost) {
            FCurrent.UseBegin = useBefore;
            FCurrent.Use = TThreadUse::Now() - useBefore;
            FCurrent.Begin = begin;
            FCurrent.End = end;
            FCurrent.Drawn = end;
            FCurrent.Receiver = receiver;
            FCurrent.ClassName = className;
            FCurrent.Type = type;
            FCurrent.Target = tick ? TTarget::RubberTick : TTarget::Other;
            if (tick)
                FCurrent.OverlayShown = OverlayShown();
            FCurrent.OverlayPlaced = overlayPlaced;
            const bool exposed = type == QEvent::Expose && overlayPlaced;
            if (Sync && (FCurrent.PaintedOverlay || FCurrent.PaintedBar || exposed)) {
                std::free(xcb_get_input_focus_reply(FConnection, xcb_get_input_focus(FConnection), nullptr));
                FCurrent.Drawn = Now();
            }
            FLog.push_back(FCurrent);
        }
        return result;
    }

private:
    static bool IsOverlayWindow(const QObject* receiver)
    {
        if (!receiver->isWindowType())
            return false;
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.cbegin(), windows.cend(), [&](const QWidget* w) {
            return qobject_cast<const TOverlay1*>(w) && w->windowHandle() == receiver;
        });
    }

    static bool OverlayShown()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.cbegin(), windows.cend(),
            [](const QWidget* w) { return qobject_cast<const TOverlay1*>(w) && w->isVisible(); });
    }

    QThread* FUiThread;
    xcb_connection_t* FConnection = nullptr;
    bool FRecording = false;
    int FDepth = 0;
    TDispatch FCurrent;
    std::vector<TDispatch> FLog;
    QSet<const QTimer*> FTickTimers;
    std::optional<TTime> FLastTick;
};

// --- the X server and the window manager, watched from beside

// Processor time and time spent waiting for a processor, from the scheduler's statistics.
struct TSchedStat {
    double CpuMs = 0;
    double QueuedMs = 0;
    TSchedStat operator-(const TSchedStat& o) const { return { CpuMs - o.CpuMs, QueuedMs - o.QueuedMs }; }
};

std::optional<TSchedStat> ReadSchedStat(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> fields = file.readAll().simplified().split(' ');
    if (fields.size() < 2)
        return std::nullopt;
    return TSchedStat { fields[0].toDouble() / 1e6, fields[1].toDouble() / 1e6 };
}

// The X server of our display and the window manager on it, found by their command lines.
struct TDesktopProcesses {
    QString Server;
    QString WindowManager;
};

TDesktopProcesses FindDesktopProcesses()
{
    TDesktopProcesses found;
    const QByteArray display = qgetenv("DISPLAY");
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : pids) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> args = cmdline.readAll().split('\0');
        const QByteArray program = args.value(0).mid(args.value(0).lastIndexOf('/') + 1);
        if (program == "Xvfb" && args.value(1) == display) {
            found.Server = pid;
        } else if (program == "openbox") {
            QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
            if (environ.open(QIODevice::ReadOnly)
                && environ.readAll().split('\0').contains("DISPLAY=" + display))
                found.WindowManager = pid;
        }
    }
    return found;
}

// Every few milliseconds, on its own thread and X connection: how long the server takes to
// answer, and how much processor time the server, the window manager and the bar's UI thread
// got and waited for. Shows whether a slow tick waited for one of them.
class TServerWatch {
public:
    struct TSample {
        TTime Sent;
        TTime Answered;
        TSchedStat Server;
        TSchedStat WindowManager;
        TSchedStat UiThread;
    };

    TServerWatch(const TDesktopProcesses& processes, pid_t uiThread)
        : FServer(QStringLiteral("/proc/%1/schedstat").arg(processes.Server))
        , FWindowManager(QStringLiteral("/proc/%1/schedstat").arg(processes.WindowManager))
        , FUiThread(QStringLiteral("/proc/self/task/%1/schedstat").arg(uiThread))
        , FThread([this] { Run(); })
    {
    }
    ~TServerWatch() { Stop(); }

    // Ends the watch; the samples may be read from then on.
    void Stop()
    {
        FStop = true;
        if (FThread.joinable())
            FThread.join();
    }
    const std::vector<TSample>& Samples() const { return FSamples; }

private:
    void Run()
    {
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        FSamples.reserve(4096);
        while (!FStop && !xcb_connection_has_error(c)) {
            TSample sample;
            sample.Sent = Now();
            std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
            sample.Answered = Now();
            sample.Server = ReadSchedStat(FServer).value_or(TSchedStat());
            sample.WindowManager = ReadSchedStat(FWindowManager).value_or(TSchedStat());
            sample.UiThread = ReadSchedStat(FUiThread).value_or(TSchedStat());
            FSamples.push_back(sample);
            std::this_thread::sleep_for(std::chrono::milliseconds(4));
        }
        xcb_disconnect(c);
    }

    QString FServer;
    QString FWindowManager;
    QString FUiThread;
    std::vector<TSample> FSamples;
    std::atomic<bool> FStop = false;
    std::thread FThread;
};

// What the watch saw between `from` and `to`: the slowest answer of the server to a request
// that was under way then, and the processor time got and waited for.
void PrintWatch(const std::vector<TServerWatch::TSample>& samples, TTime from, TTime to)
{
    if (samples.empty())
        return;
    // The samples that enclose the span.
    const auto byAnswer = [](TTime time, const TServerWatch::TSample& s) { return time < s.Answered; };
    auto after = std::upper_bound(samples.begin(), samples.end(), from, byAnswer);
    const TServerWatch::TSample first = after == samples.begin() ? samples.front() : *std::prev(after);
    after = std::upper_bound(samples.begin(), samples.end(), to, byAnswer);
    const TServerWatch::TSample last = after == samples.end() ? samples.back() : *after;
    double slowest = 0;
    for (const auto& s : samples) {
        if (s.Sent <= to && s.Answered >= from)
            slowest = std::max(slowest, Ms(s.Answered - s.Sent));
    }
    const TSchedStat server = last.Server - first.Server;
    const TSchedStat manager = last.WindowManager - first.WindowManager;
    const TSchedStat ui = last.UiThread - first.UiThread;
    std::printf(
        "      beside it (%.1f ms watched): X server answered within %.2f ms at worst; processor time got / "
        "waited for: X server %.2f / %.2f ms, window manager %.2f / %.2f ms, UI thread %.2f / %.2f ms\n",
        Ms(last.Answered - first.Answered), slowest, server.CpuMs, server.QueuedMs, manager.CpuMs,
        manager.QueuedMs, ui.CpuMs, ui.QueuedMs);
}

// --- the hand

struct TPointerStep {
    enum TKind : quint8 { Move, Press, Release };
    int AtMs = 0;
    TKind Kind = Move;
    QPoint Pos;
};

// Plays pointer steps on its own thread and X connection, through XTEST, so the bar gets real
// device events and its queries of the pointer and the buttons see them too.
class TPointerScript {
public:
    explicit TPointerScript(std::vector<TPointerStep> steps)
        : FSteps(std::move(steps))
        , FThread([this] { Run(); })
    {
    }
    ~TPointerScript() { FThread.join(); }
    bool Done() const { return FDone; }

    // Puts the pointer at `pos` at once, from the calling thread.
    static void MoveNow(QPoint pos)
    {
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        if (!xcb_connection_has_error(c)) {
            Fake(c, XCB_MOTION_NOTIFY, 0, pos);
            std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        }
        xcb_disconnect(c);
    }

private:
    static void Fake(xcb_connection_t* c, quint8 type, quint8 detail, QPoint pos)
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        xcb_test_fake_input(c, type, detail, XCB_CURRENT_TIME, root, qint16(pos.x()), qint16(pos.y()), 0);
        xcb_flush(c);
    }

    void Run()
    {
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        if (!xcb_connection_has_error(c)) {
            const TTime start = Now();
            for (const TPointerStep& step : FSteps) {
                std::this_thread::sleep_until(start + std::chrono::milliseconds(step.AtMs));
                switch (step.Kind) {
                case TPointerStep::Move:
                    Fake(c, XCB_MOTION_NOTIFY, 0, step.Pos);
                    break;
                case TPointerStep::Press:
                    Fake(c, XCB_BUTTON_PRESS, 1, step.Pos);
                    break;
                case TPointerStep::Release:
                    Fake(c, XCB_BUTTON_RELEASE, 1, step.Pos);
                    break;
                }
            }
            // Requests still unread when the connection closes may be dropped.
            std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        }
        xcb_disconnect(c);
        FDone = true;
    }

    std::vector<TPointerStep> FSteps;
    std::atomic<bool> FDone = false;
    std::thread FThread;
};

// Press on cell 0, drag over the bar to cell 6, out below the bar, around on the desktop for
// `outsideMs` and let go there: the icon flies back into its cell.
std::vector<TPointerStep> DragScript(const TQuillbar1& bar, int outsideMs)
{
    const QRect window = bar.Window()->geometry();
    const TLayout& layout = bar.Layout();
    const double sx = double(window.width()) / std::max(1, layout.BarW);
    const double sy = double(window.height()) / std::max(1, layout.BarH);
    const auto cell = [&](int c) {
        const QPointF centre = QRectF(layout.CalcRect(c)).center();
        return window.topLeft() + QPoint(int(centre.x() * sx), int(centre.y() * sy));
    };
    std::vector<TPointerStep> steps;
    int at = 0;
    const auto line = [&](QPoint from, QPoint to, int ms) {
        const int n = std::max(1, ms / KPointerStepMs);
        for (int i = 1; i <= n; ++i)
            steps.push_back({ at + i * KPointerStepMs, TPointerStep::Move, from + (to - from) * i / n });
        at += n * KPointerStepMs;
    };
    steps.push_back({ at, TPointerStep::Move, cell(0) });
    at += 150;
    steps.push_back({ at, TPointerStep::Press, cell(0) });
    at += 50;
    line(cell(0), cell(1), 200);
    line(cell(1), cell(6), 300);
    const QPoint centre(window.center().x(), window.bottom() + 250);
    line(cell(6), centre, 300);
    // A Lissajous figure: the icon is pulled about fast enough to swing and turn all the time.
    const int n = outsideMs / KPointerStepMs;
    for (int i = 1; i <= n; ++i) {
        const double t = i * KPointerStepMs / 1000.0;
        const QPoint p = centre
            + QPoint(int(150 * std::sin(2 * std::numbers::pi * t / 1.3)),
                int(100 * std::sin(2 * std::numbers::pi * t / 0.9)));
        steps.push_back({ at + i * KPointerStepMs, TPointerStep::Move, p });
    }
    at += n * KPointerStepMs;
    steps.push_back({ at + KPointerStepMs, TPointerStep::Release, steps.back().Pos });
    return steps;
}

// --- waiting without blocking the event loop

void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

template <typename Pred> bool RunUntil(Pred done, int timeoutMs)
{
    const TTime end = Now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (Now() > end)
            return false;
        RunFor(20);
    }
    return true;
}

// --- figures

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return std::nan("");
    std::sort(values.begin(), values.end());
    const auto rank = std::size_t(std::ceil(p * double(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

struct TTick {
    std::size_t Index = 0; // in the log
    std::size_t PaintIndex = 0; // the dispatch that drew its picture
    bool Overlay = false;
    bool Painted = false;
    bool Superseded = false; // its picture reached the server only after the next tick began
    double ToPaint = 0; // ms
    // Overlay ticks: until the last of the paint, the window manager's placing of the window
    // and the flush after an expose, before the next tick; ms.
    double ToSettled = 0;
    double Interval = 0; // ms since the previous tick; 0 for the first
};

struct TDragFigures {
    double Load = 0;
    std::vector<TTick> Ticks;
    std::vector<double> OverlayToPaint;
    std::vector<double> LayerToPaint;
    std::vector<double> OverlayToSettled;
    std::vector<double> Intervals;
    std::vector<double> SyncWaits;
    std::vector<double> Handlers; // wall time of the tick handler
    std::vector<double> HandlerCpu; // the UI thread's processor time in it
    int PreemptedHandlers = 0;
    int Dropped = 0;
    int Superseded = 0;
    int Unpainted = 0;
    int PointerMoves = 0;
    double Seconds = 0;
    std::optional<TTime> Release; // the button release reached the bar
    TTime LastTick;
    qsizetype TickTimers = 0;
};

TDragFigures Analyse(const std::vector<TDispatch>& log)
{
    TDragFigures f;
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i].Target == TTarget::RubberTick)
            f.Ticks.push_back({ i, 0, log[i].OverlayShown });
        if (log[i].Type == QEvent::MouseMove)
            ++f.PointerMoves;
        if (log[i].Type == QEvent::MouseButtonRelease && !f.Release)
            f.Release = log[i].Begin;
        if ((log[i].PaintedOverlay || log[i].PaintedBar) && log[i].Drawn != log[i].End)
            f.SyncWaits.push_back(Ms(log[i].Drawn - log[i].End));
    }
    if (f.Ticks.empty())
        return f;
    f.Seconds = Ms(log[f.Ticks.back().Index].Begin - log[f.Ticks.front().Index].Begin) / 1000;
    f.LastTick = log[f.Ticks.back().Index].Begin;
    for (std::size_t k = 0; k < f.Ticks.size(); ++k) {
        TTick& t = f.Ticks[k];
        const TDispatch& tick = log[t.Index];
        f.Handlers.push_back(Ms(tick.End - tick.Begin));
        f.HandlerCpu.push_back(tick.Use.CpuMs);
        if (tick.Use.Preemptions > 0)
            ++f.PreemptedHandlers;
        if (k > 0) {
            t.Interval = Ms(tick.Begin - log[f.Ticks[k - 1].Index].Begin);
            f.Intervals.push_back(t.Interval);
            if (t.Interval > 2 * KTickMs)
                ++f.Dropped;
        }
        for (std::size_t j = t.Index; j < log.size(); ++j) {
            if (t.Overlay ? log[j].PaintedOverlay : log[j].PaintedBar) {
                t.Painted = true;
                t.PaintIndex = j;
                t.ToPaint = Ms(log[j].Drawn - tick.Begin);
                break;
            }
        }
        if (!t.Painted) {
            ++f.Unpainted;
            continue;
        }
        t.Superseded = k + 1 < f.Ticks.size() && t.PaintIndex >= f.Ticks[k + 1].Index;
        if (t.Superseded)
            ++f.Superseded;
        (t.Overlay ? f.OverlayToPaint : f.LayerToPaint).push_back(t.ToPaint);
        if (t.Overlay) {
            const std::size_t next = k + 1 < f.Ticks.size() ? f.Ticks[k + 1].Index : log.size();
            TTime settled = log[t.PaintIndex].Drawn;
            for (std::size_t j = t.Index + 1; j < next; ++j) {
                if (log[j].OverlayPlaced)
                    settled = std::max(settled, log[j].Drawn);
            }
            t.ToSettled = Ms(settled - tick.Begin);
            f.OverlayToSettled.push_back(t.ToSettled);
        }
    }
    return f;
}

double LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nan("");
    return file.readAll().split(' ').value(0).toDouble();
}

QString Triple(const std::vector<double>& v)
{
    if (v.empty())
        return QStringLiteral("-");
    return QStringLiteral("%1 / %2 / %3")
        .arg(Percentile(v, 0.5), 0, 'f', 2)
        .arg(Percentile(v, 0.95), 0, 'f', 2)
        .arg(*std::max_element(v.begin(), v.end()), 0, 'f', 2);
}

QString Describe(const TDispatch& d, const TQuillbar1& bar)
{
    QString who = QString::fromLatin1(d.ClassName);
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (d.Receiver == w || (w->windowHandle() && d.Receiver == w->windowHandle())) {
            who += qobject_cast<const TOverlay1*>(w)       ? QStringLiteral("(overlay)")
                : w == static_cast<QWidget*>(bar.Window()) ? QStringLiteral("(bar)")
                                                           : QString();
        }
    }
    return QStringLiteral("%1 %2").arg(int(d.Type)).arg(who);
}

QString UseText(const TThreadUse& use)
{
    return QStringLiteral("(own processor time %1 ms, waited %2 times, preempted %3 times)")
        .arg(use.CpuMs, 0, 'f', 2)
        .arg(use.Waits)
        .arg(use.Preemptions);
}

// The dispatches after log[from] up to log[to] and the time between them, leaving out what
// took less than `minMs`; the round trips after paints count as time between dispatches.
void PrintSpan(
    const std::vector<TDispatch>& log, std::size_t from, std::size_t to, double minMs, const TQuillbar1& bar)
{
    int left = 0;
    for (std::size_t j = from + 1; j <= to; ++j) {
        const TDispatch& previous = log[j - 1];
        const TDispatch& d = log[j];
        const double gap = Ms(d.Begin - previous.Drawn);
        if (gap >= minMs) {
            const TThreadUse previousEnd { previous.UseBegin.CpuMs + previous.Use.CpuMs,
                previous.UseBegin.Waits + previous.Use.Waits,
                previous.UseBegin.Preemptions + previous.Use.Preemptions };
            std::printf(
                "      outside any event %.2f ms %s\n", gap, qPrintable(UseText(d.UseBegin - previousEnd)));
        }
        if (j == to || Ms(d.End - d.Begin) >= minMs)
            std::printf("      event %s %.2f ms %s\n", qPrintable(Describe(d, bar)), Ms(d.End - d.Begin),
                qPrintable(UseText(d.Use)));
        else
            ++left;
    }
    if (left > 0 && minMs > 0.05)
        std::printf("      (and %d shorter events)\n", left);
}

// Where the time of one tick went, from its dispatch to its picture on the server.
void PrintTickDetail(const std::vector<TDispatch>& log, const TTick& t, const TTime origin,
    const TQuillbar1& bar, const std::vector<TServerWatch::TSample>& watch)
{
    const TDispatch& tick = log[t.Index];
    const TDispatch& paint = log[t.PaintIndex];
    std::printf("    tick at +%.1f ms (%s, interval %.2f ms): tick-to-paint %.2f ms", Ms(tick.Begin - origin),
        t.Overlay ? "overlay" : "bar layer", t.Interval, t.ToPaint);
    if (t.Overlay)
        std::printf(", tick-to-settled %.2f ms", t.ToSettled);
    std::printf("\n");
    std::printf("      tick handler %.2f ms %s\n", Ms(tick.End - tick.Begin), qPrintable(UseText(tick.Use)));
    PrintSpan(log, t.Index, t.PaintIndex, 0.05, bar);
    const TTime paintBegin = t.Overlay ? paint.OverlayPaintBegin : paint.BarPaintBegin;
    const TTime paintEnd = t.Overlay ? paint.OverlayPaintEnd : paint.BarPaintEnd;
    std::printf("      of which: paint event %.2f ms, then flush %.2f ms, then server round trip %.2f ms\n",
        Ms(paintEnd - paintBegin), Ms(paint.End - paintEnd), Ms(paint.Drawn - paint.End));
    PrintWatch(watch, tick.Begin, paint.Drawn);
}

void PrintTable(const std::vector<TDragFigures>& drags, std::size_t first)
{
    TDragFigures all;
    for (std::size_t i = first; i < drags.size(); ++i) {
        const TDragFigures& d = drags[i];
        all.OverlayToPaint.insert(all.OverlayToPaint.end(), d.OverlayToPaint.begin(), d.OverlayToPaint.end());
        all.LayerToPaint.insert(all.LayerToPaint.end(), d.LayerToPaint.begin(), d.LayerToPaint.end());
        all.OverlayToSettled.insert(
            all.OverlayToSettled.end(), d.OverlayToSettled.begin(), d.OverlayToSettled.end());
        all.Intervals.insert(all.Intervals.end(), d.Intervals.begin(), d.Intervals.end());
        all.SyncWaits.insert(all.SyncWaits.end(), d.SyncWaits.begin(), d.SyncWaits.end());
        all.Handlers.insert(all.Handlers.end(), d.Handlers.begin(), d.Handlers.end());
        all.HandlerCpu.insert(all.HandlerCpu.end(), d.HandlerCpu.begin(), d.HandlerCpu.end());
        all.PreemptedHandlers += d.PreemptedHandlers;
        all.Dropped += d.Dropped;
        all.Superseded += d.Superseded;
        all.Unpainted += d.Unpainted;
    }
    std::printf("  overlay tick-to-paint ms (median / p95 / worst): %s  [%zu ticks]\n",
        qPrintable(Triple(all.OverlayToPaint)), all.OverlayToPaint.size());
    std::printf(
        "  overlay tick-to-settled ms (also placed by the window manager and flushed after its expose): %s\n",
        qPrintable(Triple(all.OverlayToSettled)));
    std::printf("  bar layer tick-to-paint ms (median / p95 / worst): %s  [%zu ticks]\n",
        qPrintable(Triple(all.LayerToPaint)), all.LayerToPaint.size());
    std::printf(
        "  tick interval ms (median / p95 / worst): %s; over %d ms (dropped frame): %d; picture after "
        "the next tick: %d; no picture: %d\n",
        qPrintable(Triple(all.Intervals)), 2 * KTickMs, all.Dropped, all.Superseded, all.Unpainted);
    std::printf("  tick handler ms (median / p95 / worst): %s, of it the UI thread's own processor time: %s; "
                "handlers preempted: %d\n",
        qPrintable(Triple(all.Handlers)), qPrintable(Triple(all.HandlerCpu)), all.PreemptedHandlers);
    if (!all.SyncWaits.empty())
        std::printf("  server round trip after a paint ms (median / p95 / worst): %s\n",
            qPrintable(Triple(all.SyncWaits)));
}

struct TOptions {
    int Drags = 4;
    int OutsideMs = 2000;
    bool Sync = true;
    bool Watch = false;
    QString Dump;
};

// Every dispatch of a drag, one a line, for a closer look at a run.
void DumpLog(const QString& path, const std::vector<TDispatch>& log, TTime origin, const TQuillbar1& bar)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        throw std::runtime_error("cannot write the dump file");
    QByteArray text = "begin_ms\tduration_ms\tdrawn_ms\tcpu_ms\twaits\tpreemptions\ttick\toverlay_"
                      "shown\tpainted\tevent\n";
    for (const TDispatch& d : log) {
        text += QByteArray::number(Ms(d.Begin - origin), 'f', 3) + '\t'
            + QByteArray::number(Ms(d.End - d.Begin), 'f', 3) + '\t'
            + QByteArray::number(Ms(d.Drawn - origin), 'f', 3) + '\t'
            + QByteArray::number(d.Use.CpuMs, 'f', 3) + '\t' + QByteArray::number(d.Use.Waits) + '\t'
            + QByteArray::number(d.Use.Preemptions) + '\t' + (d.Target == TTarget::RubberTick ? "1" : "0")
            + '\t' + (d.OverlayShown ? "1" : "0") + '\t'
            + (d.PaintedOverlay    ? "overlay"
                    : d.PaintedBar ? "bar"
                                   : "-")
            + '\t' + Describe(d, bar).toUtf8() + '\n';
    }
    file.write(text);
}

TOptions ParseOptions(int argc, char** argv)
{
    TOptions o;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg = argv[i];
        if (arg == "--drags" && i + 1 < argc)
            o.Drags = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--outside-ms" && i + 1 < argc)
            o.OutsideMs = std::max(100, std::atoi(argv[++i]));
        else if (arg == "--no-sync")
            o.Sync = false;
        else if (arg == "--watch")
            o.Watch = true;
        else if (arg == "--dump" && i + 1 < argc)
            o.Dump = QString::fromLocal8Bit(argv[++i]);
        else
            throw std::invalid_argument(
                "usage: qb-dragbench [--drags N] [--outside-ms M] [--no-sync] [--watch] [--dump FILE]");
    }
    return o;
}

int Run(TProbeApp& app, const TOptions& options)
{
    app.Sync = options.Sync;
    QTemporaryDir dir;
    if (!dir.isValid())
        throw std::runtime_error("no temporary folder");
    WriteDataFolder(dir.path());

    LinuxClock clock;
    LinuxSound sound;
    LinuxHotKeys hotKeys;
    LinuxSession session;
    LinuxShell shell;
    LinuxPower power;
    LinuxDisplay display;
    LinuxDesktopWindows windows;
    LinuxInput input;
    const TBarServices services { clock, sound, hotKeys, session, shell, power, display, windows, input };
    TProgramFile program { dir.filePath(QStringLiteral("quillbar")), dir.filePath(QStringLiteral("user")),
        {} };

    const QPoint away(200, 700);
    TPointerScript::MoveNow(away);
    TQuillbar1 bar(services, program);
    bool finished = false;
    QObject::connect(&bar, &TQuillbar1::Finished, [&] { finished = true; });
    bar.FormCreate();
    bar.Show();
    RunFor(1000);
    const QRect window = bar.Window()->geometry();
    std::printf("bar %dx%d at (%d,%d), icons %d px, zoom %.2f; %s\n", window.width(), window.height(),
        window.x(), window.y(), bar.Layout().IconW, bar.Layout().Zoom,
        options.Sync ? "picture timed once the X server has processed it"
                     : "picture timed when its flush was issued (no server round trip)");

    const TDesktopProcesses desktop = FindDesktopProcesses();
    const pid_t uiThread = gettid();
    if (options.Watch && (desktop.Server.isEmpty() || desktop.WindowManager.isEmpty()))
        std::printf("watch: X server process %s, window manager process %s\n", qPrintable(desktop.Server),
            qPrintable(desktop.WindowManager));

    std::vector<TDragFigures> drags;
    for (int n = 0; n < options.Drags; ++n) {
        TPointerScript::MoveNow(away);
        RunFor(300);
        const double load = LoadAverage();
        app.StartRecording();
        app.ForgetLastTick();
        const TTime origin = Now();
        std::vector<TServerWatch::TSample> watched;
        {
            std::optional<TServerWatch> watch;
            if (options.Watch)
                watch.emplace(desktop, uiThread);
            TPointerScript script(DragScript(bar, options.OutsideMs));
            RunUntil([&] { return script.Done(); }, options.OutsideMs + 10000);
            // The fly-back runs on after the release; the ticks stop once the icon has landed.
            RunUntil([&] { return app.LastTick() && Ms(Now() - *app.LastTick()) > 300; }, 10000);
            if (watch) {
                watch->Stop();
                watched = watch->Samples();
            }
        }
        app.StopRecording();
        TDragFigures f = Analyse(app.Log());
        f.Load = load;
        f.TickTimers = app.TickTimerCount();
        std::printf(
            "\ndrag %d%s: load average %.2f, %zu ticks in %.2f s (%zu with the overlay), %d pointer moves, "
            "16 ms timers seen: %lld\n",
            n + 1, n == 0 ? " (creates the overlay window)" : "", f.Load, f.Ticks.size(), f.Seconds,
            f.OverlayToPaint.size(), f.PointerMoves, static_cast<long long>(f.TickTimers));
        if (f.Release)
            std::printf("  released at +%.0f ms, last tick (landed) at +%.0f ms\n", Ms(*f.Release - origin),
                Ms(f.LastTick - origin));
        PrintTable({ f }, 0);
        if (!watched.empty()) {
            std::vector<double> answers;
            for (const auto& sample : watched)
                answers.push_back(Ms(sample.Answered - sample.Sent));
            std::printf("  X server's answer to a watcher beside the bar ms (median / p95 / worst): %s  [%zu "
                        "requests]\n",
                qPrintable(Triple(answers)), answers.size());
        }
        // The slowest overlay tick and the tick before the longest interval, taken apart.
        const auto slowest = std::max_element(
            f.Ticks.begin(), f.Ticks.end(), [](const TTick& a, const TTick& b) {
                return (a.Overlay && a.Painted ? a.ToPaint : -1) < (b.Overlay && b.Painted ? b.ToPaint : -1);
            });
        if (slowest != f.Ticks.end() && slowest->Overlay && slowest->Painted) {
            std::printf("  slowest overlay tick:\n");
            PrintTickDetail(app.Log(), *slowest, origin, bar, watched);
        }
        const auto longest = std::max_element(f.Ticks.begin(), f.Ticks.end(),
            [](const TTick& a, const TTick& b) { return a.Interval < b.Interval; });
        if (longest != f.Ticks.end() && longest != f.Ticks.begin() && std::prev(longest)->Painted) {
            std::printf("  the tick before the longest interval:\n");
            PrintTickDetail(app.Log(), *std::prev(longest), origin, bar, watched);
            if (longest->Interval > 2 * KTickMs) {
                std::printf("  from that tick to the next, what took 0.5 ms or more:\n");
                PrintSpan(app.Log(), std::prev(longest)->Index, longest->Index, 0.5, bar);
                PrintWatch(
                    watched, app.Log()[std::prev(longest)->Index].Begin, app.Log()[longest->Index].End);
            }
        }
        if (!options.Dump.isEmpty())
            DumpLog(options.Dump, app.Log(), origin, bar);
        drags.push_back(std::move(f));
    }

    std::printf("\nall %d drags:\n", options.Drags);
    PrintTable(drags, 0);
    if (drags.size() > 1) {
        std::printf("drags 2..%d (overlay window already created):\n", options.Drags);
        PrintTable(drags, 1);
    }

    TPointerScript::MoveNow(away);
    bar.Close();
    RunUntil([&] { return finished; }, 5000);
    return 0;
}

} // namespace
} // namespace qb

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    try {
        const qb::TOptions options = qb::ParseOptions(argc, argv);
        qb::TProbeApp app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Quillbar"));
        QApplication::setQuitOnLastWindowClosed(false);
        return qb::Run(app, options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qb-dragbench: %s\n", error.what());
        return 1;
    }
}
