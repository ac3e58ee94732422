#include "raster/Resamplers.h"

#include "raster/ColorOps.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qb {

namespace {

double Centre(const TAxisMap& map, int k)
{
    return map.Start + (k + 0.5) * map.Scale;
}

// Collects one output's taps, merging the repeats of an edge pixel, and normalises their
// weights to sum 1.
class TTapBuilder {
public:
    explicit TTapBuilder(const TAxisMap& map)
        : FSize(map.SourceSize)
    {
        FTaps.Offset.reserve(static_cast<std::size_t>(map.Count) + 1);
        FTaps.First.reserve(static_cast<std::size_t>(map.Count));
        FTaps.Weight.reserve(static_cast<std::size_t>(map.Count)
            * (2 * static_cast<std::size_t>(std::ceil(std::max(map.Scale, 1.0))) + 1));
        FWeight.reserve(2 * static_cast<std::size_t>(std::ceil(std::max(map.Scale, 1.0))) + 1);
        FTaps.Offset.push_back(0);
    }
    void Add(int index, double weight)
    {
        if (weight <= 0)
            return;
        index = std::clamp(index, 0, FSize - 1);
        if (FFirst >= 0 && index == FFirst + static_cast<int>(FWeight.size()) - 1) {
            FWeight.back() += weight;
            return;
        }
        if (FFirst < 0)
            FFirst = index;
        FWeight.push_back(weight);
    }
    void EndOutput()
    {
        double sum = 0;
        for (double w : FWeight)
            sum += w;
        for (double w : FWeight)
            FTaps.Weight.push_back(static_cast<float>(w / sum));
        FTaps.First.push_back(std::max(FFirst, 0));
        FTaps.Offset.push_back(static_cast<int>(FTaps.Weight.size()));
        FWeight.clear();
        FFirst = -1;
    }
    TTaps Take() { return std::move(FTaps); }

private:
    int FSize;
    int FFirst = -1;
    TTaps FTaps;
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
        b.EndOutput();
    }
    return b.Take();
}

// A pixel as four float lanes in memory order (blue, green, red, alpha on the little-endian
// machines we build for), so that the compiler keeps a pixel in one vector register.
using TVec4 = float __attribute__((vector_size(16)));
using TInt4 = int __attribute__((vector_size(16)));
using TBytes4 = unsigned char __attribute__((vector_size(4)));
static_assert(std::endian::native == std::endian::little, "pixel lanes assume little-endian memory order");

// Colours multiplied by alpha (0..65025), alpha as it is: filtering in this form lets a
// transparent pixel lend no colour, and a solid colour comes back exactly.
inline TVec4 Premultiplied(TColor32 c)
{
    TBytes4 bytes;
    std::memcpy(&bytes, &c, 4);
    const TVec4 v = __builtin_convertvector(bytes, TVec4);
    TVec4 alpha = __builtin_shufflevector(v, v, 3, 3, 3, 3);
    alpha[3] = 1.0f;
    return v * alpha;
}

inline TColor32 Straight(TVec4 v)
{
    const float a = v[3];
    if (a < 0.5f)
        return 0;
    const float inv = 1.0f / a;
#if defined(__SSE2__)
    // Saturating packs clamp to 0..255 on the way down to bytes.
    const __m128 r = _mm_add_ps(
        _mm_mul_ps(_mm_load_ps(reinterpret_cast<const float*>(&v)), _mm_set_ps(1.0f, inv, inv, inv)),
        _mm_set1_ps(0.5f));
    __m128i i = _mm_cvttps_epi32(r);
    i = _mm_packs_epi32(i, i);
    i = _mm_packus_epi16(i, i);
    return static_cast<TColor32>(_mm_cvtsi128_si32(i));
#else
    const TVec4 scale = { inv, inv, inv, 1.0f };
    const TVec4 top = { 255.0f, 255.0f, 255.0f, 255.0f };
    TVec4 r = v * scale + 0.5f;
    r = r < top ? r : top;
    const TBytes4 bytes = __builtin_convertvector(__builtin_convertvector(r, TInt4), TBytes4);
    TColor32 c;
    std::memcpy(&c, &bytes, 4);
    return c;
#endif
}

// Premultiplied() over a run of pixels; with SSE2 four at a time from one 16-byte load,
// which the compiler does not find on its own.
void PremultiplyRow(const TColor32* s, std::size_t n, TVec4* out)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128 alphaOne = _mm_castsi128_ps(_mm_set_epi32(static_cast<int>(0xFFFFFFFF), 0, 0, 0));
    const __m128 one = _mm_set1_ps(1.0f);
    const auto store = [&](__m128i pixel, std::size_t at) {
        const __m128 v = _mm_cvtepi32_ps(pixel);
        // (a, a, a, 1) x (b, g, r, a)
        const __m128 a = _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 3));
        const __m128 factor = _mm_or_ps(_mm_andnot_ps(alphaOne, a), _mm_and_ps(alphaOne, one));
        _mm_store_ps(reinterpret_cast<float*>(out + at), _mm_mul_ps(v, factor));
    };
    for (; i + 4 <= n; i += 4) {
        const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i lo = _mm_unpacklo_epi8(px, zero);
        const __m128i hi = _mm_unpackhi_epi8(px, zero);
        store(_mm_unpacklo_epi16(lo, zero), i);
        store(_mm_unpackhi_epi16(lo, zero), i + 1);
        store(_mm_unpacklo_epi16(hi, zero), i + 2);
        store(_mm_unpackhi_epi16(hi, zero), i + 3);
    }
#endif
    for (; i < n; ++i)
        out[i] = Premultiplied(s[i]);
}

// Whether the weights of output i are all the same (a plain mean, as the draft filter gives).
bool EqualWeights(const TTaps& taps, std::size_t i)
{
    const float* w = taps.Weight.data() + taps.Offset[i];
    const int n = taps.Offset[i + 1] - taps.Offset[i];
    for (int t = 1; t < n; ++t) {
        if (w[t] != w[0])
            return false;
    }
    return true;
}

#if defined(__SSE2__)
// column := weight x the sum of the premultiplied pixels of `n` rows from y0, in integers: a
// pixel's premultiplied channels fit 16 bits, so two pixels share one register, and the sums
// of up to 258 rows stay exact in floats.
void SumRows(const TBitmap32& src, int y0, int n, int x0, std::size_t lineLen, float weight, TVec4* column)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i keepColour = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    const __m128i alphaOne = _mm_set_epi16(1, 0, 0, 0, 1, 0, 0, 0);
    const __m128 w = _mm_set1_ps(weight);
    const auto premultiply = [&](__m128i two) {
        __m128i a
            = _mm_shufflehi_epi16(_mm_shufflelo_epi16(two, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
        a = _mm_or_si128(_mm_and_si128(a, keepColour), alphaOne);
        return _mm_mullo_epi16(two, a);
    };
    const auto store = [&](__m128i sum, std::size_t at) {
        _mm_store_ps(reinterpret_cast<float*>(column + at), _mm_mul_ps(_mm_cvtepi32_ps(sum), w));
    };
    const std::size_t stride = static_cast<std::size_t>(src.Width());
    const TColor32* top = src.ScanLine(y0) + x0;
    // Four pixels across, all rows down, the sums kept in registers.
    std::size_t i = 0;
    for (; i + 4 <= lineLen; i += 4) {
        __m128i s0 = zero, s1 = zero, s2 = zero, s3 = zero;
        const TColor32* p = top + i;
        for (int y = 0; y < n; ++y, p += stride) {
            const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i lo = premultiply(_mm_unpacklo_epi8(px, zero));
            const __m128i hi = premultiply(_mm_unpackhi_epi8(px, zero));
            s0 = _mm_add_epi32(s0, _mm_unpacklo_epi16(lo, zero));
            s1 = _mm_add_epi32(s1, _mm_unpackhi_epi16(lo, zero));
            s2 = _mm_add_epi32(s2, _mm_unpacklo_epi16(hi, zero));
            s3 = _mm_add_epi32(s3, _mm_unpackhi_epi16(hi, zero));
        }
        store(s0, i);
        store(s1, i + 1);
        store(s2, i + 2);
        store(s3, i + 3);
    }
    for (; i < lineLen; ++i) {
        __m128i sum = zero;
        const TColor32* p = top + i;
        for (int y = 0; y < n; ++y, p += stride) {
            const __m128i one = premultiply(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(*p)), zero));
            sum = _mm_add_epi32(sum, _mm_unpacklo_epi16(one, zero));
        }
        store(sum, i);
    }
}
#endif

int LastOf(const TTaps& taps, std::size_t i)
{
    return taps.First[i] + taps.Offset[i + 1] - taps.Offset[i] - 1;
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
    for (std::size_t j = 0; j < ty.First.size(); ++j) {
        const TColor32* row = src.ScanLine(ty.First[j]);
        for (std::size_t i = 0; i < tx.First.size(); ++i)
            *out++ = row[tx.First[i]];
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
    const std::size_t outW = tx.First.size();
    const std::size_t outH = ty.First.size();
    if (outW == 0 || outH == 0)
        return;
    const int x0 = tx.First.front();
    const std::size_t lineLen = static_cast<std::size_t>(LastOf(tx, outW - 1) - x0 + 1);

    // Source rows are premultiplied once each into a ring that holds every row one output
    // row reads; the outputs' row runs only move forward, so a row is never needed again once
    // it has been overwritten.
    std::size_t ringRows = 1;
    for (std::size_t j = 0; j < outH; ++j)
        ringRows = std::max(ringRows, static_cast<std::size_t>(ty.Offset[j + 1] - ty.Offset[j]));
    const std::unique_ptr<TVec4[]> ring(new TVec4[ringRows * lineLen]);
    std::vector<int> ringRow(ringRows, -1);
    const auto row = [&](int y) {
        const std::size_t slot = static_cast<std::size_t>(y) % ringRows;
        TVec4* line = ring.get() + slot * lineLen;
        if (ringRow[slot] != y) {
            PremultiplyRow(src.ScanLine(y) + x0, lineLen, line);
            ringRow[slot] = y;
        }
        return static_cast<const TVec4*>(line);
    };

    // Vertical pass into one line, then the horizontal pass from it, output row by output row.
    const std::unique_ptr<TVec4[]> column(new TVec4[lineLen]);
    std::vector<const TVec4*> rows(ringRows);
    for (std::size_t j = 0; j < outH; ++j) {
        const float* wt = ty.Weight.data() + ty.Offset[j];
        const int n = ty.Offset[j + 1] - ty.Offset[j];
        TVec4* acc = column.get();
        bool summed = false;
#if defined(__SSE2__)
        if (n > 1 && n <= 258 && EqualWeights(ty, j)) {
            SumRows(src, ty.First[j], n, x0, lineLen, wt[0], acc);
            summed = true;
        }
#endif
        if (!summed) {
            for (int t = 0; t < n; ++t)
                rows[static_cast<std::size_t>(t)] = row(ty.First[j] + t);
            // Four pixels across, all taps down, the sums kept in registers.
            std::size_t i = 0;
            for (; i + 4 <= lineLen; i += 4) {
                TVec4 a0 = rows[0][i] * wt[0], a1 = rows[0][i + 1] * wt[0];
                TVec4 a2 = rows[0][i + 2] * wt[0], a3 = rows[0][i + 3] * wt[0];
                for (int t = 1; t < n; ++t) {
                    const TVec4* r = rows[static_cast<std::size_t>(t)] + i;
                    const float w = wt[t];
                    a0 += r[0] * w;
                    a1 += r[1] * w;
                    a2 += r[2] * w;
                    a3 += r[3] * w;
                }
                acc[i] = a0;
                acc[i + 1] = a1;
                acc[i + 2] = a2;
                acc[i + 3] = a3;
            }
            for (; i < lineLen; ++i) {
                TVec4 a = rows[0][i] * wt[0];
                for (int t = 1; t < n; ++t)
                    a += rows[static_cast<std::size_t>(t)][i] * wt[t];
                acc[i] = a;
            }
        }
        for (std::size_t i = 0; i < outW; ++i) {
            const TVec4* p = acc + (tx.First[i] - x0);
            const float* wx = tx.Weight.data() + tx.Offset[i];
            const int m = tx.Offset[i + 1] - tx.Offset[i];
            TVec4 sum = p[0] * wx[0];
            for (int t = 1; t < m; ++t)
                sum += p[t] * wx[t];
            *out++ = Straight(sum);
        }
    }
}

namespace {

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

#if defined(__SSE2__)
namespace {

// x / 255 rounded, in 16-bit lanes (x <= 65025): Div255 four pixels at a time.
inline __m128i Div255Lanes(__m128i x)
{
    x = _mm_add_epi16(x, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

// BlendReg of two pixels held as 16-bit lanes: colour := Div255(f a + d (255 - a)), the
// alpha lanes come out as garbage and are replaced by the caller.
inline __m128i BlendLanes(__m128i f, __m128i d, __m128i master, bool scaled)
{
    __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(f, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    if (scaled)
        a = Div255Lanes(_mm_mullo_epi16(a, master));
    const __m128i na = _mm_sub_epi16(_mm_set1_epi16(255), a);
    return Div255Lanes(_mm_add_epi16(_mm_mullo_epi16(f, a), _mm_mullo_epi16(d, na)));
}

// BlendReg over four pixels; the destination keeps its alpha.
inline __m128i Blend4(__m128i f, __m128i d, __m128i master, bool scaled)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = BlendLanes(_mm_unpacklo_epi8(f, zero), _mm_unpacklo_epi8(d, zero), master, scaled);
    const __m128i hi = BlendLanes(_mm_unpackhi_epi8(f, zero), _mm_unpackhi_epi8(d, zero), master, scaled);
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    return _mm_or_si128(_mm_andnot_si128(alphaMask, _mm_packus_epi16(lo, hi)), _mm_and_si128(alphaMask, d));
}

} // namespace
#endif

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
    const bool merge = combineMode == TCombineMode::Merge;
    int i = 0;
#if defined(__SSE2__)
    // Four pixels at a time where the result is the plain blend: always in blend mode, and in
    // merge mode over an opaque destination (where "over" keeps alpha 255 and mixes the same
    // way); transparent sources skip, opaque ones copy.
    const bool scaled = masterAlpha < 255;
    const __m128i master = _mm_set1_epi16(static_cast<short>(masterAlpha));
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 4 <= count; i += 4) {
        const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i fa = _mm_and_si128(f, alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(fa, _mm_setzero_si128())) == 0xFFFF)
            continue;
        __m128i* out = reinterpret_cast<__m128i*>(dst + i);
        const __m128i d = _mm_loadu_si128(out);
        if (merge) {
            const bool opaqueSrc = !scaled && _mm_movemask_epi8(_mm_cmpeq_epi32(fa, alphaMask)) == 0xFFFF;
            if (opaqueSrc) {
                _mm_storeu_si128(out, f);
                continue;
            }
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(d, alphaMask), alphaMask)) != 0xFFFF) {
                for (int k = i; k < i + 4; ++k) {
                    if (src[k] >= 0x01000000u)
                        dst[k] = MergeReg(src[k], dst[k], masterAlpha);
                }
                continue;
            }
        }
        _mm_storeu_si128(out, Blend4(f, d, master, scaled));
    }
#endif
    for (; i < count; ++i) {
        const TColor32 f = src[i];
        if (f < 0x01000000u)
            continue;
        if (merge)
            dst[i] = (f >= 0xFF000000u && masterAlpha >= 255) ? f : MergeReg(f, dst[i], masterAlpha);
        else
            dst[i] = BlendReg(f, dst[i], masterAlpha);
    }
}

} // namespace qb
