#include "toolbar/PageRender.h"

#include "raster/ColorOps.h"
#include "raster/Filters.h"
#include "raster/Resamplers.h"
#include "raster/Round.h"
#include "raster/Text.h"

#include <QFontDatabase>

#include <algorithm>
#include <utility>

namespace qb {

namespace {

constexpr TColor32 KBlack = 0xFF000000;
constexpr TColor32 KWhite = 0xFFFFFFFF;
constexpr TColor32 KRed = 0xFFFF0000;
constexpr TColor32 KBlue = 0xFF0000FF;
constexpr TColor32 KOrange = 0xFFFFA500;

const QString KWeather = QStringLiteral("Weather");

bool IsEmptyPicture(const TBitmap32* b)
{
    return b == nullptr || b->IsEmpty();
}

// A button picture of one pixel is a placeholder, not a picture.
bool IsPlaceholder(const TBitmap32& b)
{
    return b.PixelCount() <= 1;
}

// Lines with both end points included. A run whose end lies before its start draws nothing, as
// the frame rings of degenerate rectangles (an absent switcher) must not leave stray pixels.
void HLine(TBitmap32& b, int x1, int y, int x2, TColor32 c)
{
    if (x2 >= x1)
        b.HorzLine(x1, y, x2, c);
}

void VLine(TBitmap32& b, int x, int y1, int y2, TColor32 c)
{
    if (y2 >= y1)
        b.VertLine(x, y1, y2, c);
}

// Copies `src` unscaled with its top-left corner at (x, y), replacing the pixels.
void CopyAt(TBitmap32& dst, int x, int y, const TBitmap32& src)
{
    const QRect to = QRect(x, y, src.Width(), src.Height()).intersected(dst.BoundsRect());
    for (int row = to.top(); row <= to.bottom(); ++row)
        std::copy_n(src.ScanLine(row - y) + (to.left() - x), to.width(), dst.ScanLine(row) + to.left());
}

void StretchDraft(TBitmap32& dst, const QRect& dstRect, const TBitmap32& src)
{
    static const TDraftResampler draft;
    draft.Transfer(dst, dstRect, src, src.BoundsRect(), TDrawMode::Opaque, TCombineMode::Blend, 255);
}

void DrawBackground(TBitmap32& page, const TLayout& layout, const TPageState& state)
{
    const TBitmap32* bg = state.BackgroundImage;
    const int barW = layout.BarW;
    const int barH = layout.BarH;

    if (state.SkinName == QStringLiteral("Glassy") && !IsEmptyPicture(bg)) {
        // The snapshot is made at the bar's size; should a layout change have outrun it, the
        // stale picture still covers the whole page.
        if (bg->Width() == barW && bg->Height() == barH)
            CopyAt(page, 0, 0, *bg);
        else
            StretchDraft(page, page.BoundsRect(), *bg);
        return;
    }
    if (IsEmptyPicture(bg)) {
        page.Clear(state.Colors.ButtonFace);
        return;
    }
    if (state.SkinName.startsWith(QStringLiteral("CustomSkin"))) {
        const int w = bg->Width();
        const int h = bg->Height();
        for (int row = 0; row <= barH / h; ++row)
            for (int col = 0; col <= barW / w; ++col)
                CopyAt(page, col * w, row * h, *bg);
        return;
    }
    if (barW >= barH) {
        const int w = bg->Width();
        for (int k = 0; k <= barW / w; ++k)
            StretchDraft(page, QRect(k * w, 0, w, barH), *bg);
    } else {
        TBitmap32 rotated = *bg;
        rotated.Rotate90();
        const int h = rotated.Height();
        for (int k = 0; k <= barH / h; ++k)
            StretchDraft(page, QRect(0, k * h, barW, h), rotated);
    }
    const TBitmap32* sw = state.SwitcherImage;
    const QRect& nRect = layout.Switcher.NRect;
    if (!IsEmptyPicture(sw) && !nRect.isEmpty()) {
        if (layout.Switcher.Position > SwNone) {
            TBitmap32 rotated = *sw;
            rotated.Rotate90();
            StretchDraft(page, nRect, rotated);
        } else {
            StretchDraft(page, nRect, *sw);
        }
    }
}

std::optional<TColor32> Tint(TBitmap32& page, const TPageState& state)
{
    if (state.CurPage < 0 || state.CurPage >= KPageColours)
        return std::nullopt;
    const TColor32 colour = state.SkinColor[static_cast<std::size_t>(state.CurPage)];
    if (!TintPage(page, colour))
        return std::nullopt;
    return colour;
}

void DrawFrames(TBitmap32& page, const TLayout& layout, const TPageState& state)
{
    const int showFrames = std::clamp(state.ShowFrames, 0, 3);
    if (showFrames == 0)
        return;
    const int rings = std::min(showFrames, 2);
    const int cells = layout.CellsPerPage;
    const bool pressing = state.ButtonDown && !state.Dragging && state.PointerInside;
    for (int i = 0; i <= cells; ++i) {
        TColor32 light = state.Colors.Highlight;
        TColor32 dark = state.Colors.Shadow;
        if (pressing && (i == state.PressedCell || (i == cells && layout.Switcher.Down)))
            std::swap(light, dark);
        QRect r = layout.CellRect(i);
        for (int ring = 0; ring < rings; ++ring) {
            if (ring > 0)
                r.adjust(1, 1, -1, -1);
            if (showFrames == 3)
                std::swap(light, dark);
            const int left = r.x();
            const int top = r.y();
            const int right = OuterRight(r);
            const int bottom = OuterBottom(r);
            VLine(page, left, top, bottom - 2, light);
            HLine(page, left + 1, top, right - 2, light);
            VLine(page, right - 1, top, bottom - 1, dark);
            HLine(page, left, bottom - 1, right - 2, dark);
        }
    }
}

void DrawBorderLine(TBitmap32& page, const TLayout& layout)
{
    const int w = layout.BarW;
    const int h = layout.BarH;
    switch (layout.BorderEdge) {
    case EdgeLeft:
        VLine(page, 0, 1, h - 1, KOrange);
        break;
    case EdgeTop:
        HLine(page, 1, 0, w - 1, KOrange);
        break;
    case EdgeRight:
        VLine(page, w - 1, 1, h - 1, KOrange);
        break;
    case EdgeBottom:
        HLine(page, 1, h - 1, w - 1, KOrange);
        break;
    default:
        break;
    }
}

// The weather tile's temperature in the top-right corner of its icon, over a one-pixel shadow.
void DrawTemperature(TBitmap32& page, const TLayout& layout, const QRect& r, const TTemperature& t)
{
    const TFont saved = page.Font();
    page.SetFont(TFont { QString(), std::min(24, std::max(12, layout.CellH / 5 - 2)), 700, false });
    const int tw = page.TextWidth(t.Text);
    page.RenderText(OuterRight(r) - tw - 7, r.y() + 1, t.Text, KBlack);
    page.RenderText(OuterRight(r) - tw - 8, r.y(), t.Text, t.Color);
    page.SetFont(saved);
}

void DrawCaption(TBitmap32& page, const TLayout& layout, const TPageState& state)
{
    const TSwitcher& sw = layout.Switcher;
    if (sw.Position == SwNone || !state.ShowArrow)
        return;
    const TColor32 colour = state.Modified ? KRed : state.Colors.WindowText;
    TBitmap32 glyph(10, 10);
    glyph.SetDrawMode(TDrawMode::Blend);
    glyph.SetCombineMode(TCombineMode::Merge);
    glyph.SetResampler(TResamplerKind::Linear);
    glyph.SetFont(TFont { QString(), 19, 400, false });
    // Only the lower part of the glyph falls into the little picture: the arrow itself.
    glyph.RenderText(0, -10, state.CheviCap, colour);
    if (layout.DpiScale > 1) {
        const int side = RoundHalfEven(layout.DpiScale * 10);
        ResizeLinear(glyph, side, side);
    }
    if (sw.Position == SwRight) {
        glyph.FlipHorz();
    } else if (sw.Position == SwTop || sw.Position == SwBottom) {
        glyph.Rotate270();
        if (sw.Position == SwTop)
            glyph.FlipVert();
    }
    if (state.SlidOut) {
        if (sw.Position > SwRight)
            glyph.FlipVert();
        else
            glyph.FlipHorz();
    }
    const QRect& n = sw.NRect;
    page.Draw(n.x() + (n.width() - glyph.Width()) / 2, n.y() + (n.height() - glyph.Height()) / 2, glyph);
}

} // namespace

TIconImages::TIconImages(std::span<const TBitmap32> images)
    : FCount(static_cast<int>(images.size()))
    , FAt([images](int i) -> const TBitmap32& { return images[static_cast<std::size_t>(i)]; })
{
}

TIconImages::TIconImages(int count, std::function<const TBitmap32&(int)> at)
    : FCount(std::max(0, count))
    , FAt(std::move(at))
{
}

void TPageState::TakeSettings(const TSettings& settings)
{
    SkinName = settings.SkinName.isEmpty() ? QStringLiteral("None") : settings.SkinName;
    SkinColor = settings.SkinColor;
    ShowFrames = settings.ShowFrames;
    ColorFrames = settings.ColorFrames;
    ZoomSize = settings.ZoomSize;
    IconLight = settings.IconLight;
    Blend = settings.Blend;
    ShowArrow = settings.ShowArrow;
    FontSize = settings.FontSize;
    TextBelow = settings.TextBelow;
    IconPad = settings.IconPad;
    CheviCap = settings.CheviCap;
}

int WeatherSlot(const QString& path)
{
    if (!path.startsWith(KWeather))
        return -1;
    if (path.size() > KWeather.size()) {
        const QChar c = path.at(KWeather.size());
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            return c.unicode() - '0';
    }
    return 0;
}

std::optional<TTemperature> WeatherTemperature(const QStringList& weatherData, int slot)
{
    if (slot < 0 || slot >= weatherData.size() || weatherData.at(slot).isEmpty())
        return std::nullopt;
    const QString first = weatherData.at(slot).section(QLatin1Char('|'), 0, 0);
    if (first.isEmpty())
        return std::nullopt;
    // The services write a decimal point, older records a comma; either reads the same whatever
    // the desktop's number format is.
    QString number = first;
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    double t = number.toDouble(&ok);
    if (!ok)
        t = 0;
    return TTemperature { QString::number(RoundHalfEven(t)) + QChar(0x00B0), t > 0 ? KRed : KBlue };
}

QString LabelFontFamily()
{
    static const QString family = [] {
        for (const QString& name : { QStringLiteral("Arial"), QStringLiteral("Liberation Sans") }) {
            if (QFontDatabase::hasFamily(name))
                return name;
        }
        return QString();
    }();
    return family;
}

TBankResult DrawBank(TBitmap32& page, const TLayout& layout, const TPageState& state)
{
    TBankResult result;
    page.SetSize(layout.BarW, layout.BarH);
    if (page.IsEmpty())
        return result;

    DrawBackground(page, layout, state);
    if (!state.ColorFrames)
        result.FormColor = Tint(page, state);
    DrawFrames(page, layout, state);
    if (state.ColorFrames)
        result.FormColor = Tint(page, state);
    DrawBorderLine(page, layout);

    const int cells = layout.CellsPerPage;
    const int available = std::min(static_cast<int>(state.Buttons.size()), state.Icons.Count());
    const int zoomSize = std::clamp(state.ZoomSize, 0, 4);
    const bool pointerOnEdge = layout.OnBorder || layout.CornerCursor;
    result.HideFloatLayer = pointerOnEdge;

    TBitmap32 scratch;
    scratch.SetDrawMode(TDrawMode::Blend);
    scratch.SetCombineMode(TCombineMode::Merge);
    scratch.SetResampler(TResamplerKind::Linear);

    for (int i = 0; i < cells && available > 0; ++i) {
        const QRect r = layout.CalcRect(i);
        const int n = std::min(state.CurPage * cells + i, available - 1);
        if (n < 0)
            continue;
        const TButtonEntry& button = state.Buttons[static_cast<std::size_t>(n)];
        const TBitmap32& image = state.Icons.At(n);
        scratch.SetSize(image.Width(), image.Height());
        std::copy_n(image.Bits(), image.PixelCount(), scratch.Bits());

        if (n == state.BatteryButton && !state.Dragging && state.FloatTag == 0 && state.PaintBattery)
            state.PaintBattery(scratch);

        QChar marker;
        if (button.Flags.contains(QStringLiteral("Disabled")))
            marker = QLatin1Char('-');
        if (button.Flags.contains(QStringLiteral("Admin")))
            marker = QLatin1Char('!');

        if (!IsPlaceholder(scratch)) {
            QRect src = scratch.BoundsRect();
            const bool normalLook = i != state.HoverCell || layout.OnBorder
                || state.PressedCell == KSwitcherCell || state.Dragging || !state.PointerOverBar;
            if (normalLook) {
                if (state.Blend > 0)
                    BlendToColor(scratch, KBlack, state.Blend * 16);
                if (marker == QLatin1Char('-'))
                    Grayscale(scratch);
            } else {
                int amount;
                if (state.ButtonDown && i == state.PressedCell) {
                    src.adjust(-1, -1, 1, 1);
                    amount = -state.IconLight;
                } else {
                    src.adjust(zoomSize, zoomSize, -zoomSize, -zoomSize);
                    amount = state.IconLight;
                }
                if (state.Blend == 0 && marker == QLatin1Char('-'))
                    Grayscale(scratch);
                Lighten(scratch, amount);
            }
            const bool onFloatLayer
                = zoomSize > 0 && i == state.HoverCell && !pointerOnEdge && !state.LeftButtonDown;
            if (onFloatLayer)
                result.FloatCell = i;
            else if (!src.isEmpty())
                page.Draw(r, src, scratch);
        }

        if (marker == QLatin1Char('!') && !IsEmptyPicture(state.AdminMarker)) {
            const TBitmap32& m = *state.AdminMarker;
            const int y = state.FontSize < 1 ? OuterBottom(r) - m.Height() : r.y();
            page.Draw(OuterRight(r) - m.Width(), y, m);
        }
        if ((n == state.Mp3Button || n == state.WavButton) && !IsEmptyPicture(state.SoundMarker)) {
            const TBitmap32& m = *state.SoundMarker;
            page.Draw(OuterRight(r) - m.Width(), r.y(), m);
        }
        if (const int slot = WeatherSlot(button.Path); slot >= 0) {
            if (const auto t = WeatherTemperature(state.WeatherData, slot))
                DrawTemperature(page, layout, r, *t);
        }
    }

    DrawCaption(page, layout, state);
    return result;
}

void DrawHintLayer(TBitmap32& layer, const TLayout& layout, const TPageState& state)
{
    layer.SetSize(layout.BarW, layout.BarH);
    layer.Clear(0);
    layer.SetDrawMode(TDrawMode::Blend);
    layer.SetResampler(TResamplerKind::Draft);
    if (layer.IsEmpty())
        return;

    const int fontSize = std::clamp(state.FontSize, 0, 16);
    const double dpi = layout.DpiScale;
    layer.SetFont(TFont { LabelFontFamily(), RoundHalfEven(std::max(fontSize + 8, 10) * dpi), 700, false });
    const int stripH = RoundHalfEven((fontSize + 8) * dpi);
    const int pad = std::clamp(state.IconPad, 0, 32);
    const int cells = layout.CellsPerPage;
    const int buttons = static_cast<int>(state.Buttons.size());

    for (int i = 0; i < cells; ++i) {
        const int n = state.CurPage * cells + i;
        if (n < 0 || n >= buttons)
            break;
        const TButtonEntry& button = state.Buttons[static_cast<std::size_t>(n)];
        QString label;
        if (const int slot = WeatherSlot(button.Path); slot >= 0 && slot < state.WeatherData.size()) {
            const QStringList fields = state.WeatherData.at(slot).split(QLatin1Char('|'));
            if (fields.size() > 5)
                label = fields.at(5);
        }
        if (label.isEmpty())
            label = button.Hint;
        if (label.isEmpty())
            continue;

        const QRect icon = layout.CalcRect(i);
        const int left = icon.x() - pad;
        const int width = icon.width() + 2 * pad;
        const int top = (state.TextBelow && fontSize > 0) ? OuterBottom(icon) + layout.Inset
                                                          : OuterBottom(icon) - stripH;

        const int xFrom = std::max(left, 0);
        const int xTo = std::min(left + width, layer.Width());
        for (int y = std::max(top, 0); y < std::min(top + stripH, layer.Height()); ++y) {
            const TColor32 c = CombineReg(0xC0808080, 0x40D0D0D0, (y - top) * 255 / std::max(stripH - 1, 1));
            FillLongWord(layer.ScanLine(y) + xFrom, xTo - xFrom, c);
        }

        const QString text = EllipsizeEnd(layer.Font(), label, width);
        const QSize extent = layer.TextExtent(text);
        const int x = left + (width - extent.width()) / 2;
        const int y = top + (stripH - extent.height()) / 2;
        layer.RenderText(x + 1, y, text, KWhite);
        layer.RenderText(x, y - 1, text, KBlack);
    }
}

} // namespace qb
