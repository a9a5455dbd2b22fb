#include "filter/FastPassParts.h"
#include "filter/TrueMixLanes.h"

#include <algorithm>
#include <cstring>

namespace lumacut::fast {

namespace {

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
    alignas(32) double closeness[kChunk];
    for (int i = 0; i < m; ++i)
        closeness[i] = 1 / (distance[i] * k.x + 1); // Closeness
    for (int c = 0; c < 3; ++c) {
        const double* a = channel[c];
        int* o = out[c];
        if (emphasize && neutralBias)
            for (int i = 0; i < m; ++i) {
                const double u = closeness[i];
                o[i] = ToneLane<true>(a[i] * u + (1 - u) * mean[i], L, k);
            }
        else if (emphasize)
            for (int i = 0; i < m; ++i) {
                const double u = closeness[i];
                o[i] = ToneLane<false>(a[i] * u + (1 - u) * mean[i], L, k);
            }
        else if (neutralBias)
            for (int i = 0; i < m; ++i) {
                const double u = closeness[i];
                o[i] = ToneLane<true>(a[i] * (1 - u) + u * mean[i], L, k);
            }
        else
            for (int i = 0; i < m; ++i) {
                const double u = closeness[i];
                o[i] = ToneLane<false>(a[i] * (1 - u) + u * mean[i], L, k);
            }
    }
}

// "Emphasize Color" (emphasize) and "De-emphasize Color": the curve of a
// mix, so no table; the bias step is skipped where it is exactly neutral.
template <int Step, bool emphasize, bool neutralBias>
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__)
__attribute__((target_clones("avx2", "default")))
#endif
void TrueMix(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    const FilterConstants k = st.k;
    const int L = st.lightDark;
    const int flip = st.job->settings.negative ? 255 : 0;
    alignas(32) double channel[3][kChunk];
    alignas(32) double distance[kChunk];
    alignas(32) double mean[kChunk];
    alignas(32) int out[3][kChunk];
    const LeadingRowFilter lanes = Step == 4 ? st.mixLanes4 : st.mixLanes3;
    for (int start = lanes ? lanes(st, src, n, dst) : 0; start < n; start += kChunk) {
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

} // namespace

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
        if (s.kind == kKindDefineWhite || s.kind == kKindDefineFilter)
            SettleTrueMixLanes(st);
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

} // namespace lumacut::fast
