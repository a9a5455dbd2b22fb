#include "filter/FastPass.h"

#include "filter/RenderThreads.h"
#include "picture/SamplerWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumacut {

namespace {

// Pixels reach the filters as blue, green, red bytes, `Step` bytes apart.
enum Channel { kB = 0, kG = 1, kR = 2 };

enum class Source { Bgr24, Bgr32, Index8, Nibble4 };

struct Settled;
using RowFilter = void (*)(const Settled&, const std::uint8_t* src, int n, std::uint8_t* dst);

// Per-band working storage, made once per band, never inside a pixel loop.
struct Scratch {
    std::vector<std::uint8_t> row; // one row of read pixels, 3 bytes each
    // The sampler's tent factors along columns (per sample, or for every
    // output column at once when untilted) and along rows.
    std::vector<double> columnFactor;
    std::vector<std::uint8_t> columnInside;
    std::vector<int> columnFirst, columnCount, columnOffset;
    bool columnsReady = false;
    std::vector<double> rowFactor;
    std::vector<std::uint8_t> rowInside;
    std::vector<double> weightA, weightB; // one window row's weights of two samples
};

// Everything settled once per render, read only by the bands.
struct Settled {
    const PassJob* job = nullptr;
    Source source = Source::Bgr24;
    const std::uint8_t* bits = nullptr;
    int stride = 0, width = 0, height = 0;
    std::uint8_t palette[256][3] = {}; // blue, green, red
    int regionWidth = 0;

    FilterConstants k;
    int lightDark = 0;
    std::uint8_t tone[256] = {};       // T(v), Negative already applied
    std::uint8_t flag[3][256] = {};    // two colour kinds 0 and 1, per channel
    int linear[3][256] = {};           // two colour kind 2: (p + L) q; grey kind 0: p q
    int square[3][256] = {};           // squared distance per channel (with L for two colour)
    int limit = 0;                     // two colour kind 2: sum of q^2; grey kind 0: sum of q
    std::uint8_t index[2] = {};        // two colour: output bit for d = 0 and d = 1
    std::uint8_t white = 255;          // true colour kind 3: a near pixel
    std::uint64_t divisor = 0;         // grey kind 0: seen / limit as (seen x divisor) >> 40
    int sharpLimit = 0;                // two colour kind 3: black from this sum on
    int nearLimit = 0;                 // true colour kind 3: near below this distance
    int refSquare[10][3][256] = {};    // true colour kind 3: distance to each reference colour
    bool toneIsIdentity = false;       // true colour kind 0 can copy rows
    double mean[766] = {};             // true colour: (r + g + b) x 0.333333333333 by the sum

    RowFilter filter3 = nullptr; // pixels 3 bytes apart
    RowFilter filter4 = nullptr; // 4 bytes apart (32-bit Originals read directly)
};

// ---- reading ---------------------------------------------------------------------------

template <Source S>
inline const std::uint8_t* PixelOf(const Settled& st, const std::uint8_t* row, int column)
{
    if constexpr (S == Source::Bgr24)
        return row + 3 * column;
    else if constexpr (S == Source::Bgr32)
        return row + 4 * column;
    else if constexpr (S == Source::Index8)
        return st.palette[row[column]];
    else {
        std::uint8_t byte = row[column / 2];
        return st.palette[(column % 2) ? (byte & 15) : (byte >> 4)];
    }
}

// ClampRound without a call to floor: floor(t) > 0 exactly when t >= 1,
// floor(t) > 255 exactly when t >= 256, and between them floor is the
// truncation.
inline std::uint8_t ClampRoundFast(double v)
{
    const double t = v + 0.5;
    if (!(t >= 1.0))
        return 0;
    if (t >= 256.0)
        return 255;
    return static_cast<std::uint8_t>(static_cast<int>(t));
}

// Bytes as doubles, and (blue, 1) pairs, read from tables instead of
// converted one by one.
struct ByteTables {
    alignas(16) double value[256];
    alignas(16) double valueAndOne[256][2];
    ByteTables()
    {
        for (int v = 0; v < 256; ++v) {
            value[v] = v;
            valueAndOne[v][0] = v;
            valueAndOne[v][1] = 1.0;
        }
    }
};
const ByteTables kBytes;

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

// The tent along one axis for one mapped coordinate: for each source
// column (or row) of the window, whether it lies within the footprint and
// its factor 1 - e / footprint.
inline void AxisFactors(double g, int first, int count, double foot, double invFoot, double* factor,
                        std::uint8_t* inside)
{
    for (int c = 0; c < count; ++c) {
        double e = std::fabs(g - (first + c));
        inside[c] = !(e > foot);
        factor[c] = 1 - e * invFoot;
    }
}

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

// Without a tilt (sine exactly 0, cosine exactly 1) the mapped column
// depends on the output column alone and the mapped row on the output row
// alone, so each axis's window and factors are made once: the columns once
// per band, the rows once per output row.
template <Source S>
void SampleRowUntilted(const Settled& st, Scratch& scratch, int y, std::uint8_t* out)
{
    const CSampler& s = st.job->sampler;
    const int x0 = st.job->x0;
    const int n = st.regionWidth;
    if (!scratch.columnsReady) {
        scratch.columnFirst.resize(n);
        scratch.columnCount.resize(n);
        scratch.columnOffset.resize(n);
        scratch.columnFactor.clear();
        scratch.columnInside.clear();
        int widest = 0;
        for (int i = 0; i < n; ++i) {
            double gx, gy;
            MapToSource(s, x0 + i, st.job->y0, 0, 0, gx, gy);
            int first, last;
            WindowRange(gx - s.m_footX, gx + s.m_footX, st.width, first, last);
            const int count = std::max(0, last - first + 1);
            widest = std::max(widest, count);
            scratch.columnFirst[i] = first;
            scratch.columnCount[i] = count;
            scratch.columnOffset[i] = static_cast<int>(scratch.columnFactor.size());
            scratch.columnFactor.resize(scratch.columnFactor.size() + count);
            scratch.columnInside.resize(scratch.columnInside.size() + count);
            AxisFactors(gx, first, count, s.m_footX, s.m_invFootX,
                        scratch.columnFactor.data() + scratch.columnOffset[i],
                        scratch.columnInside.data() + scratch.columnOffset[i]);
        }
        scratch.weightA.resize(std::size_t(widest) + 1);
        scratch.weightB.resize(std::size_t(widest) + 1);
        scratch.columnsReady = true;
    }

    double gx, gy;
    MapToSource(s, x0, y, 0, 0, gx, gy);
    int rowFirst, rowLast;
    WindowRange(gy - s.m_footY, gy + s.m_footY, st.height, rowFirst, rowLast);
    const int rows = std::max(0, rowLast - rowFirst + 1);
    scratch.rowFactor.resize(rows);
    scratch.rowInside.resize(rows);
    AxisFactors(gy, rowFirst, rows, s.m_footY, s.m_invFootY, scratch.rowFactor.data(), scratch.rowInside.data());
    for (int i = 0; i < n; ++i, out += 3) {
        const int count = scratch.columnCount[i];
        if (rows == 0 || count == 0) {
            out[0] = out[1] = out[2] = 0;
            continue;
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

template <Source S>
void SampleRow(const Settled& st, Scratch& scratch, int y, std::uint8_t* out)
{
    const CSampler& s = st.job->sampler;
    if (s.m_sin == 0 && s.m_cos == 1)
        SampleRowUntilted<S>(st, scratch, y, out);
    else
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

using RowReader = void (*)(const Settled&, Scratch&, int y, std::uint8_t* out);

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

// ---- two colour ----------------------------------------------------------------------------

// Packs the output bits of a row; bits of the last byte beyond the row keep
// what the block held, as the plain pass's per-pixel writes leave them.
template <int Step, class Decide>
inline void PackBits(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst, Decide decide)
{
    const int full = n / 8;
    for (int byteIndex = 0; byteIndex < full; ++byteIndex) {
        unsigned byte = 0;
        for (int i = 0; i < 8; ++i, src += Step)
            byte = (byte << 1) | st.index[decide(src)];
        dst[byteIndex] = static_cast<std::uint8_t>(byte);
    }
    const int rest = n % 8;
    if (rest) {
        unsigned byte = 0;
        for (int i = 0; i < rest; ++i, src += Step)
            byte = (byte << 1) | st.index[decide(src)];
        byte <<= 8 - rest;
        unsigned mask = (0xFFu << (8 - rest)) & 0xFFu;
        dst[full] = static_cast<std::uint8_t>((dst[full] & ~mask) | byte);
    }
}

template <int Step>
void TwoDefineBlack(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    PackBits<Step>(st, src, n, dst,
                   [&](const std::uint8_t* p) { return st.flag[kB][p[kB]] & st.flag[kG][p[kG]] & st.flag[kR][p[kR]]; });
}

template <int Step>
void TwoDefineWhite(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    PackBits<Step>(st, src, n, dst,
                   [&](const std::uint8_t* p) { return st.flag[kB][p[kB]] | st.flag[kG][p[kG]] | st.flag[kR][p[kR]]; });
}

template <int Step>
void TwoDefineFilter(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    PackBits<Step>(st, src, n, dst, [&](const std::uint8_t* p) {
        return static_cast<int>(st.linear[kR][p[kR]] + st.linear[kG][p[kG]] + st.linear[kB][p[kB]] < st.limit);
    });
}

// sum x x + 1 > 2 grows with the sum, so it is the same as sum >= a limit
// found once with that very expression (FirstTrue below).
template <int Step>
void TwoDefineSharp(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    const int limit = st.sharpLimit;
    PackBits<Step>(st, src, n, dst, [&](const std::uint8_t* p) {
        int sum = st.square[kR][p[kR]] + st.square[kG][p[kG]] + st.square[kB][p[kB]];
        return static_cast<int>(sum >= limit);
    });
}

// ---- grey ---------------------------------------------------------------------------------

template <int Step>
void GreyNormal(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    const int weight = st.limit;
    if (weight == 0) {
        std::fill(dst, dst + n, st.tone[0]);
        return;
    }
    const std::uint64_t divisor = st.divisor;
    for (int i = 0; i < n; ++i, src += Step) {
        auto seen = static_cast<std::uint64_t>(st.linear[kR][src[kR]] + st.linear[kG][src[kG]] + st.linear[kB][src[kB]]);
        dst[i] = st.tone[(seen * divisor) >> 40];
    }
}

// Rows are taken in chunks: table look-ups first, then a loop of plain
// arithmetic with no branches that the compiler turns into vector code;
// every lane computes exactly the scalar expression.
constexpr int kChunk = 128;

template <int Step>
void GreySharp(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    const double x = st.k.x;
    alignas(32) double distance[kChunk];
    alignas(32) int grey[kChunk];
    for (int start = 0; start < n; start += kChunk) {
        const int m = std::min(kChunk, n - start);
        const std::uint8_t* p = src + std::int64_t{start} * Step;
        for (int i = 0; i < m; ++i, p += Step)
            distance[i] = st.square[kR][p[kR]] + st.square[kG][p[kG]] + st.square[kB][p[kB]];
        for (int i = 0; i < m; ++i) {
            // SharpGrey without branches.
            double g = 255 / (x * distance[i] + 1);
            double t = g >= 255 ? 255.0 : g;
            t = g > 0 ? t : 0.0;
            grey[i] = static_cast<int>(t);
        }
        for (int i = 0; i < m; ++i)
            dst[start + i] = st.tone[grey[i]];
    }
}

// ---- true colour ----------------------------------------------------------------------------

template <int Step>
void TrueNoFilter(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    if (Step == 3 && st.toneIsIdentity) {
        std::memcpy(dst, src, std::size_t(3) * n);
        return;
    }
    for (int i = 0; i < n; ++i, src += Step, dst += 3) {
        dst[0] = st.tone[src[0]];
        dst[1] = st.tone[src[1]];
        dst[2] = st.tone[src[2]];
    }
}

// The tone curve without branches (ToneCurveInline, lane by lane).
template <bool neutralBias>
inline int ToneLane(double v, int lightDark, const FilterConstants& k)
{
    double y = neutralBias ? v : v / ((v * kInv255) * (1 - k.k) + k.k);
    double z = (y - 128) * k.c + 128 + lightDark;
    double t = z >= 255 ? 255.0 : z;
    t = t <= 0 ? 0.0 : t;
    t = z - z == 0 ? t : 0.0; // not finite: 0
    return static_cast<int>(t);
}

// The arithmetic of a chunk: closeness, mix and curve, lane by lane. Built
// for AVX2 as well where the processor has it (four lanes instead of two);
// the lanes compute the same IEEE doubles either way.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__)
__attribute__((target_clones("avx2", "default")))
#endif
void MixChunk(int m, const double (*channel)[kChunk], const double* distance, const double* mean,
              int (*out)[kChunk], FilterConstants k, int L, bool emphasize, bool neutralBias)
{
    for (int c = 0; c < 3; ++c) {
        const double* a = channel[c];
        int* o = out[c];
        if (emphasize && neutralBias)
            for (int i = 0; i < m; ++i) {
                const double u = 1 / (distance[i] * k.x + 1); // Closeness
                o[i] = ToneLane<true>(a[i] * u + (1 - u) * mean[i], L, k);
            }
        else if (emphasize)
            for (int i = 0; i < m; ++i) {
                const double u = 1 / (distance[i] * k.x + 1);
                o[i] = ToneLane<false>(a[i] * u + (1 - u) * mean[i], L, k);
            }
        else if (neutralBias)
            for (int i = 0; i < m; ++i) {
                const double u = 1 / (distance[i] * k.x + 1);
                o[i] = ToneLane<true>(a[i] * (1 - u) + u * mean[i], L, k);
            }
        else
            for (int i = 0; i < m; ++i) {
                const double u = 1 / (distance[i] * k.x + 1);
                o[i] = ToneLane<false>(a[i] * (1 - u) + u * mean[i], L, k);
            }
    }
}

// "Emphasize Color" (emphasize) and "De-emphasize Color": the curve of a
// mix, so no table; the bias step is skipped where it is exactly neutral.
template <int Step, bool emphasize, bool neutralBias>
void TrueMix(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    const FilterConstants k = st.k;
    const int L = st.lightDark;
    const int flip = st.job->settings.negative ? 255 : 0;
    alignas(32) double channel[3][kChunk];
    alignas(32) double distance[kChunk];
    alignas(32) double mean[kChunk];
    alignas(32) int out[3][kChunk];
    for (int start = 0; start < n; start += kChunk) {
        const int m = std::min(kChunk, n - start);
        const std::uint8_t* p = src + std::int64_t{start} * Step;
        for (int i = 0; i < m; ++i, p += Step) {
            const int r = p[kR], g = p[kG], b = p[kB];
            channel[kR][i] = kBytes.value[r];
            channel[kG][i] = kBytes.value[g];
            channel[kB][i] = kBytes.value[b];
            distance[i] = st.square[kR][r] + st.square[kG][g] + st.square[kB][b];
            mean[i] = st.mean[r + g + b];
        }
        MixChunk(m, channel, distance, mean, out, k, L, emphasize, neutralBias);
        std::uint8_t* q = dst + std::int64_t{start} * 3;
        for (int i = 0; i < m; ++i, q += 3) {
            q[kR] = static_cast<std::uint8_t>(out[kR][i] ^ flip);
            q[kG] = static_cast<std::uint8_t>(out[kG][i] ^ flip);
            q[kB] = static_cast<std::uint8_t>(out[kB][i] ^ flip);
        }
    }
}

// D x x < 0.05 falls with D: near is the same as D below a limit.
template <int Step>
void TrueSharp(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    const int count = st.job->refs.count;
    const int limit = st.nearLimit;
    for (int i = 0; i < n; ++i, src += Step, dst += 3) {
        const int r = src[kR], g = src[kG], b = src[kB];
        bool near = false;
        for (int j = 0; j < count && !near; ++j)
            near = st.refSquare[j][kR][r] + st.refSquare[j][kG][g] + st.refSquare[j][kB][b] < limit;
        if (near) {
            dst[0] = dst[1] = dst[2] = st.white;
        } else {
            dst[0] = st.tone[src[0]];
            dst[1] = st.tone[src[1]];
            dst[2] = st.tone[src[2]];
        }
    }
}

// ---- settling -------------------------------------------------------------------------------

template <template <int> class F>
void SetFilter(Settled& st)
{
    st.filter3 = F<3>::run;
    st.filter4 = F<4>::run;
}

#define LUMACUT_ROW_FILTER(Name, ...)                                                                  \
    template <int Step>                                                                                \
    struct Name##Pick {                                                                                \
        static void run(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)         \
        {                                                                                              \
            __VA_ARGS__(st, src, n, dst);                                                              \
        }                                                                                              \
    };
LUMACUT_ROW_FILTER(TwoDefineBlack, TwoDefineBlack<Step>)
LUMACUT_ROW_FILTER(TwoDefineWhite, TwoDefineWhite<Step>)
LUMACUT_ROW_FILTER(TwoDefineFilter, TwoDefineFilter<Step>)
LUMACUT_ROW_FILTER(TwoDefineSharp, TwoDefineSharp<Step>)
LUMACUT_ROW_FILTER(GreyNormal, GreyNormal<Step>)
LUMACUT_ROW_FILTER(GreySharp, GreySharp<Step>)
LUMACUT_ROW_FILTER(TrueNoFilter, TrueNoFilter<Step>)
LUMACUT_ROW_FILTER(TrueEmphasize, TrueMix<Step, true, false>)
LUMACUT_ROW_FILTER(TrueEmphasizeNeutral, TrueMix<Step, true, true>)
LUMACUT_ROW_FILTER(TrueDeEmphasize, TrueMix<Step, false, false>)
LUMACUT_ROW_FILTER(TrueDeEmphasizeNeutral, TrueMix<Step, false, true>)
LUMACUT_ROW_FILTER(TrueSharp, TrueSharp<Step>)
#undef LUMACUT_ROW_FILTER

// The first value in low..high at which `test` holds, for a test that once
// true stays true (high when it never holds). Runs the test itself, so the
// limit agrees with the formula for every value.
template <class Test>
int FirstTrue(int low, int high, Test test)
{
    while (low < high) {
        int mid = low + (high - low) / 2;
        if (test(mid))
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

void SettleSource(Settled& st, const CPicture& original)
{
    st.bits = original.m_bits;
    st.stride = original.m_stride;
    st.width = original.m_width;
    st.height = original.m_height;
    if (original.m_colors == 0)
        st.source = original.m_bytesPerPixel == 4 ? Source::Bgr32 : Source::Bgr24;
    else
        st.source = original.m_colors == 16 ? Source::Nibble4 : Source::Index8;
    for (int i = 0; i < 256; ++i) {
        st.palette[i][kB] = original.m_rgb[i].blue;
        st.palette[i][kG] = original.m_rgb[i].green;
        st.palette[i][kR] = original.m_rgb[i].red;
    }
}

void SettleFilter(Settled& st, const PassJob& job)
{
    const FilterSettings& s = job.settings;
    const int L = s.lightDark;
    const bool active[3] = {s.activeBlue != 0, s.activeGreen != 0, s.activeRed != 0};
    const int q[3] = {BlueOf(s.color), GreenOf(s.color), RedOf(s.color)};
    st.k = job.constants;
    st.lightDark = L;
    for (int v = 0; v < 256; ++v) {
        std::uint8_t t = ToneCurve(v, L, st.k);
        st.tone[v] = s.negative ? static_cast<std::uint8_t>(255 - t) : t;
    }
    st.index[0] = static_cast<std::uint8_t>(TwoColorIndex(0, s));
    st.index[1] = static_cast<std::uint8_t>(TwoColorIndex(1, s));
    st.white = s.negative ? 0 : 255;

    // Which distances carry L: the two-colour tests compare p + L.
    const int shift = job.type == PassType::TwoColor ? L : 0;
    st.limit = 0;
    for (int c = 0; c < 3; ++c) {
        for (int p = 0; p < 256; ++p) {
            int e = p + shift - q[c];
            st.square[c][p] = active[c] ? e * e : 0;
            st.linear[c][p] = active[c] ? (job.type == PassType::TwoColor ? (p + L) * q[c] : p * q[c]) : 0;
            if (s.kind == kKindDefineBlack)
                st.flag[c][p] = active[c] ? (p + L <= q[c]) : 1;
            else
                st.flag[c][p] = active[c] ? (p + L < q[c]) : 0;
        }
        if (active[c])
            st.limit += job.type == PassType::TwoColor ? q[c] * q[c] : q[c];
    }

    // Exact division of seen (below 2^18) by the weight (below 2^10):
    // the rounding error of the multiplier stays below 2^-22 < 1 / weight.
    st.divisor = st.limit > 0 ? ((std::uint64_t{1} << 40) / static_cast<std::uint64_t>(st.limit)) + 1 : 0;

    const double x = st.k.x;
    int maxSum = 0;
    for (int c = 0; c < 3; ++c)
        maxSum += *std::max_element(st.square[c], st.square[c] + 256);
    st.sharpLimit = FirstTrue(0, maxSum + 1, [&](int sum) { return sum * x + 1 > 2; });
    st.nearLimit = FirstTrue(0, 3 * 255 * 255 + 1, [&](int d) { return !(d * x < 0.05); });
    for (int j = 0; j < job.refs.count; ++j) {
        const std::uint32_t ref = job.refs.colors[j];
        const int rq[3] = {BlueOf(ref), GreenOf(ref), RedOf(ref)};
        for (int c = 0; c < 3; ++c)
            for (int p = 0; p < 256; ++p)
                st.refSquare[j][c][p] = active[c] ? (p - rq[c]) * (p - rq[c]) : 0;
    }
    for (int sum = 0; sum < 766; ++sum)
        st.mean[sum] = sum * kThird;
    st.toneIsIdentity = true;
    for (int v = 0; v < 256; ++v)
        st.toneIsIdentity = st.toneIsIdentity && st.tone[v] == v;

    switch (job.type) {
    case PassType::TwoColor:
        switch (s.kind) {
        case kKindDefineBlack: SetFilter<TwoDefineBlackPick>(st); break;
        case kKindDefineWhite: SetFilter<TwoDefineWhitePick>(st); break;
        case kKindDefineFilter: SetFilter<TwoDefineFilterPick>(st); break;
        default: SetFilter<TwoDefineSharpPick>(st); break;
        }
        break;
    case PassType::Grey:
        if (s.kind == kKindDefineBlack)
            SetFilter<GreyNormalPick>(st);
        else
            SetFilter<GreySharpPick>(st);
        break;
    case PassType::TrueColor: {
        bool neutral = st.k.k == 1;
        switch (s.kind) {
        case kKindDefineBlack: SetFilter<TrueNoFilterPick>(st); break;
        case kKindDefineWhite:
            if (neutral)
                SetFilter<TrueEmphasizeNeutralPick>(st);
            else
                SetFilter<TrueEmphasizePick>(st);
            break;
        case kKindDefineFilter:
            if (neutral)
                SetFilter<TrueDeEmphasizeNeutralPick>(st);
            else
                SetFilter<TrueDeEmphasizePick>(st);
            break;
        default: SetFilter<TrueSharpPick>(st); break;
        }
        break;
    }
    case PassType::None: break;
    }
}

void RunBand(const Settled& st, RowReader reader, bool directRows, int rowBegin, int rowEnd)
{
    const PassJob& job = *st.job;
    CPicture& target = *job.target;
    Scratch scratch;
    scratch.row.resize(std::size_t(3) * st.regionWidth + 1);
    const int bpp = st.source == Source::Bgr32 ? 4 : 3;
    const int n = st.regionWidth;
    for (int r = rowBegin; r < rowEnd; ++r) {
        const int y = job.y0 + r;
        std::uint8_t* dst = target.m_bits + std::int64_t{r} * target.m_stride;
        // A row that lies wholly inside a true-colour Original is filtered
        // where it stands; any other row is read into the scratch row first.
        if (directRows && y >= 0 && y < st.height && job.x0 >= 0 && job.x1 <= st.width) {
            const std::uint8_t* src = st.bits + std::int64_t{y} * st.stride + std::int64_t{job.x0} * bpp;
            (bpp == 4 ? st.filter4 : st.filter3)(st, src, n, dst);
        } else {
            reader(st, scratch, y, scratch.row.data());
            st.filter3(st, scratch.row.data(), n, dst);
        }
    }
}

} // namespace

void RunFastPass(const PassJob& job, int bands)
{
    if (job.type == PassType::None)
        return;
    const int rows = job.y1 - job.y0;
    const int width = job.x1 - job.x0;
    if (rows <= 0 || width <= 0)
        return;

    Settled st;
    st.job = &job;
    st.regionWidth = width;
    SettleSource(st, *job.original);
    SettleFilter(st, job);
    RowReader reader = job.useSampler ? ReaderFor<PickSample>(st.source) : ReaderFor<PickDirect>(st.source);
    const bool directRows = !job.useSampler && (st.source == Source::Bgr24 || st.source == Source::Bgr32);

    if (bands <= 0) {
        // Small renders stay on the calling thread; large ones get a few
        // bands per thread so that uneven rows (tilts) still share well.
        const double work = double(rows) * width * (job.useSampler ? 8 : 1);
        bands = work < 65536 ? 1 : std::min(rows, 8 * RenderThreadCount());
    }
    bands = std::clamp(bands, 1, rows);
    ParallelFor(bands, [&](int band) {
        int begin = static_cast<int>(std::int64_t{rows} * band / bands);
        int end = static_cast<int>(std::int64_t{rows} * (band + 1) / bands);
        RunBand(st, reader, directRows, begin, end);
    });
}

} // namespace lumacut
