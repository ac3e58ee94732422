#include "toolbar/PageRender.h"

#include "GeometryPrinters.h"
#include "raster/ColorOps.h"
#include "raster/Text.h"

#include <gtest/gtest.h>

#include <QList>

#include <functional>
#include <vector>

namespace qb {
namespace {

constexpr TColor32 KFace = 0xFFC0C0C0;
constexpr TColor32 KLight = 0xFFFFFFFF;
constexpr TColor32 KDark = 0xFF404040;
constexpr TColor32 KText = 0xFF000000;
constexpr TColor32 KOrange = 0xFFFFA500;
constexpr TColor32 KIconColour = 0xFF3366CC;

// A bar with its buttons and pictures. The defaults give the 304 x 72 bar (2 x 8 cells of
// 32-pixel icons, one frame ring, a 16-pixel switcher on the left) on a plain button face, with
// no buttons, no caption and white pages.
struct TBar {
    TSettings Settings;
    TLayout Layout;
    QList<TButtonEntry> Buttons;
    std::vector<TBitmap32> Icons;
    TPageState State;

    TBar()
    {
        Settings.ShowArrow = false;
        State.Colors = { KFace, KLight, KDark, KText };
    }

    // Lays the bar out from the settings; call after changing them, before the state.
    TBar& Build()
    {
        Layout.NewSize(Settings);
        State.TakeSettings(Settings);
        State.Buttons = Buttons;
        State.Icons = TIconImages(Icons);
        return *this;
    }

    // `count` buttons, each with a solid icon of the bar's icon size.
    void FillButtons(int count, TColor32 colour = KIconColour)
    {
        const int side = IconSizes[static_cast<std::size_t>(Settings.IconSize - 1)];
        for (int i = 0; i < count; ++i) {
            TButtonEntry e;
            e.BType = QStringLiteral("Exec");
            e.Path = QStringLiteral("/usr/bin/true");
            Buttons << e;
            Icons.emplace_back(side, side, colour);
        }
    }

    TBitmap32 Draw(TBankResult* result = nullptr)
    {
        TBitmap32 page;
        const TBankResult r = DrawBank(page, Layout, State);
        if (result)
            *result = r;
        return page;
    }
};

TBitmap32 Solid(int w, int h, TColor32 c)
{
    TBitmap32 b(w, h, c);
    b.SetDrawMode(TDrawMode::Blend);
    b.SetCombineMode(TCombineMode::Merge);
    return b;
}

int CountPixels(const TBitmap32& b, TColor32 c)
{
    int n = 0;
    for (qsizetype i = 0; i < b.PixelCount(); ++i)
        n += b.Bits()[i] == c ? 1 : 0;
    return n;
}

bool IsReddish(TColor32 c)
{
    return AlphaOf(c) == 255 && RedOf(c) > 150 && GreenOf(c) < 90 && BlueOf(c) < 90;
}
bool IsBluish(TColor32 c)
{
    return AlphaOf(c) == 255 && BlueOf(c) > 150 && RedOf(c) < 90 && GreenOf(c) < 90;
}

bool IsDark(TColor32 c)
{
    return AlphaOf(c) == 255 && RedOf(c) < 80 && GreenOf(c) < 80 && BlueOf(c) < 80;
}

int CountIn(const TBitmap32& b, const QRect& area, const std::function<bool(TColor32)>& test)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += test(b.Pixel(x, y)) ? 1 : 0;
    return n;
}

TEST(PageBackground, SkinNoneIsTheButtonFaceAndWhitePagesStayUntinted)
{
    TBar bar;
    bar.Settings.ShowFrames = 0;
    bar.Build();
    TBankResult result;
    const TBitmap32 page = bar.Draw(&result);
    ASSERT_EQ(page.BoundsRect(), QRect(0, 0, 288, 68));
    EXPECT_EQ(CountPixels(page, KFace), page.PixelCount());
    EXPECT_FALSE(result.FormColor.has_value());
}

TEST(PageBackground, CustomSkinIsTiledUnscaledFromTheOrigin)
{
    TBar bar;
    bar.Settings.ShowFrames = 0;
    bar.Settings.SkinName = QStringLiteral("CustomSkin3.png");
    bar.Build();
    TBitmap32 tile(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            tile.SetPixel(x, y, Color32(40 * x, 70 * y, 9, x == 4 && y == 2 ? 128 : 255));
    bar.State.BackgroundImage = &tile;
    const TBitmap32 page = bar.Draw();
    int wrong = 0;
    for (int y = 0; y < page.Height(); ++y)
        for (int x = 0; x < page.Width(); ++x)
            wrong += page.Pixel(x, y) != tile.Pixel(x % 5, y % 3) ? 1 : 0;
    EXPECT_EQ(wrong, 0);
}

TEST(PageBackground, SkinPictureStretchedToTheBarsHeightAndRepeated)
{
    // Left half red, right half blue; the switcher picture solid green.
    TBitmap32 skin(10, 4, 0xFF0000FF);
    skin.FillRect(QRect(0, 0, 5, 4), 0xFFFF0000);
    const TBitmap32 switcher(4, 4, 0xFF00FF00);

    TBar wide;
    wide.Settings.ShowFrames = 0;
    wide.Settings.SkinName = QStringLiteral("Bricks");
    wide.Build();
    wide.State.BackgroundImage = &skin;
    wide.State.SwitcherImage = &switcher;
    const TBitmap32 w = wide.Draw();
    for (const int y : { 0, 33, 67 }) {
        SCOPED_TRACE(y);
        for (const int x : { 16, 19, 20, 24, 25, 29, 283, 284, 287 })
            EXPECT_EQ(w.Pixel(x, y), x % 10 < 5 ? 0xFFFF0000 : 0xFF0000FF) << x;
        EXPECT_EQ(w.Pixel(0, y), 0xFF00FF00u);
        EXPECT_EQ(w.Pixel(15, y), 0xFF00FF00u);
    }

    // A tall bar turns the picture clockwise: its left half becomes the top rows of each band.
    TBar tall;
    tall.Settings.ShowFrames = 0;
    tall.Settings.Rows = 8;
    tall.Settings.Cols = 1;
    tall.Settings.SkinName = QStringLiteral("Bricks");
    tall.Build();
    ASSERT_LT(tall.Layout.BarW, tall.Layout.BarH);
    tall.State.BackgroundImage = &skin;
    const TBitmap32 t = tall.Draw();
    for (const int y : { 0, 4, 5, 9, 10, 265, 270, 271 })
        EXPECT_EQ(t.Pixel(30, y), y % 10 < 5 ? 0xFFFF0000 : 0xFF0000FF) << y;
}

TEST(PageBackground, GlassyCopiesTheScreenPictureUnderTheBar)
{
    TBar bar;
    bar.Settings.ShowFrames = 0;
    bar.Settings.SkinName = QStringLiteral("Glassy");
    bar.Build();
    TBitmap32 screen(bar.Layout.BarW, bar.Layout.BarH);
    for (int y = 0; y < screen.Height(); ++y)
        for (int x = 0; x < screen.Width(); ++x)
            screen.SetPixel(x, y, Color32(x, y, x ^ y));
    bar.State.BackgroundImage = &screen;
    EXPECT_EQ(bar.Draw(), screen);
}

// Pixels of one ring on the rectangle r (exclusive right and bottom).
struct TRingPixels {
    QPoint LeftSide, TopSide, RightSide, BottomSide, TopRight, BottomLeft;
};
TRingPixels RingOf(const QRect& r)
{
    const int l = r.x(), t = r.y(), rt = OuterRight(r) - 1, b = OuterBottom(r) - 1;
    return { { l, t + 10 }, { l + 10, t }, { rt, t + 10 }, { l + 10, b }, { rt, t }, { l, b } };
}

TEST(PageFrames, RaisedSunkenAndEtchedRings)
{
    struct TCase {
        const char* Name;
        int ShowFrames;
        bool Pressed, Dragging, PointerInside;
        // light/dark sides of the outer and the inner ring; 0: no inner ring
        TColor32 OuterLight, OuterDark, InnerLight, InnerDark;
    };
    const std::vector<TCase> cases = {
        { "raised", 1, false, false, true, KLight, KDark, 0, 0 },
        { "sunken while pressed", 1, true, false, true, KDark, KLight, 0, 0 },
        { "pressed, but a drag runs", 1, true, true, true, KLight, KDark, 0, 0 },
        { "pressed, pointer outside", 1, true, false, false, KLight, KDark, 0, 0 },
        { "two raised rings", 2, false, false, true, KLight, KDark, KLight, KDark },
        { "etched", 3, false, false, true, KDark, KLight, KLight, KDark },
        { "etched and pressed", 3, true, false, true, KLight, KDark, KDark, KLight },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TBar bar;
        bar.Settings.ShowFrames = c.ShowFrames;
        bar.Build();
        bar.State.ButtonDown = c.Pressed;
        bar.State.PressedCell = 0;
        bar.State.Dragging = c.Dragging;
        bar.State.PointerInside = c.PointerInside;
        const TBitmap32 page = bar.Draw();

        const QRect cell = bar.Layout.CellRect(0);
        if (c.ShowFrames == 1) {
            ASSERT_EQ(cell, QRect(16, 0, 36, 36));
        }
        const TRingPixels outer = RingOf(cell);
        EXPECT_EQ(page.Pixel(outer.LeftSide.x(), outer.LeftSide.y()), c.OuterLight);
        EXPECT_EQ(page.Pixel(outer.TopSide.x(), outer.TopSide.y()), c.OuterLight);
        EXPECT_EQ(page.Pixel(outer.RightSide.x(), outer.RightSide.y()), c.OuterDark);
        EXPECT_EQ(page.Pixel(outer.BottomSide.x(), outer.BottomSide.y()), c.OuterDark);
        EXPECT_EQ(page.Pixel(outer.TopRight.x(), outer.TopRight.y()), c.OuterDark)
            << "right side from the top";
        EXPECT_EQ(page.Pixel(outer.BottomLeft.x(), outer.BottomLeft.y()), c.OuterDark)
            << "bottom from the left";
        const TRingPixels inner = RingOf(cell.adjusted(1, 1, -1, -1));
        const TColor32 innerLight = c.InnerLight ? c.InnerLight : KFace;
        const TColor32 innerDark = c.InnerDark ? c.InnerDark : KFace;
        EXPECT_EQ(page.Pixel(inner.LeftSide.x(), inner.LeftSide.y()), innerLight);
        EXPECT_EQ(page.Pixel(inner.TopSide.x(), inner.TopSide.y()), innerLight);
        EXPECT_EQ(page.Pixel(inner.RightSide.x(), inner.RightSide.y()), innerDark);
        EXPECT_EQ(page.Pixel(inner.BottomSide.x(), inner.BottomSide.y()), innerDark);
        EXPECT_EQ(page.Pixel(cell.center().x(), cell.center().y()), KFace);

        // The neighbour is never pressed.
        const TRingPixels next = RingOf(bar.Layout.CellRect(1));
        EXPECT_EQ(page.Pixel(next.RightSide.x(), next.RightSide.y()), c.ShowFrames == 3 ? KLight : KDark);
    }
}

TEST(PageFrames, SwitcherRingSinksWhileItIsDownAndIsAbsentWithoutSwitcher)
{
    TBar bar;
    bar.Build();
    bar.Layout.Switcher.Down = true;
    bar.State.ButtonDown = true;
    bar.State.PointerInside = true;
    bar.State.PressedCell = KSwitcherCell;
    TBitmap32 page = bar.Draw();
    EXPECT_EQ(page.Pixel(0, 30), KDark);
    EXPECT_EQ(page.Pixel(15, 30), KLight);
    EXPECT_EQ(page.Pixel(8, 71), KLight);
    EXPECT_EQ(page.Pixel(17, 10), KFace) << "the first cell is not pressed";

    // Without a switcher its rectangle is empty and its rings must leave no pixel behind: the
    // first cell's etched rings are all the top-left corner shows.
    TBar none;
    none.Settings.CheviPos = SwNone;
    none.Settings.ShowFrames = 3;
    none.Build();
    page = none.Draw();
    EXPECT_EQ(page.Pixel(0, 0), KDark);
    EXPECT_EQ(page.Pixel(1, 0), KDark);
    EXPECT_EQ(page.Pixel(0, 1), KDark);
    EXPECT_EQ(page.Pixel(1, 1), KLight);
    EXPECT_EQ(page.Pixel(2, 2), KFace);
}

TEST(PageTint, BeforeOrAfterTheFramesByColorFrames)
{
    constexpr TColor32 KPageColour = 0xFFFF8040;
    for (const bool colorFrames : { false, true }) {
        SCOPED_TRACE(colorFrames);
        TBar bar;
        bar.Settings.ColorFrames = colorFrames;
        bar.Settings.SkinColor[1] = KPageColour;
        bar.FillButtons(32);
        bar.Build();

        bar.State.CurPage = 1;
        TBankResult result;
        TBitmap32 page = bar.Draw(&result);
        ASSERT_TRUE(result.FormColor.has_value());
        EXPECT_EQ(*result.FormColor, KPageColour);
        // Light 255 x 0x40 / 255 = 0x40; dark 0x40 x 0x80 / 255 rounds to 0x20.
        EXPECT_EQ(page.Pixel(16, 10), colorFrames ? 0xFFFF8040 : KLight);
        EXPECT_EQ(page.Pixel(51, 10), colorFrames ? 0xFF402010 : KDark);
        EXPECT_EQ(page.Pixel(17, 10), 0xFFC06030) << "the face is tinted either way";
        EXPECT_EQ(page.Pixel(30, 20), KIconColour) << "icons are drawn over the tint";

        bar.State.CurPage = 0;
        page = bar.Draw(&result);
        EXPECT_FALSE(result.FormColor.has_value());
        EXPECT_EQ(page.Pixel(17, 10), KFace);
    }
}

TEST(PageBorderLine, OrangeLineOnTheOutermostPixelsOfTheDockedEdge)
{
    struct TCase {
        int Edge;
        QPoint First, Last, Outside;
    };
    const std::vector<TCase> cases = {
        { EdgeLeft, { 0, 1 }, { 0, 71 }, { 0, 0 } },
        { EdgeTop, { 1, 0 }, { 303, 0 }, { 0, 0 } },
        { EdgeRight, { 303, 1 }, { 303, 71 }, { 303, 0 } },
        { EdgeBottom, { 1, 71 }, { 303, 71 }, { 0, 71 } },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Edge);
        TBar bar;
        bar.Build();
        bar.Layout.BorderEdge = c.Edge;
        const TBitmap32 page = bar.Draw();
        EXPECT_EQ(page.Pixel(c.First.x(), c.First.y()), KOrange);
        EXPECT_EQ(page.Pixel(c.Last.x(), c.Last.y()), KOrange);
        EXPECT_NE(page.Pixel(c.Outside.x(), c.Outside.y()), KOrange);
        EXPECT_EQ(CountPixels(page, KOrange), (c.Edge == EdgeLeft || c.Edge == EdgeRight) ? 71 : 303);
    }
    TBar bar;
    bar.Build();
    EXPECT_EQ(CountPixels(bar.Draw(), KOrange), 0);
}

TEST(PageIcons, LooksByState)
{
    // Icon colour 33 66 CC: grey intensity 98 (0x62), mean 119 (0x77).
    struct TCase {
        const char* Name;
        std::function<void(TBar&)> Set;
        TColor32 Centre; // centre of cell 0's icon
        TColor32 Corner; // its top-left pixel
        int FloatCell;
        bool HideFloat;
        TColor32 Other = KIconColour; // centre of cell 1's icon
    };
    const auto hover = [](TBar& b) {
        b.State.HoverCell = 0;
        b.State.PointerOverBar = true;
        b.State.PointerInside = true;
    };
    const std::vector<TCase> cases = {
        { "normal", [](TBar&) {}, KIconColour, KIconColour, -1, false },
        { "disabled is grey", [](TBar& b) { b.Buttons[0].Flags = QStringLiteral("Disabled"); }, 0xFF626262,
            0xFF626262, -1, false },
        { "blend 16 desaturates fully", [](TBar& b) { b.Settings.Blend = 16; }, 0xFF777777, 0xFF777777, -1,
            false, 0xFF777777 },
        { "hover lightens by IconLight",
            [&](TBar& b) {
                b.Settings.ZoomSize = 0;
                hover(b);
            },
            0xFF4376DC, 0xFF4376DC, -1, false },
        { "hover on a disabled button with Blend stays coloured",
            [&](TBar& b) {
                b.Settings.ZoomSize = 0;
                b.Settings.Blend = 4;
                b.Buttons[0].Flags = QStringLiteral("Disabled");
                hover(b);
            },
            // The other cells are desaturated by 64 / 255 towards their mean grey.
            0xFF4376DC, 0xFF4376DC, -1, false, 0xFF446AB7 },
        { "pressed is darker and smaller",
            [&](TBar& b) {
                hover(b);
                b.State.ButtonDown = true;
                b.State.LeftButtonDown = true;
                b.State.PressedCell = 0;
            },
            0xFF2356BC, KFace, -1, false },
        { "zoomed hover goes to the float layer", [&](TBar& b) { hover(b); }, KFace, KFace, 0, false },
        { "hover while the window under the pointer is another",
            [&](TBar& b) {
                hover(b);
                b.Settings.ZoomSize = 0;
                b.State.PointerOverBar = false;
            },
            KIconColour, KIconColour, -1, false },
        { "pointer on the border",
            [&](TBar& b) {
                hover(b);
                b.Layout.OnBorder = true;
            },
            KIconColour, KIconColour, -1, true },
        { "pointer on a corner keeps the hover look",
            [&](TBar& b) {
                hover(b);
                b.Layout.CornerCursor = true;
            },
            0xFF4376DC, 0xFF4376DC, -1, true },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TBar bar;
        bar.FillButtons(16);
        // The pressed icon shrinks towards its centre, so its edge shows what lies beneath.
        bar.Settings.ShowFrames = 0;
        c.Set(bar);
        bar.Build();
        c.Set(bar); // again: layout and state fields are set after Build
        const QRect r = bar.Layout.CalcRect(0);
        TBankResult result;
        const TBitmap32 page = bar.Draw(&result);
        EXPECT_EQ(page.Pixel(r.center().x(), r.center().y()), c.Centre);
        EXPECT_EQ(page.Pixel(r.x(), r.y()), c.Corner);
        EXPECT_EQ(result.FloatCell, c.FloatCell);
        EXPECT_EQ(result.HideFloatLayer, c.HideFloat);
        const QPoint other = bar.Layout.CalcRect(1).center();
        EXPECT_EQ(page.Pixel(other.x(), other.y()), c.Other) << "other cells keep their normal look";
    }
}

TEST(PageIcons, ShortListsShowTheLastPictureWithoutReadingPastTheEnd)
{
    TBar bar;
    bar.Settings.ShowFrames = 0;
    bar.FillButtons(2);
    bar.Icons.emplace_back(32, 32, 0xFF00FF00); // one picture more than buttons
    bar.Icons[1] = Solid(32, 32, 0xFFAA0000);
    bar.Build();
    int highest = -1;
    bar.State.Icons = TIconImages(static_cast<int>(bar.Icons.size()), [&](int i) -> const TBitmap32& {
        highest = std::max(highest, i);
        return bar.Icons.at(static_cast<std::size_t>(i));
    });
    bar.State.CurPage = 1;
    const TBitmap32 page = bar.Draw();
    EXPECT_EQ(highest, 1);
    for (int cell = 0; cell < 16; ++cell) {
        const QPoint c = bar.Layout.CalcRect(cell).center();
        EXPECT_EQ(page.Pixel(c.x(), c.y()), 0xFFAA0000u) << cell;
    }

    // A page number below zero names no button.
    bar.State.CurPage = -1;
    EXPECT_EQ(CountPixels(bar.Draw(), KFace), bar.Layout.BarW * bar.Layout.BarH);
    EXPECT_EQ(highest, 1);

    // No buttons at all: the page is drawn without icons.
    bar.Buttons.clear();
    bar.State.Buttons = bar.Buttons;
    highest = -1;
    EXPECT_EQ(CountPixels(bar.Draw(), KFace), bar.Layout.BarW * bar.Layout.BarH);
    EXPECT_EQ(highest, -1);
}

TEST(PageIcons, OnePixelPictureIsNoPicture)
{
    TBar bar;
    bar.Settings.ShowFrames = 0;
    bar.FillButtons(16);
    bar.Icons[3] = Solid(1, 1, 0xFFFF0000);
    bar.Build();
    const TBitmap32 page = bar.Draw();
    const QRect r = bar.Layout.CalcRect(3);
    EXPECT_EQ(CountIn(page, r, [](TColor32 c) { return c == KFace; }), r.width() * r.height());
}

TEST(PageIcons, BatteryTileIsPaintedOnlyWhileNothingMoves)
{
    TBar bar;
    bar.Settings.ShowFrames = 0;
    bar.FillButtons(16);
    bar.Build();
    bar.State.BatteryButton = 2;
    int calls = 0;
    bar.State.PaintBattery = [&](TBitmap32& icon) {
        ++calls;
        icon.Clear(0xFF00FF00);
    };
    const QPoint c = bar.Layout.CalcRect(2).center();
    EXPECT_EQ(bar.Draw().Pixel(c.x(), c.y()), 0xFF00FF00u);
    bar.State.FloatTag = 1;
    EXPECT_EQ(bar.Draw().Pixel(c.x(), c.y()), KIconColour);
    bar.State.FloatTag = 0;
    bar.State.Dragging = true;
    EXPECT_EQ(bar.Draw().Pixel(c.x(), c.y()), KIconColour);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(bar.Icons[2].Pixel(0, 0), KIconColour) << "the stored picture is not touched";
}

TEST(PageMarkers, AdminShieldCornerFollowsFontSizeAndSoundMarkerIsTopRight)
{
    const TBitmap32 admin = Solid(4, 4, 0xFFFF00FF);
    const TBitmap32 sound = Solid(4, 4, 0xFF00FFFF);
    for (const int fontSize : { 0, 2 }) {
        SCOPED_TRACE(fontSize);
        TBar bar;
        bar.Settings.ShowFrames = 0;
        bar.Settings.FontSize = fontSize;
        bar.FillButtons(16);
        bar.Buttons[0].Flags = QStringLiteral("Disabled Admin");
        bar.Build();
        bar.State.AdminMarker = &admin;
        bar.State.SoundMarker = &sound;
        bar.State.Mp3Button = 5;
        bar.State.WavButton = 6;
        const TBitmap32 page = bar.Draw();

        const QRect r = bar.Layout.CalcRect(0);
        const QRect shield = fontSize < 1 ? QRect(OuterRight(r) - 4, OuterBottom(r) - 4, 4, 4)
                                          : QRect(OuterRight(r) - 4, r.y(), 4, 4);
        EXPECT_EQ(CountIn(page, shield, [](TColor32 c) { return c == 0xFFFF00FF; }), 16);
        EXPECT_EQ(CountPixels(page, 0xFFFF00FF), 16);
        EXPECT_EQ(page.Pixel(r.center().x(), r.center().y()), KIconColour)
            << "Admin wins over Disabled: not grey";

        for (const int cell : { 5, 6 }) {
            const QRect m = bar.Layout.CalcRect(cell);
            EXPECT_EQ(CountIn(page, QRect(OuterRight(m) - 4, m.y(), 4, 4),
                          [](TColor32 c) { return c == 0xFF00FFFF; }),
                16);
        }
        EXPECT_EQ(CountPixels(page, 0xFF00FFFF), 32);
    }
}

TEST(WeatherTiles, SlotAndTemperature)
{
    struct TSlotCase {
        const char* Path;
        int Slot;
    };
    for (const TSlotCase& c : std::vector<TSlotCase> { { "Weather", 0 }, { "Weather3", 3 },
             { "Weather3x", 3 }, { "Weatherx", 0 }, { "weather1", -1 }, { "Wea", -1 }, { "", -1 } })
        EXPECT_EQ(WeatherSlot(QString::fromUtf8(c.Path)), c.Slot) << c.Path;

    struct TCase {
        const char* Line;
        const char* Text; // nullptr: nothing shown
        TColor32 Colour;
    };
    const std::vector<TCase> cases = {
        { "12.6|4|Oslo", "13°", 0xFFFF0000 },
        { "-0.4|4", "0°", 0xFF0000FF },
        { "12,6", "13°", 0xFFFF0000 },
        { "2.5|", "2°", 0xFFFF0000 },
        { "-3.5", "-4°", 0xFF0000FF },
        { "N/A|x", "0°", 0xFF0000FF },
        { "|7", nullptr, 0 },
        { "", nullptr, 0 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Line);
        const QStringList data = { QString(), QString::fromUtf8(c.Line) };
        const auto t = WeatherTemperature(data, 1);
        ASSERT_EQ(t.has_value(), c.Text != nullptr);
        if (t) {
            EXPECT_EQ(t->Text, QString::fromUtf8(c.Text));
            EXPECT_EQ(t->Color, c.Colour);
        }
    }
    EXPECT_FALSE(WeatherTemperature({ QStringLiteral("5") }, 1).has_value()) << "no such line";
}

TEST(WeatherTiles, TemperatureDrawnRedOrBlueInTheIconsTopRight)
{
    for (const bool warm : { true, false }) {
        SCOPED_TRACE(warm);
        TBar bar;
        bar.Settings.ShowFrames = 0;
        bar.Settings.IconSize = 4;
        bar.FillButtons(16, 0xFFFFFFFF);
        bar.Buttons[2].Path = QStringLiteral("Weather1");
        bar.Build();
        bar.State.WeatherData = { QString(), warm ? QStringLiteral("12.6|x") : QStringLiteral("-0.4|x") };
        const TBitmap32 page = bar.Draw();
        const QRect r = bar.Layout.CalcRect(2);
        const QRect corner(r.x() + r.width() / 2, r.y(), r.width() / 2, 16);
        EXPECT_GT(CountIn(page, corner, warm ? IsReddish : IsBluish), 5);
        EXPECT_EQ(CountIn(page, corner, warm ? IsBluish : IsReddish), 0);
        EXPECT_GT(CountIn(page, corner, IsDark), 0) << "shadow";
        const QRect other = bar.Layout.CalcRect(3);
        EXPECT_EQ(CountIn(page, other, [](TColor32 c) { return c != 0xFFFFFFFF; }), 0);
    }
}

// The switcher strip of a bar with the caption on.
TBitmap32 CaptionStrip(int position, bool slidOut, bool modified, double dpiScale = 1.0)
{
    TBar bar;
    bar.Settings.ShowFrames = 0;
    bar.Settings.ShowArrow = true;
    bar.Settings.CheviPos = position;
    bar.Settings.CheviWidth = 20;
    bar.Layout.SetDpiScale(dpiScale);
    bar.Build();
    bar.State.SlidOut = slidOut;
    bar.State.Modified = modified;
    const TBitmap32 page = bar.Draw();
    const QRect n = bar.Layout.Switcher.NRect;
    TBitmap32 strip(n.width(), n.height());
    for (int y = 0; y < n.height(); ++y)
        for (int x = 0; x < n.width(); ++x)
            strip.SetPixel(x, y, page.Pixel(n.x() + x, n.y() + y));
    return strip;
}

TEST(SwitcherCaption, MirroredWhenSlidOut)
{
    for (const int position : { SwLeft, SwRight, SwTop, SwBottom }) {
        SCOPED_TRACE(position);
        const TBitmap32 in = CaptionStrip(position, false, false);
        TBitmap32 out = CaptionStrip(position, true, false);
        EXPECT_NE(CountPixels(in, KFace), in.PixelCount()) << "a caption is drawn";
        EXPECT_NE(in, out);
        if (position > SwRight)
            out.FlipVert();
        else
            out.FlipHorz();
        EXPECT_EQ(in, out);
    }
    // Right is the left caption mirrored; top and bottom are turned and mirror each other.
    TBitmap32 left = CaptionStrip(SwLeft, false, false);
    left.FlipHorz();
    EXPECT_EQ(CaptionStrip(SwRight, false, false), left);
    TBitmap32 top = CaptionStrip(SwTop, false, false);
    top.FlipVert();
    EXPECT_EQ(CaptionStrip(SwBottom, false, false), top);
}

TEST(SwitcherCaption, RedWhileModifiedAndScaledWithTheDpi)
{
    const TBitmap32 saved = CaptionStrip(SwLeft, false, false);
    const TBitmap32 changed = CaptionStrip(SwLeft, false, true);
    EXPECT_EQ(CountIn(saved, saved.BoundsRect(), IsReddish), 0);
    EXPECT_GT(CountIn(saved, saved.BoundsRect(), IsDark), 0);
    EXPECT_GT(CountIn(changed, changed.BoundsRect(), IsReddish), 0);

    // The glyph picture is 10 x 10, centred; at 200 % it is 20 x 20.
    const auto inked = [](const TBitmap32& strip) {
        QRect box;
        for (int y = 0; y < strip.Height(); ++y)
            for (int x = 0; x < strip.Width(); ++x)
                if (strip.Pixel(x, y) != KFace)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect small = inked(saved);
    ASSERT_FALSE(small.isEmpty());
    const int middle = saved.Height() / 2;
    EXPECT_TRUE(QRect(5, middle - 5, 10, 10).contains(small)) << small.x() << "," << small.y();
    const QRect large = inked(CaptionStrip(SwLeft, false, false, 2.0));
    EXPECT_TRUE(QRect(0, middle - 10, 20, 20).contains(large));
    EXPECT_GT(large.width(), small.width());

    TBar none;
    none.Settings.ShowFrames = 0;
    none.Settings.ShowArrow = true;
    none.Settings.CheviPos = SwNone;
    none.Build();
    EXPECT_EQ(CountPixels(none.Draw(), KFace), none.Layout.BarW * none.Layout.BarH);
}

TEST(HintLayer, GradientStripUnderEveryLabelledIcon)
{
    for (const bool below : { false, true }) {
        SCOPED_TRACE(below);
        TBar bar;
        bar.Settings.FontSize = 4; // strip of 12 rows
        bar.Settings.TextBelow = below;
        bar.FillButtons(16);
        bar.Buttons[0].Hint = QStringLiteral("Hi");
        bar.Build();
        TBitmap32 layer;
        DrawHintLayer(layer, bar.Layout, bar.State);
        ASSERT_EQ(layer.BoundsRect(), QRect(0, 0, bar.Layout.BarW, bar.Layout.BarH));

        const QRect icon = bar.Layout.CalcRect(0);
        const int left = icon.x() - 1;
        const int right = OuterRight(icon); // last column: IconPad 1 beyond the icon
        const int top = below ? OuterBottom(icon) + bar.Layout.Inset : OuterBottom(icon) - 12;
        EXPECT_EQ(layer.Pixel(left, top), 0x40D0D0D0u);
        EXPECT_EQ(layer.Pixel(right, top), 0x40D0D0D0u);
        EXPECT_EQ(layer.Pixel(left, top + 11), 0xC0808080u);
        EXPECT_EQ(layer.Pixel(right, top + 11), 0xC0808080u);
        // Row 5 of 12: weight 5 x 255 div 11 = 115.
        EXPECT_EQ(layer.Pixel(left, top + 5), CombineReg(0xC0808080, 0x40D0D0D0, 115));
        EXPECT_EQ(layer.Pixel(left - 1, top + 5), 0u);
        EXPECT_EQ(layer.Pixel(right + 1, top + 5), 0u);
        EXPECT_EQ(layer.Pixel(left, top - 1), 0u);
        EXPECT_EQ(layer.Pixel(left, top + 12), 0u);
        // Text in black over white somewhere in the strip.
        const QRect strip(left, top, right - left + 1, 12);
        EXPECT_GT(CountIn(layer, strip, [](TColor32 c) { return AlphaOf(c) > 200 && RedOf(c) < 60; }), 0);
        EXPECT_GT(CountIn(layer, strip, [](TColor32 c) { return AlphaOf(c) > 200 && RedOf(c) > 230; }), 0);
        // Cells without a label carry no strip.
        const int nonClear = CountIn(layer, layer.BoundsRect(), [](TColor32 c) { return c != 0; });
        EXPECT_EQ(nonClear, CountIn(layer, strip, [](TColor32 c) { return c != 0; }));
    }
}

TEST(HintLayer, LongLabelsEndInAnEllipsisAndWeatherTilesShowTheirPlace)
{
    TBar bar;
    bar.Settings.FontSize = 4;
    bar.FillButtons(16);
    bar.Buttons[0].Hint = QStringLiteral("A very long label that cannot fit under one icon");
    bar.Build();
    TBitmap32 layer;
    DrawHintLayer(layer, bar.Layout, bar.State);

    TFont font = layer.Font();
    ASSERT_EQ(font.Weight, 700);
    ASSERT_EQ(font.Height, 12);
    const QString shortened = EllipsizeEnd(font, bar.Buttons[0].Hint, 34);
    ASSERT_TRUE(shortened.endsWith(QChar(0x2026)));
    ASSERT_LT(shortened.size(), bar.Buttons[0].Hint.size());
    TBar fitted = bar;
    fitted.Buttons[0].Hint = shortened;
    fitted.Build();
    TBitmap32 expected;
    DrawHintLayer(expected, fitted.Layout, fitted.State);
    EXPECT_EQ(layer, expected);

    // A weather record with a sixth field names the tile, whatever its hint says.
    TBar weather = bar;
    weather.Buttons[0].Hint = QStringLiteral("ignored");
    weather.Buttons[0].Path = QStringLiteral("Weather2");
    weather.Build();
    weather.State.WeatherData = { QString(), QString(), QStringLiteral("3|a|b|c|d|Oslo|f") };
    TBar named = bar;
    named.Buttons[0].Hint = QStringLiteral("Oslo");
    named.Build();
    TBitmap32 fromWeather, fromHint;
    DrawHintLayer(fromWeather, weather.Layout, weather.State);
    DrawHintLayer(fromHint, named.Layout, named.State);
    EXPECT_EQ(fromWeather, fromHint);

    // An empty hint and a short record draw nothing.
    weather.Buttons[0].Hint.clear();
    weather.Build();
    weather.State.WeatherData = { QString(), QString(), QStringLiteral("3|a|b") };
    DrawHintLayer(fromWeather, weather.Layout, weather.State);
    EXPECT_EQ(CountPixels(fromWeather, 0), fromWeather.PixelCount());
}

TEST(HintLayer, LabelFontIsArialOrItsMetricTwin)
{
    const QString family = LabelFontFamily();
    EXPECT_TRUE(
        family == QStringLiteral("Arial") || family == QStringLiteral("Liberation Sans") || family.isEmpty())
        << family.toStdString();
}

} // namespace
} // namespace qb
