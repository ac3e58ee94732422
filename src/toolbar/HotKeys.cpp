#include "toolbar/HotKeys.h"

namespace qb {

namespace {

constexpr int KHotKeyDelay = 250;

void HotKeyAction(IHotKeyHost& host, const TSettings& settings, int id)
{
    switch (id) {
    case HkDisplayOff:
        host.DisplayOff();
        break;
    case HkScreenSaver:
        host.StartScreenSaver();
        break;
    case HkHideWindow:
        host.ToggleWindowsByTitle(settings.HideWnd);
        break;
    case HkOptions:
        host.MenuClick(QStringLiteral("Config"));
        break;
    case HkClippings:
        host.ShowClippings();
        break;
    case HkDisplayLeft:
        host.SetDisplayOrientation(TOrientation::Rotate90);
        break;
    case HkDisplayUp:
        host.SetDisplayOrientation(TOrientation::Default);
        break;
    case HkDisplayRight:
        host.SetDisplayOrientation(TOrientation::Rotate270);
        break;
    case HkDisplayDown:
        host.SetDisplayOrientation(TOrientation::Rotate180);
        break;
    default:
        break;
    }
}

} // namespace

void HotKeyPressed(IHotKeyHost& host, const TSettings& settings, int id)
{
    if (id < HkFlipPages || id >= KHotKeyCount)
        return;
    if (id == HkFlipPages) {
        if (host.IsForeground()) {
            host.SwitcherClick();
        } else {
            host.DoClick(QStringLiteral("GLICK"));
            host.BringToFront();
        }
        return;
    }
    host.DoClick(QStringLiteral("@CLICK"));
    host.After(KHotKeyDelay, [&host, &settings, id] { HotKeyAction(host, settings, id); });
}

} // namespace qb
