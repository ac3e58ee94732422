#pragma once

#include "platform/IClock.h"
#include "platform/IDesktopWindows.h"
#include "platform/IPower.h"
#include "platform/IShell.h"
#include "platform/ISound.h"
#include "shell/WindowPlacement.h"
#include "storage/ButtonEntry.h"
#include "storage/Settings.h"

#include <QList>
#include <QLoggingCategory>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace qb {

Q_DECLARE_LOGGING_CATEGORY(lcLaunch)

// The keys and mouse buttons held when the pointer was released over a button.
struct TLaunchKeys {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    bool RightButton = false;
    // Caps Lock toggled on (not merely held).
    bool CapsLock = false;
};

enum class TToolBox { Brightness, Magnifier, Clippings };

// What a click asks of the bar itself and of features that live elsewhere. The launcher calls
// these on the UI thread, each as one step of a click. The features that are not built yet
// have do-nothing defaults.
class ILaunchHost {
public:
    virtual ~ILaunchHost() = default;

    // Plays a feedback cue ("UP" ...).
    virtual void DoClick(const QString& cue) = 0;
    // Redraws the current page (the playing marks of sound buttons changed).
    virtual void DrawBank() = 0;
    virtual void SetCurPage(int page) = 0;
    // The page switcher's click: next page, wrapping at both ends, or a slide on a single page.
    virtual void SwitcherClick() = 0;
    // A left click must not open the context menu that the next right press would bring.
    virtual void SuppressMenuAutoPopup() = 0;
    // Ends the program.
    virtual void Close() = 0;
    // The platform's double-click time in milliseconds.
    virtual int DoubleClickTime() const = 0;
    // The bar's own top-level window, never moved by a button's window placement.
    virtual TWindowId BarWindow() const = 0;
    virtual bool Closing() const = 0;
    virtual QList<TMonitorArea> Monitors() const = 0;
    // Runs `step` once, `ms` milliseconds from now, from the event loop.
    virtual void After(int ms, std::function<void()> step) = 0;

    virtual void ShowBox(TToolBox) { }
    virtual void SendPopup(const QString& /*params*/, QChar /*separator*/) { }
    // Resets a running countdown tile (paused at its full time) or runs a paused one.
    virtual void CountDownClick() { }
    virtual bool WeatherRunning() const { return false; }
    virtual void WeatherRefresh() { }
    // Pushes the clipboard text; `params` goes into the request unchanged.
    virtual void PushClipboard(const QString& /*params*/) { }
    virtual void ShowCallHistory(bool /*yesterday*/) { }
};

// The services a launcher acts through; all outlive it.
struct TLaunchServices {
    ILaunchHost& Host;
    IShell& Shell;
    IPower& Power;
    ISound& Sound;
    IClock& Clock;
    IDesktopWindows& Windows;
    const TSettings& Settings;
    // Where "./" and "../" targets start from.
    QString DataDir;
    // The program's own folder.
    QString ExeDir;
};

// What happens when a button is clicked: the button's target is worked out, matched against
// the reserved targets (pages, sounds, power words, tool windows, built-in tiles) and
// otherwise started through the desktop. Also keeps the sound buttons' playing state and the
// window placement a button asked for. UI thread.
class TButtonLauncher final : public QObject {
    Q_OBJECT
public:
    explicit TButtonLauncher(const TLaunchServices& services, QObject* parent = nullptr);
    ~TButtonLauncher() override;

    // The left button was released over `cell` of page `curPage`, where it was pressed.
    // `buttons` is the whole button list. When this returns the click is handled, except for
    // what waits for a sound or a window (an exit sound, a window placement).
    void LaunchButton(
        const QList<TButtonEntry>& buttons, int curPage, int cellsPerPage, int cell, TLaunchKeys keys);

    // The bar lost the focus: the window placement of the last clicked button, if any, is
    // applied after its delay to the window that then has the focus.
    void Deactivated();

    // Stops the sound buttons' sounds and removes their playing marks.
    void StopButtonSounds();
    // Buttons a and b were swapped: their playing marks go with them.
    void ButtonsSwapped(int a, int b);

    // Absolute index of the button clicked last.
    int CurButton() const { return FCurButton; }
    QString LastLaunched() const { return FLastLaunched; }
    qint64 LastLaunchTick() const { return FLastLaunchTick; }
    QString PendingWinPos() const { return FPendingWinPos; }
    // The buttons whose sound plays (-1 when none) and their files.
    int WavButton() const { return FWavButton; }
    int Mp3Button() const { return FMp3Button; }
    QString PlayingWav() const { return FPlayingWav; }
    QString PlayingMp3() const { return FPlayingMp3; }
    // A power command waits for its exit sound.
    bool ExitPending() const { return FPendingExit.has_value(); }

private:
    enum class TMarker { None, Protected, Admin };
    struct TPendingExit {
        int Number = 0;
        bool Forced = false;
        int SoundId = 0;
        quint64 Token = 0;
    };

    void Swallow(const QString& target);
    void Record(const QString& target);
    bool PlaySoundButton(const QString& target);
    bool ReservedWord(const QString& target, const QString& params, TLaunchKeys keys);
    void ShellStart(const QString& target, const QString& params, bool elevate, TLaunchKeys keys);
    void StartExit(int number, bool forced, const QString& params);
    void FinishExit(quint64 token);
    void SoundFinished(int id);
    void PlaceForeground(QRect rect);

    TLaunchServices FServices;
    int FCurButton = 0;
    QString FLastLaunched;
    qint64 FLastLaunchTick = 0;
    QString FPendingWinPos;
    int FWavButton = -1;
    int FMp3Button = -1;
    QString FPlayingWav;
    QString FPlayingMp3;
    int FWavId = 0;
    int FMp3Id = 0;
    std::optional<TPendingExit> FPendingExit;
    quint64 FExitToken = 0;
};

} // namespace qb
