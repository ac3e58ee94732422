#include "storage/SettingsAccess.h"

#include "platform/fake/FakeHotKeys.h"
#include "storage/FakeSettingsHost.h"
#include "storage/MiniIni.h"
#include "storage/Printers.h"

#include "support/TempDataDir.h"

#include <QLocale>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <stdexcept>

namespace qb {
namespace {

// Sets the default locale for one test and restores the previous one.
class TLocaleGuard {
public:
    explicit TLocaleGuard(const QLocale& locale) { QLocale::setDefault(locale); }
    ~TLocaleGuard() { QLocale::setDefault(FOld); }

private:
    QLocale FOld;
};

class SettingsAccess : public ::testing::Test {
protected:
    void Read(const QByteArray& file)
    {
        Store.ParseBytes(file);
        Access.IniAccess(QStringLiteral("Read"));
    }
    void Write() { Access.IniAccess(QStringLiteral("Write")); }
    // The text of one key after a write pass.
    QString Written(const char* section, const char* key)
    {
        return Store.GetValue(QString::fromUtf8(section), QString::fromUtf8(key), QStringLiteral("<absent>"));
    }

    TMiniIni Store;
    TSettings Settings;
    test::TFakeSettingsHost Host;
    FakeHotKeys HotKeys;
    TSettingsAccess Access { Store, Settings, Host, HotKeys };
};

// The settings after reading an empty file: the defaults, the default hot keys registered.
TSettings ReadDefaults()
{
    TSettings expected;
    for (int id = 0; id < KHotKeyCount; ++id)
        expected.HotKeys[static_cast<size_t>(id)] = DefaultHotKeyText(id);
    const Qt::Key keys[] = { Qt::Key_F1, Qt::Key_F11, Qt::Key_F12, Qt::Key_F8, Qt::Key_P, Qt::Key_F5 };
    for (int id = 0; id < 6; ++id)
        expected.HotKeyCodes[static_cast<size_t>(id)]
            = QKeyCombination(Qt::ControlModifier, keys[id]).toCombined();
    return expected;
}

TEST_F(SettingsAccess, AnEmptyFileGivesEveryDefault)
{
    Read("");
    EXPECT_TRUE(Settings == ReadDefaults());
    EXPECT_EQ(HotKeys.Registered.size(), 6);
    EXPECT_EQ(HotKeys.Registered.value(4), QKeyCombination(Qt::ControlModifier, Qt::Key_P));
}

TEST_F(SettingsAccess, BadFilesGiveDefaultsForWhatCannotBeRead)
{
    QByteArray garbage(256 * 1024, Qt::Uninitialized);
    QRandomGenerator random(3);
    for (char& b : garbage)
        b = static_cast<char>(random.bounded(256));
    const QByteArray hugeLine(1024 * 1024, 'q');
    TSettings rows4 = ReadDefaults();
    rows4.Rows = 4;
    TSettings hideWnd = rows4;
    hideWnd.HideWnd = QString::fromLatin1(hugeLine);
    struct {
        const char* Name;
        QByteArray File;
        TSettings Expected;
    } const cases[] = {
        { "binary garbage", garbage, ReadDefaults() },
        { "garbage around a good key", garbage + "\n[Size]\nRows=4\n" + garbage, rows4 },
        { "a 1 MB line", "[Size]\n" + hugeLine + "\nRows=4\n[Misc]\nHideWnd=" + hugeLine + "\n", hideWnd },
    };
    for (const auto& c : cases) {
        const test::TempDataDir dir;
        Settings = TSettings();
        ASSERT_TRUE(Store.Parse(dir.Write(QStringLiteral("quillbar.ini"), c.File)));
        Access.IniAccess(QStringLiteral("Read"));
        EXPECT_TRUE(Settings == c.Expected) << c.Name;
    }
}

TEST_F(SettingsAccess, ANewFileHasTheCatalogueLayoutByteForByte)
{
    const TLocaleGuard c(QLocale::c());
    Read("");
    Store.Clear();
    Write();
    const QByteArray expected
        = "\xEF\xBB\xBF"
          "[Size]\r\nRows=2\r\nCols=8\r\nBanks=1\r\nZoom=1.00000\r\nCheviWidth=16\r\nIconSize=3\r\n\r\n"
          "[Position]\r\nTop=0\r\nRight=0\r\nMonitor=0\r\nCheviPos=1\r\nStartMini=0\r\n"
          "HiddenSize=1\r\n\r\n"
          "[Misc]\r\nHideWnd=\r\nOnTop=0\r\nShowTrayIcon=0\r\nSaveOnExit=1\r\nCheckForUpdates=1\r\n"
          "Language=English (English)\r\nFadeIn=1\r\nAutoHide=0\r\nShowDelay=250\r\n"
          "SlideSpeed=750\r\nUseWheel=1\r\nShowArrow=1\r\nShowOnWinD=0\r\nAsyncSND=1\r\n"
          "CheviCap=\xC2\xBB\r\n\r\n"
          "[Security]\r\nShowMenu=1\r\nShowAltTab=0\r\nMoveResize=1\r\nLockIcons=0\r\n\r\n"
          "[Skin]\r\nSkinName=None\r\nSkinColor=$FFFFFF\r\nShowFrames=1\r\nColorFrames=1\r\n"
          "Opacity=255\r\nAutoOpaque=0\r\nAltToDye=0\r\n\r\n"
          "[Effect]\r\nZoomSize=1\r\nIconPad=1\r\nFontSize=0\r\nTextBelow=0\r\nIconLight=16\r\n"
          "Blend=0\r\n\r\n"
          "[Popup]\r\nShowTime=60\r\nTimeParams=\r\nUDPPort=12001\r\nGenParams=\r\n\r\n"
          "[FritzBox]\r\nFritzIP=fritz.box\r\nFritzPort=1012\r\nTelParams=\r\nIncomming=1\r\n"
          "Outgoing=0\r\nReverseLookup=1\r\nLookupCountry=DE\r\nOwnAreaCode=\r\n\r\n"
          "[Prowl]\r\nProwlKey=\r\nProwlParams=\r\n\r\n"
          "[HotKeys]\r\nFlipPages=Strg+F1\r\nDisplayOff=Strg+F11\r\nScreenSaver=Strg+F12\r\n"
          "HideWindow=Strg+F8\r\nOptions=Strg+P\r\nClippings=Strg+F5\r\n\r\n"
          "[Sounds]\r\nChevron=LTING\r\nBtnDown=CLICK\r\nDragIcon=GLICK\r\nSlideOut=GLICK\r\n"
          "SlideIn=GLICK\r\nBtnUp=CLICK\r\nTimeIsUp=LTING\r\n\r\n";
    EXPECT_EQ(Store.ToBytes(), expected);
}

TEST_F(SettingsAccess, IntegerBoundsHoldWhateverTheFileSays)
{
    struct {
        const char* Section;
        const char* Key;
        const char* Text;
        int TSettings::*Field;
        int Expected;
    } const cases[] = {
        { "Size", "CheviWidth", "4", &TSettings::CheviWidth, 8 },
        { "Size", "CheviWidth", "100", &TSettings::CheviWidth, 64 },
        { "Size", "CheviWidth", "64", &TSettings::CheviWidth, 64 },
        { "Misc", "SlideSpeed", "5", &TSettings::SlideSpeed, 10 },
        { "Misc", "SlideSpeed", "-750", &TSettings::SlideSpeed, 10 },
        { "Misc", "SlideSpeed", "100000", &TSettings::SlideSpeed, 100000 },
        { "Size", "Rows", "0", &TSettings::Rows, 1 },
        { "Size", "Rows", "1000000", &TSettings::Rows, 32 },
        { "Size", "Cols", "-3", &TSettings::Cols, 1 },
        { "Size", "Cols", "33", &TSettings::Cols, 32 },
        { "Size", "Banks", "0", &TSettings::Banks, 1 },
        { "Size", "Banks", "9", &TSettings::Banks, 8 },
        { "Size", "IconSize", "0", &TSettings::IconSize, 1 },
        { "Size", "IconSize", "10", &TSettings::IconSize, 9 },
        { "Skin", "ShowFrames", "70000", &TSettings::ShowFrames, 3 },
        { "Skin", "ShowFrames", "-1", &TSettings::ShowFrames, 0 },
        { "Skin", "Opacity", "300", &TSettings::Opacity, 255 },
        { "Position", "CheviPos", "9", &TSettings::CheviPos, 5 },
        { "Position", "CheviPos", "0", &TSettings::CheviPos, 1 },
        { "Effect", "ZoomSize", "5", &TSettings::ZoomSize, 4 },
        { "Effect", "IconPad", "99", &TSettings::IconPad, 32 },
        { "Effect", "FontSize", "40", &TSettings::FontSize, 16 },
        { "Popup", "UDPPort", "70000", &TSettings::UDPPort, 65535 },
        { "Popup", "UDPPort", "-1", &TSettings::UDPPort, 0 },
        { "Size", "Rows", "abc", &TSettings::Rows, 2 },
        { "Size", "Rows", "$4", &TSettings::Rows, 4 },
        { "Position", "Top", "-20", &TSettings::Top, -20 },
        { "Misc", "AutoHide", "-1500", &TSettings::AutoHide, -1500 },
        { "Skin", "AutoOpaque", "x10", &TSettings::AutoOpaque, 16 },
    };
    for (const auto& c : cases) {
        Settings = TSettings();
        Read(QByteArray("[") + c.Section + "]\n" + c.Key + "=" + c.Text + "\n[Effect]\nIconLight=5\n");
        EXPECT_EQ(Settings.*c.Field, c.Expected) << c.Key << "=" << c.Text;
        EXPECT_EQ(Settings.IconLight, 5) << "a bad value disturbs nothing else";
    }
}

TEST_F(SettingsAccess, ZoomKeepsOneDigitAndEitherSeparator)
{
    struct {
        const char* Text;
        float Expected;
    } const cases[] = {
        { "1,0", 1.0f },
        { "1.5", 1.5f },
        { "1,5", 1.5f },
        { "1,50000", 1.5f },
        { "2", 2.0f },
        { "0,1", 1.0f },
        { "0,25", 0.25f },
        { "0,24999", 1.0f },
        { "12,5", 1.0f },
        { "9,99999", 9.99999f },
        { "", 1.0f },
        { "abc", 1.0f },
        { "1,0E30", 1.0f },
        { "-1,5", 1.0f },
        { "1,2345678", 1.23456f },
    };
    for (const QLocale& locale : { QLocale::c(), QLocale(QLocale::German, QLocale::Germany) }) {
        const TLocaleGuard guard(locale);
        for (const auto& c : cases)
            EXPECT_FLOAT_EQ(ZoomFromText(QString::fromUtf8(c.Text)), c.Expected)
                << c.Text << " " << locale.name().toStdString();
    }
    {
        const TLocaleGuard german(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(ZoomToText(1.5f), QStringLiteral("1,50000"));
        Read("[Size]\nZoom=1.25\n");
        EXPECT_FLOAT_EQ(Settings.Zoom, 1.25f);
        Write();
        EXPECT_EQ(Written("Size", "Zoom"), QStringLiteral("1,25000"));
    }
    const TLocaleGuard c(QLocale::c());
    EXPECT_EQ(ZoomToText(1.0f), QStringLiteral("1.00000"));
}

TEST_F(SettingsAccess, SkinColorHasOneBgrColourPerPage)
{
    Read("[Size]\nBanks=3\n[Skin]\nSkinColor=$0000FF\n");
    EXPECT_EQ(Settings.SkinColor[0], 0xFFFF0000u) << "$BBGGRR: the last pair is red";
    EXPECT_EQ(Settings.SkinColor[1], 0xFFFFFFFFu);
    EXPECT_EQ(Settings.SkinColor[2], 0xFFFFFFFFu);
    Write();
    EXPECT_EQ(Written("Skin", "SkinColor"), QStringLiteral("$0000FF$FFFFFF$FFFFFF"));

    struct {
        const char* Text;
        int Pages;
        std::array<quint32, 3> Expected;
    } const cases[] = {
        { "$00FF00$FF0000$123456", 3, { 0xFF00FF00u, 0xFF0000FFu, 0xFF563412u } },
        { "$00ff00", 1, { 0xFF00FF00u, 0xFFAAAAAAu, 0xFFAAAAAAu } }, // pages beyond Banks stay as they were
        { "$GG0000$00FF00", 2, { 0xFFFFFFFFu, 0xFF00FF00u, 0xFFAAAAAAu } },
        { "$0x1234$00FF0", 2, { 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFAAAAAAu } },
        { "#0000FF$+00000", 2, { 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFAAAAAAu } },
    };
    for (const auto& c : cases) {
        std::array<quint32, KPageColours> colours;
        colours.fill(0xFFAAAAAAu);
        SkinColorFromText(QString::fromUtf8(c.Text), c.Pages, colours);
        EXPECT_EQ(colours[0], c.Expected[0]) << c.Text;
        EXPECT_EQ(colours[1], c.Expected[1]) << c.Text;
        EXPECT_EQ(colours[2], c.Expected[2]) << c.Text;
    }
    std::array<quint32, KPageColours> colours;
    colours.fill(0xFF123456u);
    EXPECT_EQ(SkinColorToText(colours, 8).size(), 56);
    EXPECT_EQ(SkinColorToText(colours, 1), QStringLiteral("$563412"));
}

TEST_F(SettingsAccess, ReadPassSideEffectsComeInOrder)
{
    Read("[Sounds]\nBtnUp=<NONE>\n[Skin]\nOpacity=200\n[Misc]\nShowTrayIcon=1\nOnTop=true\n"
         "[Position]\nTop=10\nRight=-4\nMonitor=3\n");
    EXPECT_EQ(Host.Log,
        (QStringList {
            "ApplyPosition 10 -4 3",
            "ApplyOnTop 1",
            "ApplyTrayIcon 1",
            "ApplyOpacity 200",
            "RequestWeatherRefresh",
            "ApplySoundNames LTING,CLICK,GLICK,GLICK,GLICK,<NONE>,LTING",
        }));
}

TEST_F(SettingsAccess, TextSettingsWithSpecialRules)
{
    Read("[FritzBox]\nOwnAreaCode=...\n[Popup]\nGenParams=Title:x\n[Misc]\nHideWnd=Editor\n");
    EXPECT_EQ(Settings.OwnAreaCode, QString()) << "the placeholder means no area code";
    EXPECT_EQ(Settings.GenParams, QStringLiteral("Title:x ")) << "kept with a separating blank";
    Write();
    EXPECT_EQ(Written("FritzBox", "OwnAreaCode"), QStringLiteral("<absent>")) << "written as an empty value";
    EXPECT_TRUE(Store.SectionLines(QStringLiteral("FritzBox")).contains(TIniLine { "OwnAreaCode", "" }));
    EXPECT_EQ(Written("Popup", "GenParams"), QStringLiteral("Title:x"));

    Host.Placeholder = QStringLiteral("---");
    Read("[FritzBox]\nOwnAreaCode=...\n");
    EXPECT_EQ(Settings.OwnAreaCode, QStringLiteral("..."))
        << "only the current language's placeholder counts";
    Read("[Misc]\nLanguage=\nCheviCap=\n");
    EXPECT_EQ(Settings.Language, QStringLiteral("English (English)")) << "empty text means the default";
    EXPECT_EQ(Settings.CheviCap, QStringLiteral("»"));
}

TEST_F(SettingsAccess, HotKeysRegisterAndOnlyRegisteredOnesAreWrittenBack)
{
    HotKeys.Taken.insert(QKeyCombination(Qt::ControlModifier, Qt::Key_F12)); // ScreenSaver's default
    Read("[HotKeys]\nFlipPages=alt+umsch+BildAuf\nDisplayOff=Strg+Unbekannt\nOptions=\n"
         "DisplayUp=Umsch+Strg+Alt+Auf\n");
    EXPECT_EQ(
        HotKeys.Registered.value(0), QKeyCombination(Qt::ShiftModifier | Qt::AltModifier, Qt::Key_PageUp));
    EXPECT_FALSE(HotKeys.Registered.contains(1)) << "text that does not parse";
    EXPECT_FALSE(HotKeys.Registered.contains(2)) << "another program holds it";
    EXPECT_EQ(HotKeys.Registered.value(4), QKeyCombination(Qt::ControlModifier, Qt::Key_P))
        << "empty: the default";
    EXPECT_EQ(HotKeys.Registered.value(7),
        QKeyCombination(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, Qt::Key_Up));
    EXPECT_FALSE(HotKeys.Registered.contains(6)) << "the orientation keys have no default key";
    EXPECT_EQ(Settings.HotKeyCodes[1], 0);
    EXPECT_EQ(Settings.HotKeyCodes[2], 0);
    EXPECT_EQ(Settings.HotKeys[1], QStringLiteral("Strg+Unbekannt"));

    Write();
    EXPECT_EQ(Written("HotKeys", "FlipPages"), QStringLiteral("Umsch+Alt+BildAuf"))
        << "rewritten in the fixed order";
    EXPECT_EQ(Written("HotKeys", "DisplayOff"), QStringLiteral("Strg+Unbekannt"))
        << "the file keeps its text";
    EXPECT_EQ(Written("HotKeys", "ScreenSaver"), QStringLiteral("<absent>"));
    EXPECT_EQ(Written("HotKeys", "Options"), QStringLiteral("Strg+P"));
    EXPECT_EQ(Written("HotKeys", "DisplayUp"), QStringLiteral("Umsch+Strg+Alt+Auf"));
    EXPECT_EQ(Written("HotKeys", "DisplayLeft"), QStringLiteral("<absent>"));

    // Reading again with a shortcut that no longer parses drops the old registration.
    Read("[HotKeys]\nFlipPages=Strg+\n");
    EXPECT_FALSE(HotKeys.Registered.contains(0));
    EXPECT_EQ(Settings.HotKeyCodes[0], 0);
}

TEST_F(SettingsAccess, WritePassOrderAndIgnoredFailures)
{
    Read("");
    Host.Log.clear();
    Host.Position = { 120, 7 };
    Host.Monitor = 1;
    Host.OnSaveButtonList = [] { throw std::runtime_error("disk full"); };
    Host.OnSaveIconStore = [] { throw std::runtime_error("disk full"); };
    Write();
    EXPECT_EQ(Host.Log,
        (QStringList { "SaveButtonList", "SaveIconStoreIfChanged", "CurrentPosition", "NearestMonitor",
            "PositionSaved 120 7", "ClearModified" }));
    EXPECT_EQ(Written("Position", "Top"), QStringLiteral("120"));
    EXPECT_EQ(Written("Position", "Right"), QStringLiteral("7"));
    EXPECT_EQ(Written("Position", "Monitor"), QStringLiteral("1"));
    EXPECT_EQ(Written("Sounds", "TimeIsUp"), QStringLiteral("LTING"))
        << "keys are written despite the failures";
    EXPECT_EQ(Settings.Top, 120);
    EXPECT_EQ(Settings.Monitor, 1);
}

TEST_F(SettingsAccess, AnExistingFileKeepsItsOrderAndWhatIsNotWritten)
{
    Read("[Weather]\nWxCity=Berlin\nWxLat=52.5\n[Misc]\nSoundOn=0\nLanguage=Deutsch\n[Own]\nx=1\n[Size]"
         "\nCols=4\n");
    EXPECT_FALSE(Settings.SoundOn);
    EXPECT_EQ(Settings.WxCity, QStringLiteral("Berlin"));
    Settings.SoundOn = true; // nothing writes it back, whatever the bar holds
    Settings.WxCity = QStringLiteral("Hamburg");
    Write();
    const QStringList sections = Store.Sections();
    EXPECT_EQ(sections.mid(0, 4), (QStringList { "Weather", "Misc", "Own", "Size" }));
    EXPECT_EQ(Written("Misc", "SoundOn"), QStringLiteral("0"));
    EXPECT_EQ(Written("Weather", "WxCity"), QStringLiteral("Berlin"));
    const QList<TIniLine> misc = Store.SectionLines(QStringLiteral("Misc"));
    EXPECT_EQ(misc[0], (TIniLine { "SoundOn", "0" }));
    EXPECT_EQ(misc[1], (TIniLine { "Language", "Deutsch" }));
    EXPECT_EQ(misc[2].Name, QStringLiteral("HideWnd")) << "missing keys are appended to their section";
    EXPECT_EQ(Store.SectionLines(QStringLiteral("Size"))[0], (TIniLine { "Cols", "4" }));
}

TEST_F(SettingsAccess, WrittenSettingsReadBackEqual)
{
    Settings.Rows = 4;
    Settings.Cols = 12;
    Settings.Banks = 3;
    Settings.Zoom = 1.75f;
    Settings.IconSize = 5;
    Settings.HideWnd = QStringLiteral("Notes = todo");
    Settings.OnTop = true;
    Settings.AutoHide = -2000;
    Settings.SlideSpeed = 10;
    Settings.CheviCap = QStringLiteral("«€»");
    Settings.SkinColor = { 0xFF102030u, 0xFF00FF00u, 0xFFABCDEFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu,
        0xFFFFFFFFu, 0xFFFFFFFFu };
    Settings.Opacity = 180;
    Settings.ShowFrames = 2;
    Settings.GenParams = QStringLiteral("Sound:@CLICK ");
    Settings.FritzIP = QStringLiteral("192.168.178.1");
    Settings.ProwlKey = QStringLiteral("k3y");
    Settings.BtnUp = QStringLiteral("own.wav");
    Host.Position = { 33, 44 };
    Host.Monitor = 2;
    for (int id = 0; id < KHotKeyCount; ++id)
        Settings.HotKeyCodes[static_cast<size_t>(id)] = RegisterKey(HotKeys, id, DefaultHotKeyText(id));
    Settings.HotKeyCodes[8] = RegisterKey(HotKeys, 8, QStringLiteral("Umsch+Strg+Alt+Rechts"));
    Settings.HotKeys[8] = QStringLiteral("Umsch+Strg+Alt+Rechts");
    for (int id = 0; id < 6; ++id)
        Settings.HotKeys[static_cast<size_t>(id)] = DefaultHotKeyText(id);
    for (int id : { 6, 7, 9 })
        Settings.HotKeys[static_cast<size_t>(id)] = DefaultHotKeyText(id);
    Write();
    const TSettings written = Settings;

    TMiniIni store;
    store.ParseBytes(Store.ToBytes());
    TSettings back;
    test::TFakeSettingsHost host;
    FakeHotKeys hotKeys;
    TSettingsAccess(store, back, host, hotKeys).IniAccess(QStringLiteral("Read"));
    EXPECT_TRUE(back == written);
    EXPECT_EQ(back.Top, 33);
    EXPECT_EQ(back.Monitor, 2);
    EXPECT_EQ(hotKeys.Registered.value(8),
        QKeyCombination(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, Qt::Key_Right));
}

TEST_F(SettingsAccess, OtherModesDoNothing)
{
    Store.SetValue(QStringLiteral("Size"), QStringLiteral("Rows"), 5);
    Access.IniAccess(QStringLiteral("read"));
    Access.IniAccess(QStringLiteral("Save"));
    EXPECT_EQ(Settings.Rows, 2);
    EXPECT_TRUE(Host.Log.isEmpty());
    EXPECT_EQ(Store.Sections(), QStringList { "Size" });
}

} // namespace
} // namespace qb
