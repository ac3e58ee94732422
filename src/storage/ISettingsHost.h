#pragma once

#include <QString>

#include <array>

namespace qb {

// Distances of the bar's top edge below the top of the reference work area and of its right
// edge left of the work area's right side.
struct TBarPosition {
    int Top = 0;
    int Right = 0;
    friend bool operator==(const TBarPosition&, const TBarPosition&) = default;
};

// The seven sound names in the order Chevron, BtnDown, DragIcon, SlideOut, SlideIn, BtnUp,
// TimeIsUp.
using TSoundNames = std::array<QString, 7>;

// What the settings passes do to the bar and ask of it. The bar implements this; the settings
// code calls it from the UI thread during TSettingsAccess::IniAccess and keeps no reference
// beyond the access object's life.
class ISettingsHost {
public:
    virtual ~ISettingsHost() = default;

    // --- read pass, called in this order
    // The position just read: the monitor's work area (the primary one when `monitor` names no
    // monitor) becomes the reference work area, and the values the last saved position.
    virtual void ApplyPosition(int top, int right, int monitor) = 0;
    virtual void ApplyOnTop(bool onTop) = 0;
    virtual void ApplyTrayIcon(bool visible) = 0;
    // The current window alpha (0..255).
    virtual void ApplyOpacity(int opacity) = 0;
    virtual void RequestWeatherRefresh() = 0;
    virtual void ApplySoundNames(const TSoundNames& names) = 0;
    // The text that stands for "no area code" in the current language; the read pass turns it
    // into an empty area code.
    virtual QString AreaCodePlaceholder() const = 0;

    // --- write pass, called in this order
    // Each may raise; the write pass ignores the failure and goes on.
    virtual void SaveButtonList() = 0;
    // Rewrites the icon image store when its hash differs from the one last taken.
    virtual void SaveIconStoreIfChanged() = 0;
    // Where the bar is now; the write pass stores it and then reports it back as saved.
    virtual TBarPosition CurrentPosition() const = 0;
    virtual void PositionSaved(TBarPosition position) = 0;
    // The number of the monitor nearest to the bar's window.
    virtual int NearestMonitor() const = 0;
    virtual void ClearModified() = 0;
};

} // namespace qb
