#include "filter/FastPass.h"

#include "filter/RenderThreads.h"
#include "picture/SamplerWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

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
    std::vector<double> columnFactor;
    std::vector<std::uint8_t> columnInside;
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

inline std::uint8_t ClampRoundFast(double v)
{
    double r = std::floor(v + 0.5);
    if (!(r > 0.0))
        return 0;
    if (r > 255.0)
        return 255;
    return static_cast<std::uint8_t>(r);
}

// One row of samples. The tent weight is separable: the column factors are
// made once per sample and each weight is the same double as the plain
// TentWeight gives; the sums run in the same order.
template <Source S>
void SampleRow(const Settled& st, Scratch& scratch, int y, std::uint8_t* out)
{
    const CSampler& s = st.job->sampler;
    const int x0 = st.job->x0;
    double* columnFactor = scratch.columnFactor.data();
    std::uint8_t* columnInside = scratch.columnInside.data();
    for (int i = 0; i < st.regionWidth; ++i, out += 3) {
        double gx, gy;
        MapToSource(s, x0 + i, y, 0, 0, gx, gy);
        SampleWindow w = WindowAround(s, gx, gy, st.width, st.height);
        if (w.x0 > w.x1 || w.y0 > w.y1) {
            out[0] = out[1] = out[2] = 0;
            continue;
        }
        const int columns = w.x1 - w.x0 + 1;
        for (int c = 0; c < columns; ++c) {
            double ex = std::fabs(gx - (w.x0 + c));
            columnInside[c] = !(ex > s.m_footX);
            columnFactor[c] = 1 - ex * s.m_invFootX;
        }
        double sR = 0, sG = 0, sB = 0, sW = 0;
        for (int r = w.y0; r <= w.y1; ++r) {
            double ey = std::fabs(gy - r);
            bool rowInside = !(ey > s.m_footY);
            double rowFactor = 1 - ey * s.m_invFootY;
            const std::uint8_t* row = st.bits + std::int64_t{r} * st.stride;
            for (int c = 0; c < columns; ++c) {
                double weight = (rowInside && columnInside[c]) ? columnFactor[c] * rowFactor : 1e-9;
                const std::uint8_t* p = PixelOf<S>(st, row, w.x0 + c);
                sR += weight * p[kR];
                sG += weight * p[kG];
                sB += weight * p[kB];
                sW += weight;
            }
        }
        if (sW == 0) {
            out[0] = out[1] = out[2] = 0;
            continue;
        }
        double f = 1 / sW;
        out[kR] = ClampRoundFast(sR * f);
        out[kG] = ClampRoundFast(sG * f);
        out[kB] = ClampRoundFast(sB * f);
    }
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

template <int Step>
void TwoDefineSharp(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    const double x = st.k.x;
    PackBits<Step>(st, src, n, dst, [&](const std::uint8_t* p) {
        int sum = st.square[kR][p[kR]] + st.square[kG][p[kG]] + st.square[kB][p[kB]];
        return static_cast<int>(sum * x + 1 > 2);
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
    for (int i = 0; i < n; ++i, src += Step) {
        int seen = st.linear[kR][src[kR]] + st.linear[kG][src[kG]] + st.linear[kB][src[kB]];
        dst[i] = st.tone[seen / weight];
    }
}

template <int Step>
void GreySharp(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    const double x = st.k.x;
    for (int i = 0; i < n; ++i, src += Step) {
        int d = st.square[kR][src[kR]] + st.square[kG][src[kG]] + st.square[kB][src[kB]];
        dst[i] = st.tone[SharpGrey(d, x)];
    }
}

// ---- true colour ----------------------------------------------------------------------------

template <int Step>
void TrueNoFilter(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    for (int i = 0; i < n; ++i, src += Step, dst += 3) {
        dst[0] = st.tone[src[0]];
        dst[1] = st.tone[src[1]];
        dst[2] = st.tone[src[2]];
    }
}

// "Emphasize Color" (emphasize) and "De-emphasize Color": the curve of a
// mix, so no table; the bias step is skipped where it is exactly neutral.
template <int Step, bool emphasize, bool neutralBias>
void TrueMix(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    const FilterConstants k = st.k;
    const int L = st.lightDark;
    const bool negative = st.job->settings.negative != 0;
    for (int i = 0; i < n; ++i, src += Step, dst += 3) {
        const int r = src[kR], g = src[kG], b = src[kB];
        const double m = (r + g + b) * kThird;
        const double u = Closeness(st.square[kR][r] + st.square[kG][g] + st.square[kB][b], k.x);
        auto mix = [&](int a) { return emphasize ? a * u + (1 - u) * m : a * (1 - u) + u * m; };
        std::uint8_t outR = ToneCurveInline<neutralBias>(mix(r), L, k);
        std::uint8_t outG = ToneCurveInline<neutralBias>(mix(g), L, k);
        std::uint8_t outB = ToneCurveInline<neutralBias>(mix(b), L, k);
        if (negative) {
            outR = static_cast<std::uint8_t>(255 - outR);
            outG = static_cast<std::uint8_t>(255 - outG);
            outB = static_cast<std::uint8_t>(255 - outB);
        }
        dst[kR] = outR;
        dst[kG] = outG;
        dst[kB] = outB;
    }
}

template <int Step>
void TrueSharp(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    const ReferenceColors& refs = st.job->refs;
    const FilterSettings& s = st.job->settings;
    const double x = st.k.x;
    for (int i = 0; i < n; ++i, src += Step, dst += 3) {
        const int r = src[kR], g = src[kG], b = src[kB];
        bool near = false;
        for (int j = 0; j < refs.count && !near; ++j)
            near = ColorDistance(r, g, b, refs.colors[j], s) * x < 0.05;
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
    if (job.useSampler) {
        scratch.columnFactor.resize(std::size_t(st.width) + 1);
        scratch.columnInside.resize(std::size_t(st.width) + 1);
    }
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
