#include "filter/FastPassParts.h"

#include "filter/BilinearShortcut.h"
#include "filter/SamplerParts.h"
#include "filter/UntiltedSampler.h"
#include "filter/VectorPaths.h"

#include "picture/SamplerWindow.h"

#include <algorithm>
#include <cmath>

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

namespace lumacut::fast {

const ByteTables kBytes;

namespace {

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

// Sample i of an untilted row whose window rows start at rowFirst.
template <Source S>
void SampleUntilted(const Settled& st, const Scratch& scratch, int i, int rowFirst, int rows, std::uint8_t* out)
{
    const int count = scratch.columnCount[i];
    if (rows == 0 || count == 0) {
        out[0] = out[1] = out[2] = 0;
        return;
    }
    const int first = scratch.columnFirst[i];
    const double* factor = scratch.columnFactor.data() + scratch.columnOffset[i];
    const std::uint8_t* inside = scratch.columnInside.data() + scratch.columnOffset[i];
    Sums sums;
    for (int r = 0; r < rows; ++r)
        AddRowDirect<S>(st, st.bits + std::int64_t{rowFirst + r} * st.stride, first, count, factor, inside,
                        scratch.rowInside[r] != 0, scratch.rowFactor[r], sums);
    PutSample(sums, out);
}

// Without a tilt (sine exactly 0, cosine exactly 1) the mapped column
// depends on the output column alone and the mapped row on the output row
// alone, so each axis's window and factors are made once: the columns once
// per band, the rows once per output row.
template <Source S>
void SampleRowUntilted(const Settled& st, Scratch& scratch, int y, std::uint8_t* out)
{
    const int n = st.regionWidth;
    PrepareUntiltedColumns(st, scratch);
    int rowFirst;
    const int rows = PrepareUntiltedRows(st, scratch, y, rowFirst);
    // A sample that weighs one pixel 1 and all others exactly 0 adds 1 x
    // that pixel and 1 to sums of 0 and divides by 1: the pixel itself.
    if (scratch.rowSingle >= 0) {
        const std::uint8_t* row = st.bits + std::int64_t{scratch.rowSingle} * st.stride;
        for (int i = 0; i < n; ++i)
            if (scratch.columnSingle[i] >= 0) {
                const std::uint8_t* p = PixelOf<S>(st, row, scratch.columnSingle[i]);
                out[3 * i + kB] = p[kB];
                out[3 * i + kG] = p[kG];
                out[3 * i + kR] = p[kR];
            }
    }
#if defined(LUMACUT_WIDE_SAMPLER)
    if (rows > 0 && rows <= kWideRowsMax && UseAvx2()) {
        SampleRowUntiltedWide(st, scratch, rowFirst, rows, out);
        for (int i : scratch.pending)
            SampleUntilted<S>(st, scratch, i, rowFirst, rows, out + 3 * i);
        return;
    }
#endif
    for (int i = 0; i < n; ++i)
        if (scratch.rowSingle < 0 || scratch.columnSingle[i] < 0)
            SampleUntilted<S>(st, scratch, i, rowFirst, rows, out + 3 * i);
}

// With a tilt every sample has its own window; the column factors are made
// once per sample, the row weights once per window row. Neighbouring samples
// whose windows have the same size run side by side.
template <Source S>
void SampleRowTilted(const Settled& st, Scratch& scratch, int y, std::uint8_t* out)
{
    const CSampler& s = st.job->sampler;
    const int x0 = st.job->x0;
    const std::size_t room = std::size_t(st.width) + 1;
    scratch.columnFactor.resize(2 * room);
    scratch.columnInside.resize(2 * room);
    scratch.weightA.resize(room);
    scratch.weightB.resize(room);
    double* factorA = scratch.columnFactor.data();
    double* factorB = factorA + room;
    std::uint8_t* insideA = scratch.columnInside.data();
    std::uint8_t* insideB = insideA + room;
    double* weightA = scratch.weightA.data();
    double* weightB = scratch.weightB.data();

    const int n = st.regionWidth;
    double gxA, gyA, gxB = 0, gyB = 0;
    SampleWindow wA, wB;
    bool haveNext = false;
    for (int i = 0; i < n;) {
        if (haveNext) {
            gxA = gxB;
            gyA = gyB;
            wA = wB;
        } else {
            MapToSource(s, x0 + i, y, 0, 0, gxA, gyA);
            wA = WindowAround(s, gxA, gyA, st.width, st.height);
        }
        haveNext = false;
        if (wA.x0 > wA.x1 || wA.y0 > wA.y1) {
            out[3 * i] = out[3 * i + 1] = out[3 * i + 2] = 0;
            ++i;
            continue;
        }
        const int count = wA.x1 - wA.x0 + 1;
        const int rows = wA.y1 - wA.y0 + 1;
        AxisFactors(gxA, wA.x0, count, s.m_footX, s.m_invFootX, factorA, insideA);
        Sums a;
        if (i + 1 < n) {
            MapToSource(s, x0 + i + 1, y, 0, 0, gxB, gyB);
            wB = WindowAround(s, gxB, gyB, st.width, st.height);
            haveNext = true;
            if (wB.x1 - wB.x0 + 1 == count && wB.y1 - wB.y0 + 1 == rows && wB.x0 <= wB.x1) {
                AxisFactors(gxB, wB.x0, count, s.m_footX, s.m_invFootX, factorB, insideB);
                Sums b;
                for (int r = 0; r < rows; ++r) {
                    const double eyA = std::fabs(gyA - (wA.y0 + r));
                    const double eyB = std::fabs(gyB - (wB.y0 + r));
                    RowWeights(count, factorA, insideA, !(eyA > s.m_footY), 1 - eyA * s.m_invFootY, weightA);
                    RowWeights(count, factorB, insideB, !(eyB > s.m_footY), 1 - eyB * s.m_invFootY, weightB);
                    AddRowPair<S>(st, count, st.bits + std::int64_t{wA.y0 + r} * st.stride, wA.x0, weightA, a,
                                  st.bits + std::int64_t{wB.y0 + r} * st.stride, wB.x0, weightB, b);
                }
                PutSample(a, out + 3 * i);
                PutSample(b, out + 3 * (i + 1));
                haveNext = false;
                i += 2;
                continue;
            }
        }
        for (int r = 0; r < rows; ++r) {
            const double ey = std::fabs(gyA - (wA.y0 + r));
            RowWeights(count, factorA, insideA, !(ey > s.m_footY), 1 - ey * s.m_invFootY, weightA);
            AddRow<S>(st, st.bits + std::int64_t{wA.y0 + r} * st.stride, wA.x0, count, weightA, a);
        }
        PutSample(a, out + 3 * i);
        ++i;
    }
}

#if defined(LUMACUT_WIDE_SAMPLER)

// A tilted sample with footprint 1 nearly always has a 4 x 4 window. With
// AVX2 one window row of 24- or 32-bit pixels is done in vectors: the four
// weights times each channel's four bytes, then turned round into one
// vector a pixel, (channel 0, 1, 2, weight), added to the sums pixel by
// pixel. Every lane does the same multiply and the same additions in the
// same order as the plain sum, so the result is identical.
template <Source S>
[[gnu::target("avx2")]] inline __m256d AddRow4(const std::uint8_t* p, __m256d w, __m256d sums)
{
    __m128i bytes;
    __m128i m0, m1, m2;
    if constexpr (S == Source::Bgr24) {
        // exactly the 12 bytes of the four pixels, never past them
        std::int32_t last;
        std::memcpy(&last, p + 8, 4);
        bytes = _mm_insert_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), last, 2);
        m0 = _mm_setr_epi8(0, -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1);
        m1 = _mm_setr_epi8(1, -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1);
        m2 = _mm_setr_epi8(2, -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1);
    } else {
        bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        m0 = _mm_setr_epi8(0, -1, -1, -1, 4, -1, -1, -1, 8, -1, -1, -1, 12, -1, -1, -1);
        m1 = _mm_setr_epi8(1, -1, -1, -1, 5, -1, -1, -1, 9, -1, -1, -1, 13, -1, -1, -1);
        m2 = _mm_setr_epi8(2, -1, -1, -1, 6, -1, -1, -1, 10, -1, -1, -1, 14, -1, -1, -1);
    }
    const __m256d c0 = _mm256_mul_pd(w, _mm256_cvtepi32_pd(_mm_shuffle_epi8(bytes, m0)));
    const __m256d c1 = _mm256_mul_pd(w, _mm256_cvtepi32_pd(_mm_shuffle_epi8(bytes, m1)));
    const __m256d c2 = _mm256_mul_pd(w, _mm256_cvtepi32_pd(_mm_shuffle_epi8(bytes, m2)));
    const __m256d t0 = _mm256_unpacklo_pd(c0, c1); // pixels 0 and 2: c0, c1
    const __m256d t1 = _mm256_unpackhi_pd(c0, c1); // pixels 1 and 3
    const __m256d t2 = _mm256_unpacklo_pd(c2, w);
    const __m256d t3 = _mm256_unpackhi_pd(c2, w);
    sums = _mm256_add_pd(sums, _mm256_permute2f128_pd(t0, t2, 0x20));
    sums = _mm256_add_pd(sums, _mm256_permute2f128_pd(t1, t3, 0x20));
    sums = _mm256_add_pd(sums, _mm256_permute2f128_pd(t0, t2, 0x31));
    sums = _mm256_add_pd(sums, _mm256_permute2f128_pd(t1, t3, 0x31));
    return sums;
}

// RowWeights for four columns.
[[gnu::target("avx2")]] inline __m256d RowWeights4(const Factors4& f, double g, int row, double foot,
                                                   double invFoot)
{
    const double ey = std::fabs(g - row);
    const __m256d tiny = _mm256_set1_pd(1e-9);
    if (ey > foot)
        return tiny;
    const __m256d w = _mm256_mul_pd(f.factor, _mm256_set1_pd(1 - ey * invFoot));
    return _mm256_blendv_pd(tiny, w, f.inside);
}

// Samples begin ... end - 1 of a tilted row with 4 x 4 windows in vectors,
// two samples side by side for two independent chains of additions; any
// other window goes the plain way, one sample at a time.
template <Source S>
[[gnu::target("avx2")]] void SampleRangeTiltedWide(const Settled& st, Scratch& scratch, int y, int begin, int end,
                                                   std::uint8_t* out)
{
    const CSampler& s = st.job->sampler;
    const int x0 = st.job->x0;
    const std::size_t room = std::size_t(st.width) + 1;
    scratch.columnFactor.resize(room);
    scratch.columnInside.resize(room);
    scratch.weightA.resize(room);
    double* factorA = scratch.columnFactor.data();
    std::uint8_t* insideA = scratch.columnInside.data();
    double* weightA = scratch.weightA.data();
    constexpr int kBytesPerPixel = S == Source::Bgr24 ? 3 : 4;

    const int n = end;
    double gxA, gyA, gxB = 0, gyB = 0;
    SampleWindow wA, wB;
    bool haveNext = false;
    for (int i = begin; i < n;) {
        if (haveNext) {
            gxA = gxB;
            gyA = gyB;
            wA = wB;
        } else {
            MapToSource(s, x0 + i, y, 0, 0, gxA, gyA);
            wA = WindowAround(s, gxA, gyA, st.width, st.height);
        }
        haveNext = false;
        if (wA.x0 > wA.x1 || wA.y0 > wA.y1) {
            out[3 * i] = out[3 * i + 1] = out[3 * i + 2] = 0;
            ++i;
            continue;
        }
        const int count = wA.x1 - wA.x0 + 1;
        const int rows = wA.y1 - wA.y0 + 1;
        if (count == 4) {
            const Factors4 fA = AxisFactors4(gxA, wA.x0, s.m_footX, s.m_invFootX);
            __m256d a = _mm256_setzero_pd();
            if (i + 1 < n) {
                MapToSource(s, x0 + i + 1, y, 0, 0, gxB, gyB);
                wB = WindowAround(s, gxB, gyB, st.width, st.height);
                haveNext = true;
                if (wB.x1 - wB.x0 + 1 == 4 && wB.y1 - wB.y0 + 1 == rows && wB.x0 <= wB.x1) {
                    const Factors4 fB = AxisFactors4(gxB, wB.x0, s.m_footX, s.m_invFootX);
                    __m256d b = _mm256_setzero_pd();
                    for (int r = 0; r < rows; ++r) {
                        a = AddRow4<S>(st.bits + std::int64_t{wA.y0 + r} * st.stride + kBytesPerPixel * wA.x0,
                                       RowWeights4(fA, gyA, wA.y0 + r, s.m_footY, s.m_invFootY), a);
                        b = AddRow4<S>(st.bits + std::int64_t{wB.y0 + r} * st.stride + kBytesPerPixel * wB.x0,
                                       RowWeights4(fB, gyB, wB.y0 + r, s.m_footY, s.m_invFootY), b);
                    }
                    PutSample4(a, out + 3 * i);
                    PutSample4(b, out + 3 * (i + 1));
                    haveNext = false;
                    i += 2;
                    continue;
                }
            }
            for (int r = 0; r < rows; ++r)
                a = AddRow4<S>(st.bits + std::int64_t{wA.y0 + r} * st.stride + kBytesPerPixel * wA.x0,
                               RowWeights4(fA, gyA, wA.y0 + r, s.m_footY, s.m_invFootY), a);
            PutSample4(a, out + 3 * i);
            ++i;
            continue;
        }
        AxisFactors(gxA, wA.x0, count, s.m_footX, s.m_invFootX, factorA, insideA);
        Sums a;
        for (int r = 0; r < rows; ++r) {
            const double ey = std::fabs(gyA - (wA.y0 + r));
            RowWeights(count, factorA, insideA, !(ey > s.m_footY), 1 - ey * s.m_invFootY, weightA);
            AddRow<S>(st, st.bits + std::int64_t{wA.y0 + r} * st.stride, wA.x0, count, weightA, a);
        }
        PutSample(a, out + 3 * i);
        ++i;
    }
}

// A tilted row: four samples at a time through the bilinear shortcut where
// the footprint lets it apply, the samples it is not sure of (and all
// others) in full.
template <Source S>
[[gnu::target("avx2")]] void SampleRowTiltedWide(const Settled& st, Scratch& scratch, int y, std::uint8_t* out)
{
    const CSampler& s = st.job->sampler;
    const int n = st.regionWidth;
    int i = 0;
    if (s.m_footX >= 0.5 && s.m_footX <= 1.5 && s.m_footY >= 0.5 && s.m_footY <= 1.5) {
        for (; i + 4 <= n; i += 4) {
            const unsigned written = TryBilinearShortcut4<S>(st.bits, st.stride, st.width, st.height, s,
                                                            st.job->x0 + i, y, out + 3 * i);
            if (written == 0xF)
                continue;
            for (int k = 0; k < 4; ++k)
                if (!(written >> k & 1))
                    SampleRangeTiltedWide<S>(st, scratch, y, i + k, i + k + 1, out);
        }
    }
    SampleRangeTiltedWide<S>(st, scratch, y, i, n, out);
}

#endif

template <Source S>
void SampleRow(const Settled& st, Scratch& scratch, int y, std::uint8_t* out)
{
    const CSampler& s = st.job->sampler;
    if (s.m_sin == 0 && s.m_cos == 1) {
        SampleRowUntilted<S>(st, scratch, y, out);
        return;
    }
#if defined(LUMACUT_WIDE_SAMPLER)
    if constexpr (S == Source::Bgr24 || S == Source::Bgr32) {
        if (UseAvx2()) {
            SampleRowTiltedWide<S>(st, scratch, y, out);
            return;
        }
    }
#endif
    SampleRowTilted<S>(st, scratch, y, out);
}

// Direct reads of one row into the scratch row; black outside the Original.
template <Source S>
void ReadRow(const Settled& st, int y, std::uint8_t* out)
{
    const int x0 = st.job->x0;
    const bool rowInside = y >= 0 && y < st.height;
    const std::uint8_t* row = rowInside ? st.bits + std::int64_t{y} * st.stride : nullptr;
    for (int i = 0; i < st.regionWidth; ++i, out += 3) {
        int x = x0 + i;
        if (rowInside && x >= 0 && x < st.width) {
            const std::uint8_t* p = PixelOf<S>(st, row, x);
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
        } else {
            out[0] = out[1] = out[2] = 0;
        }
    }
}

template <Source S>
void SampleRowReader(const Settled& st, Scratch& scratch, int y, std::uint8_t* out)
{
    SampleRow<S>(st, scratch, y, out);
}

template <Source S>
void DirectRowReader(const Settled& st, Scratch&, int y, std::uint8_t* out)
{
    ReadRow<S>(st, y, out);
}

template <template <Source> class Pick>
RowReader ReaderFor(Source s)
{
    switch (s) {
    case Source::Bgr24: return Pick<Source::Bgr24>::value;
    case Source::Bgr32: return Pick<Source::Bgr32>::value;
    case Source::Index8: return Pick<Source::Index8>::value;
    case Source::Nibble4: return Pick<Source::Nibble4>::value;
    }
    return nullptr;
}
template <Source S>
struct PickSample {
    static constexpr RowReader value = SampleRowReader<S>;
};
template <Source S>
struct PickDirect {
    static constexpr RowReader value = DirectRowReader<S>;
};

} // namespace

RowReader ChooseReader(Source source, bool sampled)
{
    return sampled ? ReaderFor<PickSample>(source) : ReaderFor<PickDirect>(source);
}

} // namespace lumacut::fast
