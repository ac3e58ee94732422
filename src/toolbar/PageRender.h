#pragma once

#include "raster/Bitmap32.h"
#include "storage/ButtonEntry.h"
#include "storage/Settings.h"
#include "toolbar/Layout.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <span>

namespace qb {

// The desktop's colours the page is drawn with; the bar takes them from the application palette.
struct TSystemColors {
    TColor32 ButtonFace = 0xFFF0F0F0;
    TColor32 Highlight = 0xFFFFFFFF; // light side of a raised frame
    TColor32 Shadow = 0xFFA0A0A0; // dark side of a raised frame
    TColor32 WindowText = 0xFF000000;
};

// Read access to the button images by absolute index, whoever owns them.
class TIconImages {
public:
    TIconImages() = default;
    explicit TIconImages(std::span<const TBitmap32> images);
    // `at` must answer every index below `count` for as long as this object is used.
    TIconImages(int count, std::function<const TBitmap32&(int)> at);

    int Count() const { return FCount; }
    const TBitmap32& At(int index) const { return FAt(index); }

private:
    int FCount = 0;
    std::function<const TBitmap32&(int)> FAt;
};

// Everything a page is drawn from. Pointers and spans are borrowed for the duration of one call;
// a null picture counts as an empty one.
struct TPageState {
    // Settings, as TakeSettings copies them.
    QString SkinName = QStringLiteral("None");
    std::array<TColor32, KPageColours> SkinColor
        = { 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF };
    int ShowFrames = 1;
    bool ColorFrames = true;
    int ZoomSize = 1;
    int IconLight = 16;
    int Blend = 0;
    bool ShowArrow = true;
    int FontSize = 0;
    bool TextBelow = false;
    int IconPad = 1;
    QString CheviCap = QStringLiteral("»");

    // The buttons and their pictures.
    std::span<const TButtonEntry> Buttons;
    TIconImages Icons;
    const TBitmap32* BackgroundImage = nullptr;
    const TBitmap32* SwitcherImage = nullptr;
    const TBitmap32* AdminMarker = nullptr;
    const TBitmap32* SoundMarker = nullptr;
    TSystemColors Colors;

    // The bar and the pointer.
    int CurPage = 0;
    int HoverCell = -1;
    int PressedCell = -1; // KSwitcherCell for the switcher
    bool ButtonDown = false; // a press on a cell or the switcher is under way
    bool Dragging = false;
    bool PointerInside = false; // the pointer lies inside the page's window
    bool PointerOverBar = false; // the window under the pointer is the bar itself
    bool LeftButtonDown = false;
    bool SlidOut = false;
    bool Modified = false;
    int Mp3Button = -1;
    int WavButton = -1;
    QStringList WeatherData;

    // Live battery tile: called with the working copy of its picture while no drag and no icon
    // animation (FloatTag != 0) runs.
    int BatteryButton = -1;
    std::function<void(TBitmap32&)> PaintBattery;
    // The float layer's animation direction: +1 growing in, -1 shrinking out, 0 idle.
    int FloatTag = 0;

    void TakeSettings(const TSettings& settings);
};

// What the bar must do after a page was drawn.
struct TBankResult {
    // The cell whose icon the float layer shows instead of the page (left empty there), or -1.
    int FloatCell = -1;
    // The pointer is on the border or a resize corner: the float layer must go.
    bool HideFloatLayer = false;
    // Set when the page was tinted: the window's own colour becomes the page colour.
    std::optional<TColor32> FormColor;
};

// Paints the current page into `page` (resized to BarW x BarH): background, page colour,
// frames, border line, icons with their looks and markers, temperatures and the switcher
// caption. Keeps nothing between calls; the caller plays a cue first if it has one, and
// repaints the label layer (DrawHintLayer) afterwards while FontSize > 0.
TBankResult DrawBank(TBitmap32& page, const TLayout& layout, const TPageState& state);

// Paints the labels of the page's buttons into `layer` (resized to BarW x BarH and cleared): a
// grey gradient strip at the bottom of each icon, or below it with TextBelow, carrying the
// hint or the weather tile's place name.
void DrawHintLayer(TBitmap32& layer, const TLayout& layout, const TPageState& state);

// The weather slot a button path names ("Weather" and one digit; 0 when no digit follows), or
// -1 when the button is no weather tile.
int WeatherSlot(const QString& path);

// The temperature a weather tile shows: the first field of its record rounded to a whole
// degree with "°", red above zero and blue otherwise.
struct TTemperature {
    QString Text;
    TColor32 Color = 0;
};
std::optional<TTemperature> WeatherTemperature(const QStringList& weatherData, int slot);

// The family the labels are set in: Arial where it exists, else a metric-compatible face, else
// the default family.
QString LabelFontFamily();

} // namespace qb
