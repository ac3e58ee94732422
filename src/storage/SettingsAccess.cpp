#include "storage/SettingsAccess.h"

#include "platform/IHotKeys.h"
#include "storage/MiniIni.h"
#include "storage/ShortCut.h"
#include "storage/TextCodec.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

namespace qb {

namespace {

constexpr int KMaxSkinPages = KPageColours;

const QString KSize = QStringLiteral("Size");
const QString KPosition = QStringLiteral("Position");
const QString KMisc = QStringLiteral("Misc");
const QString KSecurity = QStringLiteral("Security");
const QString KSkin = QStringLiteral("Skin");
const QString KEffect = QStringLiteral("Effect");
const QString KPopup = QStringLiteral("Popup");
const QString KFritzBox = QStringLiteral("FritzBox");
const QString KWeather = QStringLiteral("Weather");
const QString KProwl = QStringLiteral("Prowl");
const QString KHotKeys = QStringLiteral("HotKeys");
const QString KSounds = QStringLiteral("Sounds");

int SkinPages(const TSettings& s)
{
    return std::clamp(s.Banks, 0, KMaxSkinPages);
}

// Reads keys of one section with the store's getters; `Clamp` keeps a hand-edited value inside
// what the rest of the program can handle.
class TReader {
public:
    TReader(const TMiniIni& store, const QString& section)
        : FStore(store)
        , FSection(section)
    {
    }
    void Int(const char16_t* key, int& value, int def) const
    {
        value = FStore.GetValue(FSection, Key(key), def);
    }
    void Clamp(const char16_t* key, int& value, int def, int low, int high) const
    {
        Int(key, value, def);
        value = std::clamp(value, low, high);
    }
    void Bool(const char16_t* key, bool& value, bool def) const
    {
        value = FStore.GetValue(FSection, Key(key), def);
    }
    void Text(const char16_t* key, QString& value, const QString& def) const
    {
        value = FStore.GetValue(FSection, Key(key), def);
    }

private:
    static QString Key(const char16_t* key) { return QString::fromUtf16(key); }
    const TMiniIni& FStore;
    const QString& FSection;
};

class TWriter {
public:
    TWriter(TMiniIni& store, const QString& section)
        : FStore(store)
        , FSection(section)
    {
    }
    void Int(const char16_t* key, int value) const { FStore.SetValue(FSection, Key(key), value); }
    void Bool(const char16_t* key, bool value) const { FStore.SetValue(FSection, Key(key), value); }
    void Text(const char16_t* key, const QString& value) const { FStore.SetValue(FSection, Key(key), value); }

private:
    static QString Key(const char16_t* key) { return QString::fromUtf16(key); }
    TMiniIni& FStore;
    const QString& FSection;
};

constexpr std::array<const char16_t*, KHotKeyCount> KHotKeyNames = {
    u"FlipPages",
    u"DisplayOff",
    u"ScreenSaver",
    u"HideWindow",
    u"Options",
    u"Clippings",
    u"DisplayLeft",
    u"DisplayUp",
    u"DisplayRight",
    u"DisplayDown",
};
constexpr std::array<const char16_t*, KHotKeyCount> KHotKeyDefaultKeys = {
    u"F1",
    u"F11",
    u"F12",
    u"F8",
    u"P",
    u"F5",
    u"",
    u"",
    u"",
    u"",
};

template <typename F> void IgnoringFailure(F&& action)
{
    try {
        action();
    } catch (const std::exception&) {
        // The settings are still written when the button list or the icon store cannot be.
    }
}

} // namespace

QString HotKeyName(int id)
{
    return QString::fromUtf16(KHotKeyNames.at(static_cast<size_t>(id)));
}

QString DefaultHotKeyText(int id)
{
    const QString prefix = id < 6 ? QStringLiteral("Strg+") : QStringLiteral("Umsch+Strg+Alt+");
    return prefix + QString::fromUtf16(KHotKeyDefaultKeys.at(static_cast<size_t>(id)));
}

int RegisterKey(IHotKeys& hotKeys, int id, const QString& text)
{
    const auto keys = TextToShortCut(text);
    if (keys && hotKeys.Register(id, *keys))
        return keys->toCombined();
    // Reloading must not leave the previous shortcut of this id active.
    hotKeys.Unregister(id);
    return 0;
}

float ZoomFromText(const QString& text)
{
    // One character, the separator, and the next five characters: "1.5", "1,5" and "1,50000"
    // all become "1,5..." and more than one digit before the separator fails to convert.
    QString normal = text.left(1) + u',' + text.mid(2, 5);
    if (normal == QStringLiteral(","))
        normal = QStringLiteral("1");
    QLocale local;
    local.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    double value = local.toDouble(normal, &ok);
    if (!ok) {
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::RejectGroupSeparator);
        value = c.toDouble(QString(normal).replace(u',', u'.'), &ok);
    }
    // An exponent ("1,0E30") would give a bar of absurd size; one digit cannot reach 10.
    if (!ok || !std::isfinite(value) || value < 0.25 || value >= 10.0)
        return 1.0f;
    return static_cast<float>(value);
}

QString ZoomToText(float zoom)
{
    QLocale local;
    local.setNumberOptions(QLocale::OmitGroupSeparator);
    return local.toString(static_cast<double>(zoom), 'f', 5);
}

void SkinColorFromText(const QString& text, int pages, std::array<quint32, KPageColours>& colours)
{
    pages = std::clamp(pages, 0, KMaxSkinPages);
    for (int i = 0; i < pages; ++i) {
        quint32& colour = colours[static_cast<size_t>(i)];
        colour = 0xFFFFFFFF;
        const QStringView part = QStringView(text).mid(7 * i, 7);
        if (part.size() != 7 || part[0] != u'$')
            continue;
        quint32 bgr = 0;
        bool ok = true;
        for (QChar c : part.mid(1)) {
            const int digit = HexDigitValue(c);
            ok = ok && digit >= 0;
            bgr = bgr << 4 | static_cast<quint32>(digit & 0xF);
        }
        if (!ok)
            continue;
        const quint32 b = (bgr >> 16) & 0xFF;
        const quint32 g = (bgr >> 8) & 0xFF;
        const quint32 r = bgr & 0xFF;
        colour = 0xFF000000u | r << 16 | g << 8 | b;
    }
}

QString SkinColorToText(const std::array<quint32, KPageColours>& colours, int pages)
{
    pages = std::clamp(pages, 0, KMaxSkinPages);
    QString text;
    for (int i = 0; i < pages; ++i) {
        const quint32 c = colours[static_cast<size_t>(i)];
        const quint32 bgr = (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF);
        text += u'$' + QStringLiteral("%1").arg(bgr, 6, 16, QChar(u'0')).toUpper();
    }
    return text;
}

TSettingsAccess::TSettingsAccess(TMiniIni& store, TSettings& settings, ISettingsHost& host, IHotKeys& hotKeys)
    : FStore(store)
    , FSettings(settings)
    , FHost(host)
    , FHotKeys(hotKeys)
{
}

void TSettingsAccess::IniAccess(const QString& mode)
{
    if (mode == QStringLiteral("Read"))
        Read();
    else if (mode == QStringLiteral("Write"))
        Write();
}

void TSettingsAccess::Read()
{
    TSettings& s = FSettings;
    const TSettings d; // the defaults

    {
        const TReader r(FStore, KSize);
        // Bounds beyond the preferences dialog's: a hand-edited file can neither divide by zero
        // later nor make the bar allocate millions of buttons.
        r.Clamp(u"Rows", s.Rows, d.Rows, 1, 32);
        r.Clamp(u"Cols", s.Cols, d.Cols, 1, 32);
        r.Clamp(u"Banks", s.Banks, d.Banks, 1, 8);
        s.Zoom = ZoomFromText(FStore.GetValue(KSize, QStringLiteral("Zoom"), QStringLiteral("1,0")));
        r.Clamp(u"CheviWidth", s.CheviWidth, d.CheviWidth, 8, 64);
        r.Clamp(u"IconSize", s.IconSize, d.IconSize, 1, 9);
    }
    {
        const TReader r(FStore, KPosition);
        r.Int(u"Top", s.Top, d.Top);
        r.Int(u"Right", s.Right, d.Right);
        r.Int(u"Monitor", s.Monitor, d.Monitor);
        FHost.ApplyPosition(s.Top, s.Right, s.Monitor);
        r.Clamp(u"CheviPos", s.CheviPos, d.CheviPos, 1, 5);
        r.Bool(u"StartMini", s.StartMini, d.StartMini);
        r.Int(u"HiddenSize", s.HiddenSize, d.HiddenSize);
    }
    {
        const TReader r(FStore, KMisc);
        r.Text(u"HideWnd", s.HideWnd, d.HideWnd);
        r.Bool(u"OnTop", s.OnTop, d.OnTop);
        FHost.ApplyOnTop(s.OnTop);
        r.Bool(u"ShowTrayIcon", s.ShowTrayIcon, d.ShowTrayIcon);
        FHost.ApplyTrayIcon(s.ShowTrayIcon);
        r.Bool(u"SaveOnExit", s.SaveOnExit, d.SaveOnExit);
        r.Bool(u"CheckForUpdates", s.CheckForUpdates, d.CheckForUpdates);
        r.Text(u"Language", s.Language, d.Language);
        r.Bool(u"FadeIn", s.FadeIn, d.FadeIn);
        r.Int(u"AutoHide", s.AutoHide, d.AutoHide);
        r.Int(u"ShowDelay", s.ShowDelay, d.ShowDelay);
        r.Clamp(u"SlideSpeed", s.SlideSpeed, d.SlideSpeed, 10, std::numeric_limits<int>::max());
        r.Bool(u"UseWheel", s.UseWheel, d.UseWheel);
        r.Bool(u"SoundOn", s.SoundOn, d.SoundOn);
        r.Bool(u"ShowArrow", s.ShowArrow, d.ShowArrow);
        r.Bool(u"ShowOnWinD", s.ShowOnWinD, d.ShowOnWinD);
        r.Bool(u"AsyncSND", s.AsyncSND, d.AsyncSND);
        r.Text(u"CheviCap", s.CheviCap, d.CheviCap);
    }
    {
        const TReader r(FStore, KSecurity);
        r.Bool(u"ShowMenu", s.ShowMenu, d.ShowMenu);
        r.Bool(u"ShowAltTab", s.ShowAltTab, d.ShowAltTab);
        r.Bool(u"MoveResize", s.MoveResize, d.MoveResize);
        r.Bool(u"LockIcons", s.LockIcons, d.LockIcons);
    }
    {
        const TReader r(FStore, KSkin);
        r.Text(u"SkinName", s.SkinName, d.SkinName);
        SkinColorFromText(FStore.GetValue(KSkin, QStringLiteral("SkinColor"), QStringLiteral("$FFFFFF")),
            SkinPages(s), s.SkinColor);
        r.Clamp(u"ShowFrames", s.ShowFrames, d.ShowFrames, 0, 3);
        r.Bool(u"ColorFrames", s.ColorFrames, d.ColorFrames);
        r.Clamp(u"Opacity", s.Opacity, d.Opacity, 0, 255);
        FHost.ApplyOpacity(s.Opacity);
        r.Int(u"AutoOpaque", s.AutoOpaque, d.AutoOpaque);
        r.Bool(u"AltToDye", s.AltToDye, d.AltToDye);
    }
    {
        const TReader r(FStore, KEffect);
        r.Clamp(u"ZoomSize", s.ZoomSize, d.ZoomSize, 0, 4);
        r.Clamp(u"IconPad", s.IconPad, d.IconPad, 0, 32);
        r.Clamp(u"FontSize", s.FontSize, d.FontSize, 0, 16);
        r.Bool(u"TextBelow", s.TextBelow, d.TextBelow);
        r.Int(u"IconLight", s.IconLight, d.IconLight);
        r.Int(u"Blend", s.Blend, d.Blend);
    }
    {
        const TReader r(FStore, KPopup);
        r.Int(u"ShowTime", s.ShowTime, d.ShowTime);
        r.Text(u"TimeParams", s.TimeParams, d.TimeParams);
        r.Clamp(u"UDPPort", s.UDPPort, d.UDPPort, 0, 65535);
        r.Text(u"GenParams", s.GenParams, d.GenParams);
        // It goes in front of other popup parameters, so it keeps a separating blank.
        if (!s.GenParams.isEmpty())
            s.GenParams += u' ';
    }
    {
        const TReader r(FStore, KFritzBox);
        r.Text(u"FritzIP", s.FritzIP, d.FritzIP);
        r.Int(u"FritzPort", s.FritzPort, d.FritzPort);
        r.Text(u"TelParams", s.TelParams, d.TelParams);
        r.Bool(u"Incomming", s.Incomming, d.Incomming);
        r.Bool(u"Outgoing", s.Outgoing, d.Outgoing);
        r.Bool(u"ReverseLookup", s.ReverseLookup, d.ReverseLookup);
        r.Text(u"LookupCountry", s.LookupCountry, d.LookupCountry);
        r.Text(u"OwnAreaCode", s.OwnAreaCode, d.OwnAreaCode);
        if (s.OwnAreaCode == FHost.AreaCodePlaceholder())
            s.OwnAreaCode.clear();
    }
    {
        const TReader r(FStore, KWeather);
        r.Text(u"WxLat", s.WxLat, d.WxLat);
        r.Text(u"WxLon", s.WxLon, d.WxLon);
        r.Text(u"WxCity", s.WxCity, d.WxCity);
        FHost.RequestWeatherRefresh();
    }
    {
        const TReader r(FStore, KProwl);
        r.Text(u"ProwlKey", s.ProwlKey, d.ProwlKey);
        r.Text(u"ProwlParams", s.ProwlParams, d.ProwlParams);
    }
    for (int id = 0; id < KHotKeyCount; ++id) {
        QString& text = s.HotKeys[static_cast<size_t>(id)];
        text = FStore.GetValue(KHotKeys, HotKeyName(id), DefaultHotKeyText(id));
        s.HotKeyCodes[static_cast<size_t>(id)] = RegisterKey(FHotKeys, id, text);
    }
    {
        const TReader r(FStore, KSounds);
        r.Text(u"Chevron", s.Chevron, d.Chevron);
        r.Text(u"BtnDown", s.BtnDown, d.BtnDown);
        r.Text(u"DragIcon", s.DragIcon, d.DragIcon);
        r.Text(u"SlideOut", s.SlideOut, d.SlideOut);
        r.Text(u"SlideIn", s.SlideIn, d.SlideIn);
        r.Text(u"BtnUp", s.BtnUp, d.BtnUp);
        r.Text(u"TimeIsUp", s.TimeIsUp, d.TimeIsUp);
        FHost.ApplySoundNames(
            { s.Chevron, s.BtnDown, s.DragIcon, s.SlideOut, s.SlideIn, s.BtnUp, s.TimeIsUp });
    }
}

void TSettingsAccess::Write()
{
    TSettings& s = FSettings;
    IgnoringFailure([this] { FHost.SaveButtonList(); });
    IgnoringFailure([this] { FHost.SaveIconStoreIfChanged(); });

    {
        const TWriter w(FStore, KSize);
        w.Int(u"Rows", s.Rows);
        w.Int(u"Cols", s.Cols);
        w.Int(u"Banks", s.Banks);
        w.Text(u"Zoom", ZoomToText(s.Zoom));
        w.Int(u"CheviWidth", s.CheviWidth);
        w.Int(u"IconSize", s.IconSize);
    }
    {
        const TWriter w(FStore, KPosition);
        const TBarPosition position = FHost.CurrentPosition();
        s.Top = position.Top;
        s.Right = position.Right;
        s.Monitor = FHost.NearestMonitor();
        w.Int(u"Top", s.Top);
        w.Int(u"Right", s.Right);
        FHost.PositionSaved(position);
        w.Int(u"Monitor", s.Monitor);
        w.Int(u"CheviPos", s.CheviPos);
        w.Bool(u"StartMini", s.StartMini);
        w.Int(u"HiddenSize", s.HiddenSize);
    }
    {
        // SoundOn is only ever set by hand in the file, which keeps what it has.
        const TWriter w(FStore, KMisc);
        w.Text(u"HideWnd", s.HideWnd);
        w.Bool(u"OnTop", s.OnTop);
        w.Bool(u"ShowTrayIcon", s.ShowTrayIcon);
        w.Bool(u"SaveOnExit", s.SaveOnExit);
        w.Bool(u"CheckForUpdates", s.CheckForUpdates);
        w.Text(u"Language", s.Language);
        w.Bool(u"FadeIn", s.FadeIn);
        w.Int(u"AutoHide", s.AutoHide);
        w.Int(u"ShowDelay", s.ShowDelay);
        w.Int(u"SlideSpeed", s.SlideSpeed);
        w.Bool(u"UseWheel", s.UseWheel);
        w.Bool(u"ShowArrow", s.ShowArrow);
        w.Bool(u"ShowOnWinD", s.ShowOnWinD);
        w.Bool(u"AsyncSND", s.AsyncSND);
        w.Text(u"CheviCap", s.CheviCap);
    }
    {
        const TWriter w(FStore, KSecurity);
        w.Bool(u"ShowMenu", s.ShowMenu);
        w.Bool(u"ShowAltTab", s.ShowAltTab);
        w.Bool(u"MoveResize", s.MoveResize);
        w.Bool(u"LockIcons", s.LockIcons);
    }
    {
        const TWriter w(FStore, KSkin);
        w.Text(u"SkinName", s.SkinName);
        w.Text(u"SkinColor", SkinColorToText(s.SkinColor, SkinPages(s)));
        w.Int(u"ShowFrames", s.ShowFrames);
        w.Bool(u"ColorFrames", s.ColorFrames);
        w.Int(u"Opacity", s.Opacity);
        w.Int(u"AutoOpaque", s.AutoOpaque);
        w.Bool(u"AltToDye", s.AltToDye);
    }
    {
        const TWriter w(FStore, KEffect);
        w.Int(u"ZoomSize", s.ZoomSize);
        w.Int(u"IconPad", s.IconPad);
        w.Int(u"FontSize", s.FontSize);
        w.Bool(u"TextBelow", s.TextBelow);
        w.Int(u"IconLight", s.IconLight);
        w.Int(u"Blend", s.Blend);
    }
    {
        const TWriter w(FStore, KPopup);
        w.Int(u"ShowTime", s.ShowTime);
        w.Text(u"TimeParams", s.TimeParams);
        w.Int(u"UDPPort", s.UDPPort);
        w.Text(u"GenParams", TrimControls(s.GenParams));
    }
    {
        const TWriter w(FStore, KFritzBox);
        w.Text(u"FritzIP", s.FritzIP);
        w.Int(u"FritzPort", s.FritzPort);
        w.Text(u"TelParams", s.TelParams);
        w.Bool(u"Incomming", s.Incomming);
        w.Bool(u"Outgoing", s.Outgoing);
        w.Bool(u"ReverseLookup", s.ReverseLookup);
        w.Text(u"LookupCountry", s.LookupCountry);
        w.Text(u"OwnAreaCode", s.OwnAreaCode);
    }
    // The Weather keys are written where the location is determined, not here.
    {
        const TWriter w(FStore, KProwl);
        w.Text(u"ProwlKey", s.ProwlKey);
        w.Text(u"ProwlParams", s.ProwlParams);
    }
    for (int id = 0; id < KHotKeyCount; ++id) {
        // A shortcut that did not parse or register keeps the file's old text.
        const int code = s.HotKeyCodes[static_cast<size_t>(id)];
        if (code != 0)
            FStore.SetValue(KHotKeys, HotKeyName(id), ShortCutToText(QKeyCombination::fromCombined(code)));
    }
    {
        const TWriter w(FStore, KSounds);
        w.Text(u"Chevron", s.Chevron);
        w.Text(u"BtnDown", s.BtnDown);
        w.Text(u"DragIcon", s.DragIcon);
        w.Text(u"SlideOut", s.SlideOut);
        w.Text(u"SlideIn", s.SlideIn);
        w.Text(u"BtnUp", s.BtnUp);
        w.Text(u"TimeIsUp", s.TimeIsUp);
    }
    FHost.ClearModified();
}

} // namespace qb
