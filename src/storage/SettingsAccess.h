#pragma once

#include "storage/ISettingsHost.h"
#include "storage/Settings.h"

#include <QString>

namespace qb {

class IHotKeys;
class TMiniIni;

// The key of hot key `id` (0..9) in the section "HotKeys", and its default shortcut text.
QString HotKeyName(int id);
QString DefaultHotKeyText(int id);

// Registers the shortcut written as `text` under `id`. Returns the registered combination
// (QKeyCombination::toCombined()), or 0 when the text names no shortcut or the registration
// failed; in both cases the id is left without a hot key.
int RegisterKey(IHotKeys& hotKeys, int id, const QString& text);

// The one place that maps every key of the settings file onto TSettings, both ways. The
// objects are the caller's and must outlive this one; UI thread only.
class TSettingsAccess {
public:
    TSettingsAccess(TMiniIni& store, TSettings& settings, ISettingsHost& host, IHotKeys& hotKeys);

    // "Read": fill every setting from the store, with defaults, bounds and the side effects on
    // the host and the hot keys. "Write": save the button list and (when changed) the icon
    // store through the host, put every setting into the store, clear Modified. Writing the
    // store to disk is the caller's business. Any other mode does nothing.
    void IniAccess(const QString& mode);

    void Read();
    void Write();

private:
    TMiniIni& FStore;
    TSettings& FSettings;
    ISettingsHost& FHost;
    IHotKeys& FHotKeys;
};

// Zoom as the file holds it: only one digit survives before the separator, either separator
// is accepted, and values below 0.25 (or beyond what one digit can express) mean 1.0.
float ZoomFromText(const QString& text);
// Five decimals with the decimal separator of the default locale.
QString ZoomToText(float zoom);

// One colour per page for the first `pages` pages, each "$BBGGRR"; a page whose seven
// characters are missing or not such a colour is white. Pages from `pages` on keep `colours`.
void SkinColorFromText(const QString& text, int pages, std::array<quint32, KPageColours>& colours);
QString SkinColorToText(const std::array<quint32, KPageColours>& colours, int pages);

} // namespace qb
