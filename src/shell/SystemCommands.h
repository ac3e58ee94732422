#pragma once

#include "platform/IDesktopWindows.h"
#include "platform/IDisplay.h"
#include "platform/IPower.h"

#include <QPoint>
#include <QString>

namespace qb {

// Power commands, numbered as the power words of buttons and the exit menu items.
enum TPowerCommand : int { KRestart = 1, KTurnOff = 2, KHibernate = 3, KLogoff = 4, KStandby = 5 };

// 1..5 for "Restart", "Turn off", "Hibernate", "Logoff", "Standby" (any case), else 0.
int PowerWordNumber(const QString& word);

// Runs power command `number`; `forced` does not wait for programs that object. Other numbers
// do nothing.
void ExitWin(IPower& power, int number, bool forced);

// Hides every visible top-level window whose title contains `text` (case-sensitive) and shows
// every hidden one without giving it the focus. An empty text matches no window.
void ToggleWindowsByTitle(IDesktopWindows& windows, const QString& text);

// Rotates the monitor under `pointer`; beeps when the display refuses the rotation.
void SetDisplayOrientation(IDisplay& display, QPoint pointer, TOrientation orientation);

} // namespace qb
