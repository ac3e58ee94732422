#pragma once

#include "raster/Bitmap32.h"

#include <vector>

namespace qb {

// How the output pixels of one axis map onto the source: output k (counted from the edge of the
// destination rectangle) has its centre at source coordinate Start + (k + 0.5) x Scale; the
// outputs First .. First + Count - 1 are wanted; the source has SourceSize pixels on this axis.
struct TAxisMap {
    double Start = 0;
    double Scale = 1;
    int First = 0;
    int Count = 0;
    int SourceSize = 0;
};

// For every wanted output of an axis, the run of source pixels it reads and their weights
// (summing to 1). Beyond the source edge the edge pixel takes the weight.
struct TTaps {
    std::vector<int> Offset; // Count + 1 entries into Weight
    std::vector<int> First; // the source pixel of each output's first weight, inside 0 .. SourceSize - 1
    std::vector<float> Weight;
};

// Stretches pictures. Samples beyond the source edge repeat the edge pixel; filtering weighs
// colours by alpha, so transparent pixels lend no colour to their neighbours.
class TCustomResampler {
public:
    virtual ~TCustomResampler() = default;

    virtual TTaps Taps(const TAxisMap& map) const = 0;

    // Writes the wanted outputs of both axes, row by row (xMap.Count pixels per row), to `out`.
    virtual void Resample(
        const TBitmap32& src, const TAxisMap& xMap, const TAxisMap& yMap, TColor32* out) const;

    // Draws `srcRect` of `src` stretched onto `dstRect` of `dst` and combines it there with the
    // given mode and master alpha. Destination pixels whose centre maps outside the source
    // bitmap are left alone, so a source rectangle larger than the picture draws it smaller.
    void Transfer(TBitmap32& dst, const QRect& dstRect, const TBitmap32& src, const QRect& srcRect,
        TDrawMode drawMode, TCombineMode combineMode, int masterAlpha) const;

    // Transfer() that replaces the destination pixels.
    void Stretch(TBitmap32& dst, const QRect& dstRect, const TBitmap32& src, const QRect& srcRect) const
    {
        Transfer(dst, dstRect, src, srcRect, TDrawMode::Opaque, TCombineMode::Blend, 255);
    }
};

// The source pixel under each output centre.
class TNearestResampler : public TCustomResampler {
public:
    TTaps Taps(const TAxisMap& map) const override;
    void Resample(
        const TBitmap32& src, const TAxisMap& xMap, const TAxisMap& yMap, TColor32* out) const override;
};

// Bilinear when enlarging; when reducing the triangle kernel widens to the reduction factor so
// every source pixel contributes.
class TLinearResampler : public TCustomResampler {
public:
    TTaps Taps(const TAxisMap& map) const override;
};

// Fast box filter when reducing: each output is the plain mean of the source pixels whose
// centres fall into its span (every source pixel counts for exactly one output); linear when
// enlarging.
class TDraftResampler : public TLinearResampler {
public:
    TTaps Taps(const TAxisMap& map) const override;
};

// The shared stateless resampler of a kind.
const TCustomResampler& ResamplerOf(TResamplerKind kind);

// Combines `count` source pixels into the destination run.
void CombineLine(const TColor32* src, TColor32* dst, int count, TDrawMode drawMode, TCombineMode combineMode,
    int masterAlpha);

} // namespace qb
