#include "raster/Resamplers.h"

#include "raster/ColorOps.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qb
{

namespace
{

double Centre(const TAxisMap& map, int k)
{
    return map.Start + (k + 0.5) * map.Scale;
}

// Appends one output's taps with their weights normalised to sum 1.
class TTapBuilder
{
public:
    explicit TTapBuilder(const TAxisMap& map)
        : FSize(map.SourceSize)
    {
        FTaps.Offset.reserve(static_cast<std::size_t>(map.Count) + 1);
        FTaps.Offset.push_back(0);
    }
    void Add(int index, double weight)
    {
        if (weight <= 0)
            return;
        FIndex.push_back(std::clamp(index, 0, FSize - 1));
        FWeight.push_back(weight);
    }
    void EndOutput()
    {
        double sum = 0;
        for (double w : FWeight)
            sum += w;
        for (std::size_t i = 0; i < FIndex.size(); ++i) {
            FTaps.Index.push_back(FIndex[i]);
            FTaps.Weight.push_back(static_cast<float>(FWeight[i] / sum));
        }
        FTaps.Offset.push_back(static_cast<int>(FTaps.Index.size()));
        FIndex.clear();
        FWeight.clear();
    }
    TTaps Take() { return std::move(FTaps); }

private:
    int FSize;
    TTaps FTaps;
    std::vector<int> FIndex;
    std::vector<double> FWeight;
};

TTaps LinearTaps(const TAxisMap& map)
{
    TTapBuilder b(map);
    const double radius = std::max(1.0, map.Scale);
    for (int k = map.First; k < map.First + map.Count; ++k) {
        const double c = Centre(map, k) - 0.5; // in pixel-index space
        const int lo = static_cast<int>(std::floor(c - radius)) + 1;
        const int hi = static_cast<int>(std::ceil(c + radius)) - 1;
        for (int j = lo; j <= hi; ++j)
            b.Add(j, 1.0 - std::abs(j - c) / radius);
        // A centre exactly on a pixel with radius 1 gives that pixel alone.
        b.EndOutput();
    }
    return b.Take();
}

struct TPremul {
    float A, R, G, B;
};

TPremul ToPremul(TColor32 c)
{
    const float a = static_cast<float>(AlphaOf(c));
    return { a, RedOf(c) * a, GreenOf(c) * a, BlueOf(c) * a };
}

TColor32 FromPremul(float a, float r, float g, float b)
{
    if (a < 0.5f)
        return 0;
    const float inv = 1.0f / a;
    const auto ch = [inv](float v) { return std::min(255, static_cast<int>(v * inv + 0.5f)); };
    return Color32(ch(r), ch(g), ch(b), std::min(255, static_cast<int>(a + 0.5f)));
}

} // namespace

TTaps TNearestResampler::Taps(const TAxisMap& map) const
{
    TTapBuilder b(map);
    for (int k = map.First; k < map.First + map.Count; ++k) {
        b.Add(static_cast<int>(std::floor(Centre(map, k))), 1.0);
        b.EndOutput();
    }
    return b.Take();
}

void TNearestResampler::Resample(
    const TBitmap32& src, const TAxisMap& xMap, const TAxisMap& yMap, TColor32* out) const
{
    const TTaps tx = Taps(xMap);
    const TTaps ty = Taps(yMap);
    for (int j = 0; j < yMap.Count; ++j) {
        const TColor32* row = src.ScanLine(ty.Index[static_cast<std::size_t>(j)]);
        for (int i = 0; i < xMap.Count; ++i)
            *out++ = row[tx.Index[static_cast<std::size_t>(i)]];
    }
}

TTaps TLinearResampler::Taps(const TAxisMap& map) const
{
    return LinearTaps(map);
}

TTaps TDraftResampler::Taps(const TAxisMap& map) const
{
    if (map.Scale <= 1.0)
        return LinearTaps(map);
    TTapBuilder b(map);
    for (int k = map.First; k < map.First + map.Count; ++k) {
        const int lo = static_cast<int>(std::ceil(map.Start + k * map.Scale - 0.5));
        const int hi = std::max(lo, static_cast<int>(std::ceil(map.Start + (k + 1) * map.Scale - 0.5)) - 1);
        for (int j = lo; j <= hi; ++j)
            b.Add(j, 1.0);
        b.EndOutput();
    }
    return b.Take();
}

void TCustomResampler::Resample(
    const TBitmap32& src, const TAxisMap& xMap, const TAxisMap& yMap, TColor32* out) const
{
    const TTaps tx = Taps(xMap);
    const TTaps ty = Taps(yMap);
    const int outW = xMap.Count;
    const int outH = yMap.Count;
    if (outW <= 0 || outH <= 0)
        return;

    const auto [xMinIt, xMaxIt] = std::minmax_element(tx.Index.begin(), tx.Index.end());
    const auto [yMinIt, yMaxIt] = std::minmax_element(ty.Index.begin(), ty.Index.end());
    const int x0 = *xMinIt, x1 = *xMaxIt;
    const int y0 = *yMinIt, y1 = *yMaxIt;
    const int rows = y1 - y0 + 1;

    // Horizontal pass over every source row that is read, in premultiplied floats.
    std::vector<TPremul> line(static_cast<std::size_t>(x1 - x0 + 1));
    std::vector<TPremul> horz(static_cast<std::size_t>(rows) * static_cast<std::size_t>(outW));
    for (int r = 0; r < rows; ++r) {
        const TColor32* s = src.ScanLine(y0 + r) + x0;
        for (std::size_t i = 0; i < line.size(); ++i)
            line[i] = ToPremul(s[i]);
        TPremul* h = horz.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(outW);
        for (int i = 0; i < outW; ++i) {
            TPremul acc { 0, 0, 0, 0 };
            for (int t = tx.Offset[static_cast<std::size_t>(i)];
                 t < tx.Offset[static_cast<std::size_t>(i) + 1]; ++t) {
                const float w = tx.Weight[static_cast<std::size_t>(t)];
                const TPremul& p = line[static_cast<std::size_t>(tx.Index[static_cast<std::size_t>(t)] - x0)];
                acc.A += w * p.A;
                acc.R += w * p.R;
                acc.G += w * p.G;
                acc.B += w * p.B;
            }
            h[i] = acc;
        }
    }

    // Vertical pass, one output row at a time.
    std::vector<float> acc(static_cast<std::size_t>(outW) * 4);
    for (int j = 0; j < outH; ++j) {
        std::fill(acc.begin(), acc.end(), 0.0f);
        for (int t = ty.Offset[static_cast<std::size_t>(j)]; t < ty.Offset[static_cast<std::size_t>(j) + 1];
             ++t) {
            const float w = ty.Weight[static_cast<std::size_t>(t)];
            const float* h = reinterpret_cast<const float*>(horz.data()
                + static_cast<std::size_t>(ty.Index[static_cast<std::size_t>(t)] - y0)
                    * static_cast<std::size_t>(outW));
            float* a = acc.data();
            for (int i = 0; i < outW * 4; ++i)
                a[i] += w * h[i];
        }
        for (int i = 0; i < outW; ++i) {
            const float* a = acc.data() + 4 * i;
            *out++ = FromPremul(a[0], a[1], a[2], a[3]);
        }
    }
}

namespace
{

// The wanted outputs of one axis: those inside the destination bitmap whose centre maps
// into the source bitmap.
bool VisibleRange(TAxisMap& map, int dstStart, int dstLen, int dstSize)
{
    int lo = std::max(0, -dstStart);
    int hi = std::min(dstLen, dstSize - dstStart) - 1;
    if (lo > hi)
        return false;
    // The first and last outputs whose centre lies in [0, SourceSize).
    const double kLo = std::ceil(-map.Start / map.Scale - 0.5);
    const double kHi = std::ceil((map.SourceSize - map.Start) / map.Scale - 0.5) - 1;
    lo = std::max(lo, static_cast<int>(std::clamp(kLo, -1.0, static_cast<double>(dstLen))));
    hi = std::min(hi, static_cast<int>(std::clamp(kHi, -1.0, static_cast<double>(dstLen))));
    while (lo <= hi && Centre(map, lo) < 0)
        ++lo;
    while (lo <= hi && Centre(map, hi) >= map.SourceSize)
        --hi;
    if (lo > hi)
        return false;
    map.First = lo;
    map.Count = hi - lo + 1;
    return true;
}

} // namespace

void TCustomResampler::Transfer(TBitmap32& dst, const QRect& dstRect, const TBitmap32& src,
    const QRect& srcRect, TDrawMode drawMode, TCombineMode combineMode, int masterAlpha) const
{
    if (dst.IsEmpty() || src.IsEmpty() || dstRect.isEmpty() || srcRect.isEmpty())
        return;
    TAxisMap xMap { static_cast<double>(srcRect.left()),
        static_cast<double>(srcRect.width()) / dstRect.width(), 0, 0, src.Width() };
    TAxisMap yMap { static_cast<double>(srcRect.top()),
        static_cast<double>(srcRect.height()) / dstRect.height(), 0, 0, src.Height() };
    if (!VisibleRange(xMap, dstRect.left(), dstRect.width(), dst.Width())
        || !VisibleRange(yMap, dstRect.top(), dstRect.height(), dst.Height()))
        return;
    std::vector<TColor32> buffer(static_cast<std::size_t>(xMap.Count) * static_cast<std::size_t>(yMap.Count));
    Resample(src, xMap, yMap, buffer.data());
    for (int j = 0; j < yMap.Count; ++j) {
        TColor32* d = dst.ScanLine(dstRect.top() + yMap.First + j) + dstRect.left() + xMap.First;
        CombineLine(buffer.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(xMap.Count), d,
            xMap.Count, drawMode, combineMode, masterAlpha);
    }
}

const TCustomResampler& ResamplerOf(TResamplerKind kind)
{
    static const TNearestResampler nearest;
    static const TLinearResampler linear;
    static const TDraftResampler draft;
    switch (kind) {
    case TResamplerKind::Linear:
        return linear;
    case TResamplerKind::Draft:
        return draft;
    case TResamplerKind::Nearest:
        break;
    }
    return nearest;
}

void CombineLine(const TColor32* src, TColor32* dst, int count, TDrawMode drawMode, TCombineMode combineMode,
    int masterAlpha)
{
    if (count <= 0)
        return;
    if (drawMode == TDrawMode::Opaque) {
        std::memmove(dst, src, static_cast<std::size_t>(count) * sizeof(TColor32));
        return;
    }
    if (masterAlpha <= 0)
        return;
    if (combineMode == TCombineMode::Merge) {
        for (int i = 0; i < count; ++i) {
            const TColor32 f = src[i];
            if (f < 0x01000000u)
                continue;
            dst[i] = (f >= 0xFF000000u && masterAlpha >= 255) ? f : MergeReg(f, dst[i], masterAlpha);
        }
    } else {
        for (int i = 0; i < count; ++i) {
            const TColor32 f = src[i];
            if (f < 0x01000000u)
                continue;
            dst[i] = BlendReg(f, dst[i], masterAlpha);
        }
    }
}

} // namespace qb
