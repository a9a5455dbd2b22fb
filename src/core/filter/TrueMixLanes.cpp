#include "filter/TrueMixLanes.h"

#include "filter/VectorPaths.h"

#include <algorithm>
#include <cmath>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define LUMACUT_TRUE_MIX_LANES 1
#include <immintrin.h>
#endif

namespace lumacut::fast {

namespace {

// How the curve's last steps are taken.
enum class Curve {
    // Any settings: 0 where z is not finite, else truncated and clamped.
    Checked,
    // z is known finite and well inside 32 bits: truncated in the
    // conversion, clamped by the saturating packs.
    Bounded,
    // The same with contrast exactly 1: the product by c is z itself.
    BoundedUnitContrast,
};

// Whether every z of the render is finite and below 2^30 in size. The mix v
// lies in 0..255 (up to rounding) once the weight u is finite, that is for
// a finite x; the bias denominator then lies between min(1, k) and
// max(1, k) up to rounding, so y stays below 256 max(1, 1 / k) for k in
// 2^-10..2^10 (gamma 1..99). The bound below has a factor 2 to spare at
// each step.
bool CurveIsBounded(const FilterConstants& k, int lightDark)
{
    if (!std::isfinite(k.x) || !std::isfinite(k.c))
        return false;
    double yMax = 512;
    if (k.k != 1) {
        if (!(k.k >= 0x1p-10 && k.k <= 0x1p10))
            return false;
        yMax = 512 * std::max(1.0, 1 / k.k);
    }
    const double zMax = 2 * (yMax + 128) * std::fabs(k.c) + 128 + std::fabs(double(lightDark));
    return zMax < 0x1p30;
}

#if LUMACUT_TRUE_MIX_LANES

#define LUMACUT_AVX2 __attribute__((target("avx2")))

// What every lane needs, taken from the settings once per row.
struct LaneConstants {
    __m128i q[3];      // the colour's blue, green, red
    __m128i active[3]; // all ones for an active channel
    __m128i flip;      // 255 in every byte with Negative
    __m256d x, c, k, oneMinusK, light;
};

LUMACUT_AVX2 inline LaneConstants ConstantsOf(const Settled& st)
{
    const FilterSettings& s = st.job->settings;
    LaneConstants lc;
    const int q[3] = {BlueOf(s.color), GreenOf(s.color), RedOf(s.color)};
    const bool active[3] = {s.activeBlue != 0, s.activeGreen != 0, s.activeRed != 0};
    for (int c = 0; c < 3; ++c) {
        lc.q[c] = _mm_set1_epi32(q[c]);
        lc.active[c] = _mm_set1_epi32(active[c] ? -1 : 0);
    }
    lc.flip = _mm_set1_epi8(s.negative ? -1 : 0);
    lc.x = _mm256_set1_pd(st.k.x);
    lc.c = _mm256_set1_pd(st.k.c);
    lc.k = _mm256_set1_pd(st.k.k);
    lc.oneMinusK = _mm256_set1_pd(1 - st.k.k);
    lc.light = _mm256_set1_pd(st.lightDark);
    return lc;
}

// Step 1 of the tone curve: the bias y = v / ((v / 255) (1 - k) + k).
LUMACUT_AVX2 inline __m256d BiasLanes(__m256d v, const LaneConstants& lc)
{
    const __m256d den = _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(v, _mm256_set1_pd(kInv255)), lc.oneMinusK), lc.k);
    return _mm256_div_pd(v, den);
}

// The rest of the tone curve, as ToneCurveInline takes it: contrast about
// 128, light/dark, then the byte in a 32-bit lane (Bounded: possibly
// outside 0..255, for the packs to clamp).
template <Curve curve>
LUMACUT_AVX2 inline __m128i ContrastLanes(__m256d y, const LaneConstants& lc)
{
    const __m256d c128 = _mm256_set1_pd(128);
    __m256d w = _mm256_sub_pd(y, c128);
    if constexpr (curve != Curve::BoundedUnitContrast)
        w = _mm256_mul_pd(w, lc.c);
    const __m256d z = _mm256_add_pd(_mm256_add_pd(w, c128), lc.light);
    if constexpr (curve != Curve::Checked)
        return _mm256_cvttpd_epi32(z);
    __m256d finite = _mm256_cmp_pd(_mm256_sub_pd(z, z), _mm256_setzero_pd(), _CMP_EQ_OQ);
    // For finite z: min gives 255 from 255 up, max gives 0 from 0 down; the
    // conversion then truncates a value inside 0..255.
    __m256d t = _mm256_max_pd(_mm256_min_pd(z, _mm256_set1_pd(255)), _mm256_setzero_pd());
    return _mm256_cvttpd_epi32(_mm256_and_pd(t, finite));
}

// Four pixels `Step` bytes apart, each channel's bytes in 32-bit lanes.
template <int Step>
LUMACUT_AVX2 inline void Unpack(const std::uint8_t* src, __m128i (&p)[3])
{
    constexpr char S = Step, Z = -128;
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    p[kB] = _mm_shuffle_epi8(bytes, _mm_setr_epi8(0, Z, Z, Z, S, Z, Z, Z, 2 * S, Z, Z, Z, 3 * S, Z, Z, Z));
    p[kG] = _mm_shuffle_epi8(bytes, _mm_setr_epi8(1, Z, Z, Z, S + 1, Z, Z, Z, 2 * S + 1, Z, Z, Z, 3 * S + 1, Z, Z, Z));
    p[kR] = _mm_shuffle_epi8(bytes, _mm_setr_epi8(2, Z, Z, Z, S + 2, Z, Z, Z, 2 * S + 2, Z, Z, Z, 3 * S + 2, Z, Z, Z));
}

// u = 1 / (D x + 1), D in integer lanes.
LUMACUT_AVX2 inline __m256d WeightLanes(const __m128i (&p)[3], const LaneConstants& lc)
{
    __m128i distance = _mm_setzero_si128();
    for (int c = 0; c < 3; ++c) {
        __m128i e = _mm_and_si128(_mm_sub_epi32(p[c], lc.q[c]), lc.active[c]);
        distance = _mm_add_epi32(distance, _mm_mullo_epi32(e, e));
    }
    const __m256d one = _mm256_set1_pd(1);
    return _mm256_div_pd(one, _mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(distance), lc.x), one));
}

// m = (r + g + b) x 0.333333333333, then for each channel a u + (1 - u) m
// ("Emphasize Color") or a (1 - u) + u m.
template <bool emphasize>
LUMACUT_AVX2 inline void MixLanes(const __m128i (&p)[3], __m256d u, __m256d (&v)[3])
{
    const __m128i sum = _mm_add_epi32(_mm_add_epi32(p[0], p[1]), p[2]);
    const __m256d mean = _mm256_mul_pd(_mm256_cvtepi32_pd(sum), _mm256_set1_pd(kThird));
    const __m256d rest = _mm256_sub_pd(_mm256_set1_pd(1), u);
    const __m256d own = emphasize ? u : rest;
    const __m256d shared = emphasize ? _mm256_mul_pd(rest, mean) : _mm256_mul_pd(u, mean);
    for (int c = 0; c < 3; ++c)
        v[c] = _mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(p[c]), own), shared);
}

// Four pixels' bytes from their channels' lanes: signed saturation to 16
// bits, then unsigned to 8 (the clamp to 0..255), Negative, and 16 bytes
// written of which the first 12 are theirs.
LUMACUT_AVX2 inline void Pack(const __m128i (&out)[3], const LaneConstants& lc, std::uint8_t* dst)
{
    constexpr char Z = -128;
    const __m128i words = _mm_packs_epi32(out[kB], out[kG]);
    const __m128i packed = _mm_packus_epi16(words, _mm_packs_epi32(out[kR], out[kR]));
    const __m128i interleave = _mm_setr_epi8(0, 4, 8, 1, 5, 9, 2, 6, 10, 3, 7, 11, Z, Z, Z, Z);
    const __m128i pixels = _mm_xor_si128(_mm_shuffle_epi8(packed, interleave), lc.flip);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), pixels);
}

// The pixels go in groups, in passes over the group that keep the
// divisions apart from the plain arithmetic: the weights first, then (with
// a bias) the mixes divided by their bias denominators, then the rest of
// the curve. Measured faster than one pass doing all, the divisions then
// holding up the arithmetic waiting behind them.
template <int Step, bool emphasize, bool neutralBias, Curve curve>
LUMACUT_AVX2 int TrueMixLanes(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    const LaneConstants lc = ConstantsOf(st);
    // Six pixels ahead: a 16-byte read of four 3-byte pixels and a 16-byte
    // write of their 12 output bytes stay inside the row.
    const int lanes = n >= 6 ? (n - 2) / 4 * 4 : 0;
    constexpr int kGroup = 32;
    alignas(32) double weight[kGroup];
    alignas(32) double biased[3][kGroup];
    for (int start = 0; start < lanes; start += kGroup) {
        const int end = std::min(lanes, start + kGroup);
        __m128i p[3];
        __m256d v[3];
        __m128i out[3];
        for (int i = start; i < end; i += 4) {
            Unpack<Step>(src + std::int64_t{i} * Step, p);
            _mm256_store_pd(weight + (i - start), WeightLanes(p, lc));
        }
        if constexpr (neutralBias) {
            for (int i = start; i < end; i += 4) {
                Unpack<Step>(src + std::int64_t{i} * Step, p);
                MixLanes<emphasize>(p, _mm256_load_pd(weight + (i - start)), v);
                for (int c = 0; c < 3; ++c)
                    out[c] = ContrastLanes<curve>(v[c], lc);
                Pack(out, lc, dst + std::int64_t{i} * 3);
            }
        } else {
            for (int i = start; i < end; i += 4) {
                Unpack<Step>(src + std::int64_t{i} * Step, p);
                MixLanes<emphasize>(p, _mm256_load_pd(weight + (i - start)), v);
                for (int c = 0; c < 3; ++c)
                    _mm256_store_pd(biased[c] + (i - start), BiasLanes(v[c], lc));
            }
            for (int i = start; i < end; i += 4) {
                for (int c = 0; c < 3; ++c)
                    out[c] = ContrastLanes<curve>(_mm256_load_pd(biased[c] + (i - start)), lc);
                Pack(out, lc, dst + std::int64_t{i} * 3);
            }
        }
    }
    return lanes;
}

template <int Step, bool emphasize, bool neutralBias>
LeadingRowFilter PickCurve(Curve curve)
{
    switch (curve) {
    case Curve::Checked: return TrueMixLanes<Step, emphasize, neutralBias, Curve::Checked>;
    case Curve::Bounded: return TrueMixLanes<Step, emphasize, neutralBias, Curve::Bounded>;
    default: return TrueMixLanes<Step, emphasize, neutralBias, Curve::BoundedUnitContrast>;
    }
}

template <int Step>
LeadingRowFilter PickKind(bool emphasize, bool neutralBias, Curve curve)
{
    if (emphasize)
        return neutralBias ? PickCurve<Step, true, true>(curve) : PickCurve<Step, true, false>(curve);
    return neutralBias ? PickCurve<Step, false, true>(curve) : PickCurve<Step, false, false>(curve);
}

#endif

} // namespace

void SettleTrueMixLanes(Settled& st)
{
#if LUMACUT_TRUE_MIX_LANES
    if (!UseAvx2())
        return;
    const bool emphasize = st.job->settings.kind == kKindDefineWhite;
    const bool neutralBias = st.k.k == 1;
    Curve curve = Curve::Checked;
    if (CurveIsBounded(st.k, st.lightDark))
        curve = st.k.c == 1 ? Curve::BoundedUnitContrast : Curve::Bounded;
    st.mixLanes3 = PickKind<3>(emphasize, neutralBias, curve);
    st.mixLanes4 = PickKind<4>(emphasize, neutralBias, curve);
#else
    (void)st;
#endif
}

} // namespace lumacut::fast
