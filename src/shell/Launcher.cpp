#include "shell/Launcher.h"

#include "shell/ClassIds.h"
#include "shell/SystemCommands.h"
#include "shell/Target.h"

#include <QPointer>

#include <utility>

namespace qb {

Q_LOGGING_CATEGORY(lcLaunch, "quillbar.launch")

namespace {

// An exit sound that never ends does not hold the power command back longer than this.
constexpr int KExitSoundLimitMs = 10000;

bool StartsWithWord(const QString& text, const QString& word)
{
    return text.startsWith(word, Qt::CaseSensitive);
}

bool IsWord(const QString& text, const QString& word)
{
    return text.compare(word, Qt::CaseInsensitive) == 0;
}

} // namespace

TButtonLauncher::TButtonLauncher(const TLaunchServices& services, QObject* parent)
    : QObject(parent)
    , FServices(services)
{
    connect(&FServices.Sound, &ISound::Finished, this, &TButtonLauncher::SoundFinished);
}

TButtonLauncher::~TButtonLauncher() = default;

void TButtonLauncher::LaunchButton(
    const QList<TButtonEntry>& buttons, int curPage, int cellsPerPage, int cell, TLaunchKeys keys)
{
    ILaunchHost& host = FServices.Host;
    host.SuppressMenuAutoPopup();
    FCurButton = curPage * cellsPerPage + cell;
    if (keys.Alt)
        return;

    QString target;
    QString params;
    TMarker marker = TMarker::None;
    if (FCurButton >= 0 && FCurButton < buttons.size()) {
        const TButtonEntry& e = buttons.at(FCurButton);
        if (e.IsEmpty() || e.Flags.contains(QStringLiteral("Disabled")))
            return;
        if (e.Flags.contains(QStringLiteral("Protected"))) {
            marker = TMarker::Protected;
            if (!keys.RightButton)
                return;
        }
        if (e.Flags.contains(QStringLiteral("Admin")))
            marker = TMarker::Admin;
        if (!e.WinPos.isEmpty())
            FPendingWinPos = e.WinPos;

        if (IsWord(e.BType, QStringLiteral("Popup")) || IsWord(e.BType, QStringLiteral("Timer"))) {
            target = e.BType;
            params = e.Params;
        } else if (IsWord(e.BType, QStringLiteral("Events"))) {
            target = QStringLiteral("Events");
            params = e.Params;
        } else {
            target = NormalizeTarget(ExpandEnvironment(e.Path), FServices.DataDir, FServices.ExeDir);
            if (!e.Params.isEmpty())
                params = QString(e.Params).replace(u'¤', u'|');
            if (StartsWithWord(e.Path, QStringLiteral("Weather")) && !host.WeatherRunning()) {
                host.WeatherRefresh();
                return;
            }
        }
    }

    // The second click of a double click (or a button with nothing to start) only sounds.
    const auto sinceLast = quint32(quint64(FServices.Clock.TickCount()) - quint64(FLastLaunchTick));
    if (target.isEmpty()
        || (sinceLast <= quint32(std::max(0, host.DoubleClickTime())) && target == FLastLaunched)) {
        Swallow(target);
        return;
    }

    if (target.size() == 1 && target.at(0) >= u'1' && target.at(0) <= u'8') {
        const int page = target.at(0).digitValue();
        host.SetCurPage(page <= FServices.Settings.Banks ? page - 2 : curPage - 1);
        host.SwitcherClick();
        FLastLaunched = target;
        return;
    }

    if (PlaySoundButton(target))
        return;

    host.DoClick(QStringLiteral("UP"));

    if (marker != TMarker::Admin) {
        if (const int number = PowerWordNumber(target)) {
            StartExit(number, keys.Shift, params);
            return;
        }
    }

    if (ReservedWord(target, params, keys))
        return;

    ShellStart(target, params, marker == TMarker::Admin, keys);
}

void TButtonLauncher::Swallow(const QString& target)
{
    FServices.Host.DoClick(QStringLiteral("UP"));
    Record(target);
}

void TButtonLauncher::Record(const QString& target)
{
    FLastLaunched = target;
    FLastLaunchTick = FServices.Clock.TickCount();
}

bool TButtonLauncher::PlaySoundButton(const QString& target)
{
    ILaunchHost& host = FServices.Host;
    const QString ext = TargetExtension(target);
    if (IsWord(ext, QStringLiteral(".wav"))) {
        if (IsWord(target, FPlayingWav)) {
            if (FWavId)
                FServices.Sound.Stop(std::exchange(FWavId, 0));
            FWavButton = -1;
            FPlayingWav.clear();
            host.DrawBank();
            return true;
        }
        // One wave at a time: a new one silences the previous.
        if (FWavId)
            FServices.Sound.Stop(std::exchange(FWavId, 0));
        FWavButton = FCurButton;
        FPlayingWav = target;
        Record(target);
        FWavId = FServices.Sound.Play(target);
        if (!FWavId) {
            qCWarning(lcLaunch) << "cannot play" << target;
            FWavButton = -1;
            FPlayingWav.clear();
        }
        host.DrawBank();
        return true;
    }
    if (IsWord(ext, QStringLiteral(".mp3"))) {
        if (FMp3Id && IsWord(target, FPlayingMp3)) {
            FServices.Sound.Stop(std::exchange(FMp3Id, 0));
            FMp3Button = -1;
            FPlayingMp3.clear();
            host.DrawBank();
            return true;
        }
        if (FMp3Id)
            FServices.Sound.Stop(std::exchange(FMp3Id, 0));
        FMp3Id = FServices.Sound.Play(target);
        Record(target);
        // A file that does not play gets no playing mark.
        if (FMp3Id) {
            FMp3Button = FCurButton;
            FPlayingMp3 = target;
        } else {
            qCWarning(lcLaunch) << "cannot play" << target;
            FMp3Button = -1;
            FPlayingMp3.clear();
        }
        host.DrawBank();
        return true;
    }
    return false;
}

void TButtonLauncher::ButtonsSwapped(int a, int b)
{
    const auto follow = [a, b](int& index) {
        if (index == a)
            index = b;
        else if (index == b)
            index = a;
    };
    follow(FWavButton);
    follow(FMp3Button);
}

void TButtonLauncher::StopButtonSounds()
{
    if (FWavId)
        FServices.Sound.Stop(std::exchange(FWavId, 0));
    if (FMp3Id)
        FServices.Sound.Stop(std::exchange(FMp3Id, 0));
    FWavButton = -1;
    FMp3Button = -1;
    FPlayingWav.clear();
    FPlayingMp3.clear();
    FServices.Host.DrawBank();
}

void TButtonLauncher::SoundFinished(int id)
{
    if (id == 0)
        return;
    if (id == FWavId) {
        FWavId = 0;
        FWavButton = -1;
        FPlayingWav.clear();
        FServices.Host.DrawBank();
    } else if (id == FMp3Id) {
        FMp3Id = 0;
        FMp3Button = -1;
        FPlayingMp3.clear();
        FServices.Host.DrawBank();
    } else if (FPendingExit && id == FPendingExit->SoundId) {
        FinishExit(FPendingExit->Token);
    }
}

void TButtonLauncher::StartExit(int number, bool forced, const QString& params)
{
    // A newer power click replaces one still waiting for its sound.
    FPendingExit.reset();
    if (!params.isEmpty()) {
        const QString sound = NormalizeTarget(ExpandEnvironment(params), FServices.DataDir, FServices.ExeDir);
        const QString ext = TargetExtension(sound).toLower();
        if (ext == QStringLiteral(".wav") || ext == QStringLiteral(".mp3")) {
            const quint64 token = ++FExitToken;
            // Set before playing: a sound that cannot start may report its end at once.
            FPendingExit = TPendingExit { number, forced, 0, token };
            const int id = FServices.Sound.Play(sound);
            if (FPendingExit && FPendingExit->Token == token && id > 0) {
                FPendingExit->SoundId = id;
                QPointer<TButtonLauncher> self(this);
                FServices.Host.After(KExitSoundLimitMs, [self, token] {
                    if (self)
                        self->FinishExit(token);
                });
                return;
            }
            if (!FPendingExit || FPendingExit->Token != token)
                return;
            FPendingExit.reset();
        }
    }
    ExitWin(FServices.Power, number, forced);
}

void TButtonLauncher::FinishExit(quint64 token)
{
    if (!FPendingExit || FPendingExit->Token != token)
        return;
    const TPendingExit exit = *FPendingExit;
    FPendingExit.reset();
    ExitWin(FServices.Power, exit.Number, exit.Forced);
}

bool TButtonLauncher::ReservedWord(const QString& target, const QString& params, TLaunchKeys keys)
{
    ILaunchHost& host = FServices.Host;
    if (IsWord(target, QStringLiteral("Desktop")) && FServices.Settings.OnTop) {
        // Like the desktop's own key: a second press brings the windows back.
        FServices.Shell.ShowDesktop(!FServices.Shell.IsDesktopShown());
    } else if (IsWord(target, QStringLiteral("Brightness"))) {
        host.ShowBox(TToolBox::Brightness);
    } else if (IsWord(target, QStringLiteral("Magnifier"))) {
        host.ShowBox(TToolBox::Magnifier);
    } else if (IsWord(target, QStringLiteral("Clippings"))) {
        host.ShowBox(TToolBox::Clippings);
    } else if (IsWord(target, QStringLiteral("Exit"))) {
        host.Close();
    } else if (StartsWithWord(target, QStringLiteral("Popup"))) {
        host.SendPopup(params, u'"');
    } else if (StartsWithWord(target, QStringLiteral("CountDown"))) {
        host.CountDownClick();
    } else if (StartsWithWord(target, QStringLiteral("ClipProwl"))
        && !FServices.Settings.ProwlKey.isEmpty()) {
        host.PushClipboard(params);
    } else if (IsWord(target, QStringLiteral("CallHistory"))) {
        host.ShowCallHistory(keys.RightButton);
    } else {
        return false;
    }
    return true;
}

void TButtonLauncher::ShellStart(const QString& target, const QString& params, bool elevate, TLaunchKeys keys)
{
    IShell& shell = FServices.Shell;
    const TShowState show = keys.Shift ? TShowState::Minimised : TShowState::Normal;
    QString verb = QStringLiteral("OPEN");
    if (IsWord(TargetExtension(target), QStringLiteral(".cpl")))
        verb = QStringLiteral("CPLOPEN");
    else if (elevate || keys.CapsLock)
        verb = QStringLiteral("RUNAS");

    if (target.startsWith(QStringLiteral("::{"))) {
        // Shell folders named by class identifier open as the desktop's matching location.
        const QString location = ClassIdLocation(ClassIdOfTarget(target));
        const QString what = location.isEmpty() ? target : location;
        if (!shell.Open(what, QStringLiteral("OPEN"), QString(), QString(), show))
            qCWarning(lcLaunch) << "cannot open" << target;
    } else if (!shell.Open(target, verb, params, TargetFolder(target), show)
        && !shell.Open(target, QString(), params, TargetFolder(target), show)) {
        qCWarning(lcLaunch) << "cannot start" << target << "with" << params;
    }
    Record(target);
}

void TButtonLauncher::Deactivated()
{
    if (FPendingWinPos.isEmpty())
        return;
    const std::optional<TWinPos> pos = ParseWinPos(std::exchange(FPendingWinPos, QString()));
    if (!pos)
        return;
    QPointer<TButtonLauncher> self(this);
    FServices.Host.After(pos->DelayMs, [self, rect = pos->Rect] {
        if (self)
            self->PlaceForeground(rect);
    });
}

void TButtonLauncher::PlaceForeground(QRect rect)
{
    IDesktopWindows& windows = FServices.Windows;
    const TWindowId window = windows.ActiveWindow();
    if (window == 0 || window == FServices.Host.BarWindow() || windows.IsDesktop(window)
        || FServices.Host.Closing())
        return;
    ILaunchHost* host = &FServices.Host;
    ApplyPendingPlacement(windows, host->Monitors(), window, rect,
        [host](int ms, std::function<void()> step) { host->After(ms, std::move(step)); });
}

} // namespace qb
