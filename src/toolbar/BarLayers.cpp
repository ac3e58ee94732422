#include "toolbar/BarLayers.h"

#include "raster/ColorOps.h"
#include "raster/Filters.h"
#include "raster/Resamplers.h"

#include <algorithm>

namespace qb {

void MakeHoverLayer(TBitmapLayer& layer, const TLayout& layout, const THoverEffect& effect,
    const TBitmap32& icon, bool disabled)
{
    TBitmap32& b = layer.Bitmap;
    b.SetSize(layout.IconW + effect.Grow, layout.IconH + effect.Grow);
    b.Clear(0);
    b.SetDrawMode(TDrawMode::Blend);
    b.SetCombineMode(TCombineMode::Merge);
    b.SetResampler(TResamplerKind::Linear);
    b.SetPixelAccess(TPixelAccess::TransparentEdge);
    if (icon.PixelCount() > 1) {
        static const TLinearResampler linear;
        linear.Transfer(
            b, b.BoundsRect(), icon, icon.BoundsRect(), TDrawMode::Blend, TCombineMode::Merge, 255);
    }
    if (disabled)
        Grayscale(b);
    Lighten(b, effect.Lighten);
    layer.Position = effect.LayerRect.topLeft();
    layer.Visible = true;
}

void ComposeBar(TBitmap32& out, TColor32 backdrop, const TBitmap32& page, const TBitmap32* labelLayer,
    std::initializer_list<const TBitmapLayer*> layers)
{
    out.SetSize(page.Width(), page.Height());
    // Pages are opaque almost everywhere; only skins with transparency let the backdrop through.
    const TColor32* from = page.Bits();
    TColor32* to = out.Bits();
    std::copy_n(from, page.PixelCount(), to);
    for (qsizetype i = 0, n = page.PixelCount(); i < n; ++i) {
        if (from[i] < 0xFF000000u)
            to[i] = BlendReg(from[i], backdrop);
    }
    if (labelLayer != nullptr)
        out.Draw(0, 0, *labelLayer);
    for (const TBitmapLayer* layer : layers) {
        if (layer != nullptr && layer->Visible)
            out.Draw(layer->Position.x(), layer->Position.y(), layer->Bitmap);
    }
}

} // namespace qb
