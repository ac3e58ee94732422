#include "shell/SystemCommands.h"

#include <array>

namespace qb {

int PowerWordNumber(const QString& word)
{
    static const std::array<QString, 5> KWords = { QStringLiteral("Restart"), QStringLiteral("Turn off"),
        QStringLiteral("Hibernate"), QStringLiteral("Logoff"), QStringLiteral("Standby") };
    for (int i = 0; i < int(KWords.size()); ++i)
        if (word.compare(KWords[i], Qt::CaseInsensitive) == 0)
            return i + 1;
    return 0;
}

void ExitWin(IPower& power, int number, bool forced)
{
    switch (number) {
    case KRestart:
        power.Reboot(forced);
        break;
    case KTurnOff:
        power.PowerOff(forced);
        break;
    case KHibernate:
        power.Hibernate(forced);
        break;
    case KLogoff:
        power.LogOff(forced);
        break;
    case KStandby:
        power.Suspend(forced);
        break;
    default:
        break;
    }
}

void ToggleWindowsByTitle(IDesktopWindows& windows, const QString& text)
{
    if (text.isEmpty())
        return;
    const QList<TTopLevelWindow> list = windows.TopLevelWindows();
    for (const TTopLevelWindow& w : list) {
        if (!w.Title.contains(text, Qt::CaseSensitive))
            continue;
        if (w.Visible)
            windows.Hide(w.Id);
        else
            windows.ShowNoActivate(w.Id);
    }
}

void SetDisplayOrientation(IDisplay& display, QPoint pointer, TOrientation orientation)
{
    if (display.SetOrientation(pointer, orientation) == TOrientationResult::Refused)
        display.Beep();
}

} // namespace qb
