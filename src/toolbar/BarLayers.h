#pragma once

#include "raster/Bitmap32.h"
#include "toolbar/Layout.h"

#include <QPoint>

#include <initializer_list>

namespace qb {

// A picture placed over the page at a position in bitmap pixels (the clock, the hovered or
// dragged icon). It is scaled with the bar because the whole composition is.
struct TBitmapLayer {
    TBitmap32 Bitmap;
    QPoint Position;
    bool Visible = false;
    // Icon animation direction: +1 growing in, -1 shrinking out, 0 none.
    int Tag = 0;
};

// Fills `layer` with the hovered icon enlarged by effect.Grow and lightened by effect.Lighten,
// placed at effect.LayerRect, and shows it. A placeholder picture (1 x 1) leaves the layer
// clear; a disabled button is shown grey.
void MakeHoverLayer(TBitmapLayer& layer, const TLayout& layout, const THoverEffect& effect,
    const TBitmap32& icon, bool disabled);

// The picture the bar window shows at the bar's natural size (the window stretches it by Zoom):
// `backdrop` (the window's own colour) with the page blended over it, then the label layer when
// given (the bar passes it while FontSize > 0), then each visible layer in order, lowest first:
// the clock, then the float layer.
void ComposeBar(TBitmap32& out, TColor32 backdrop, const TBitmap32& page, const TBitmap32* labelLayer,
    std::initializer_list<const TBitmapLayer*> layers);

} // namespace qb
