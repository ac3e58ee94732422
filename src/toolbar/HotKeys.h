#pragma once

#include "platform/IDisplay.h"
#include "storage/Settings.h"

#include <QString>

#include <functional>

namespace qb {

// Hot-key ids, in the order of the "HotKeys" settings.
enum THotKeyId {
    HkFlipPages = 0,
    HkDisplayOff = 1,
    HkScreenSaver = 2,
    HkHideWindow = 3,
    HkOptions = 4,
    HkClippings = 5,
    HkDisplayLeft = 6,
    HkDisplayUp = 7,
    HkDisplayRight = 8,
    HkDisplayDown = 9,
};

// What the global hot keys act on. Implemented by the bar's controller; UI thread.
class IHotKeyHost {
public:
    virtual ~IHotKeyHost() = default;
    // The bar's window has the focus.
    virtual bool IsForeground() const = 0;
    virtual void SwitcherClick() = 0;
    virtual void DoClick(const QString& cue) = 0;
    virtual void BringToFront() = 0;
    // Runs `step` once, `ms` milliseconds from now, from the event loop.
    virtual void After(int ms, std::function<void()> step) = 0;
    virtual void DisplayOff() = 0;
    virtual void StartScreenSaver() = 0;
    virtual void ToggleWindowsByTitle(const QString& text) = 0;
    virtual void MenuClick(const QString& item) = 0;
    // Opens the clipboard text slots (created on first use) and shows them.
    virtual void ShowClippings() = 0;
    // Rotates the display under the pointer.
    virtual void SetDisplayOrientation(TOrientation orientation) = 0;
};

// A registered hot key fired. Id 0 flips the page when the bar has the focus and otherwise
// brings it to the front; the others click at once and act 250 ms later, so that the keys are
// let go before the display goes off or a window opens. Unknown ids are ignored. `settings` is
// read when the action runs.
void HotKeyPressed(IHotKeyHost& host, const TSettings& settings, int id);

} // namespace qb
