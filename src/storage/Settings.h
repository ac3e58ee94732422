#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

namespace qb {

// Number of pages that carry a colour of their own, and of global hot keys.
inline constexpr int KPageColours = 8;
inline constexpr int KHotKeyCount = 10;

// Every user setting, named by its key in the settings file, with its default. The settings
// file maps onto this object in both directions (reading applies defaults and bounds).
struct TSettings {
    // [Size]
    int Rows = 2;
    int Cols = 8;
    int Banks = 1;
    float Zoom = 1.0f;
    int CheviWidth = 16;
    int IconSize = 3;

    // [Position]
    int Top = 0;
    int Right = 0;
    int Monitor = 0;
    int CheviPos = 1;
    bool StartMini = false;
    int HiddenSize = 1;

    // [Misc]
    QString HideWnd;
    bool OnTop = false;
    bool ShowTrayIcon = false;
    bool SaveOnExit = true;
    bool CheckForUpdates = true;
    QString Language = QStringLiteral("English (English)");
    bool FadeIn = true;
    int AutoHide = 0;
    int ShowDelay = 250;
    int SlideSpeed = 750;
    bool UseWheel = true;
    bool SoundOn = true;
    bool ShowArrow = true;
    bool ShowOnWinD = false;
    bool AsyncSND = true;
    QString CheviCap = QStringLiteral("»");

    // [Security]
    bool ShowMenu = true;
    bool ShowAltTab = false;
    bool MoveResize = true;
    bool LockIcons = false;

    // [Skin]
    QString SkinName = QStringLiteral("None");
    // One colour per page as ARGB (alpha 255); white leaves a page untinted.
    std::array<quint32, KPageColours> SkinColor
        = { 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF };
    int ShowFrames = 1;
    bool ColorFrames = true;
    int Opacity = 255;
    int AutoOpaque = 0;
    bool AltToDye = false;

    // [Effect]
    int ZoomSize = 1;
    int IconPad = 1;
    int FontSize = 0;
    bool TextBelow = false;
    int IconLight = 16;
    int Blend = 0;

    // [Popup]
    int ShowTime = 60;
    QString TimeParams;
    int UDPPort = 12001;
    // Kept followed by one space when not empty (it is put in front of other parameters).
    QString GenParams;

    // [FritzBox]
    QString FritzIP = QStringLiteral("fritz.box");
    int FritzPort = 1012;
    QString TelParams;
    bool Incomming = true;
    bool Outgoing = false;
    bool ReverseLookup = true;
    QString LookupCountry = QStringLiteral("DE");
    QString OwnAreaCode;

    // [Weather]
    QString WxLat;
    QString WxLon;
    QString WxCity;

    // [Prowl]
    QString ProwlKey;
    QString ProwlParams;

    // [HotKeys], in id order: FlipPages, DisplayOff, ScreenSaver, HideWindow, Options,
    // Clippings, DisplayLeft, DisplayUp, DisplayRight, DisplayDown. The shortcut texts as read
    // (or their defaults); which of them are registered is the hot-key registry's business.
    std::array<QString, KHotKeyCount> HotKeys;
    // The shortcuts that are registered (QKeyCombination::toCombined()), 0 where none; only
    // these are written back.
    std::array<int, KHotKeyCount> HotKeyCodes = {};

    // [Sounds]
    QString Chevron = QStringLiteral("LTING");
    QString BtnDown = QStringLiteral("CLICK");
    QString DragIcon = QStringLiteral("GLICK");
    QString SlideOut = QStringLiteral("GLICK");
    QString SlideIn = QStringLiteral("GLICK");
    QString BtnUp = QStringLiteral("CLICK");
    QString TimeIsUp = QStringLiteral("LTING");

    friend bool operator==(const TSettings&, const TSettings&) = default;
};

} // namespace qb
