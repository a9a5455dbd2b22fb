#pragma once
// The plain sum of a sample: weight x pixel added to four sums (red, green,
// blue, weight) pixel by pixel in the window's order, then rounded. Shared
// by the untilted and the tilted samplers. Internal to src/filter.
#include "filter/FastPassParts.h"
#include "filter/SamplerParts.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumacut::fast {

// The four sums of a sample. With SSE2 they sit in two registers, (red,
// green) and (blue, weight), the weight added as w x 1, which is w: every
// lane does exactly the scalar multiply and add.
#if defined(__SSE2__)
struct Sums {
    __m128d rg = _mm_setzero_pd();
    __m128d bw = _mm_setzero_pd();
    void Add(double w, const std::uint8_t* p)
    {
        const __m128d wv = _mm_set1_pd(w);
        const __m128d pixelRG = _mm_loadh_pd(_mm_load_sd(&kBytes.value[p[kR]]), &kBytes.value[p[kG]]);
        const __m128d pixelBW = _mm_load_pd(kBytes.valueAndOne[p[kB]]);
        rg = _mm_add_pd(rg, _mm_mul_pd(wv, pixelRG));
        bw = _mm_add_pd(bw, _mm_mul_pd(wv, pixelBW));
    }
    double Red() const { return _mm_cvtsd_f64(rg); }
    double Green() const { return _mm_cvtsd_f64(_mm_unpackhi_pd(rg, rg)); }
    double Blue() const { return _mm_cvtsd_f64(bw); }
    double Weight() const { return _mm_cvtsd_f64(_mm_unpackhi_pd(bw, bw)); }
};
#else
struct Sums {
    double r = 0, g = 0, b = 0, w = 0;
    void Add(double weight, const std::uint8_t* p)
    {
        r += weight * p[kR];
        g += weight * p[kG];
        b += weight * p[kB];
        w += weight;
    }
    double Red() const { return r; }
    double Green() const { return g; }
    double Blue() const { return b; }
    double Weight() const { return w; }
};
#endif

// The weights of one window row: the plain TentWeight's doubles (the
// product of the two factors, or 1e-9 outside the footprint). False when
// every weight is exactly 0: such a row adds +0 or -0 to sums that are
// never -0, which changes nothing, so it is skipped. (Zero weights inside a
// row are simply added, for the same reason.)
inline bool RowWeights(int count, const double* factor, const std::uint8_t* inside, bool rowInside,
                       double rowFactor, double* weight)
{
    bool any = false;
    for (int c = 0; c < count; ++c) {
        weight[c] = (rowInside && inside[c]) ? factor[c] * rowFactor : 1e-9;
        any = any || weight[c] != 0;
    }
    return any;
}

template <Source S>
inline void AddRow(const Settled& st, const std::uint8_t* row, int first, int count, const double* weight,
                   Sums& sums)
{
    for (int c = 0; c < count; ++c)
        if (weight[c] != 0)
            sums.Add(weight[c], PixelOf<S>(st, row, first + c));
}

// One window row with the weights made on the way, skipping those that
// are exactly 0.
template <Source S>
inline void AddRowDirect(const Settled& st, const std::uint8_t* row, int first, int count, const double* factor,
                         const std::uint8_t* inside, bool rowInside, double rowFactor, Sums& sums)
{
    if (!rowInside) {
        for (int c = 0; c < count; ++c)
            sums.Add(1e-9, PixelOf<S>(st, row, first + c));
        return;
    }
    for (int c = 0; c < count; ++c) {
        if (!inside[c]) {
            sums.Add(1e-9, PixelOf<S>(st, row, first + c));
            continue;
        }
        const double w = factor[c] * rowFactor;
        if (w != 0)
            sums.Add(w, PixelOf<S>(st, row, first + c));
    }
}

// Two samples with windows of the same size side by side: two independent
// chains of additions, each in its own order.
template <Source S>
inline void AddRowPair(const Settled& st, int count, const std::uint8_t* rowA, int firstA, const double* weightA,
                       Sums& a, const std::uint8_t* rowB, int firstB, const double* weightB, Sums& b)
{
    for (int c = 0; c < count; ++c) {
        if (weightA[c] == 0 && weightB[c] == 0)
            continue;
        a.Add(weightA[c], PixelOf<S>(st, rowA, firstA + c));
        b.Add(weightB[c], PixelOf<S>(st, rowB, firstB + c));
    }
}

inline void PutSample(const Sums& sums, std::uint8_t* out)
{
    const double sW = sums.Weight();
    if (sW == 0) { // every pixel exactly a footprint away
        out[0] = out[1] = out[2] = 0;
        return;
    }
    const double f = 1 / sW;
    out[kR] = ClampRoundFast(sums.Red() * f);
    out[kG] = ClampRoundFast(sums.Green() * f);
    out[kB] = ClampRoundFast(sums.Blue() * f);
}

} // namespace lumacut::fast
