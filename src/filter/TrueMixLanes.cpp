#include "filter/TrueMixLanes.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define LUMACUT_TRUE_MIX_LANES 1
#include <immintrin.h>
#endif

namespace lumacut::fast {

#if LUMACUT_TRUE_MIX_LANES

namespace {

#define LUMACUT_AVX2 __attribute__((target("avx2")))

// What every lane needs, taken from the settings once per row.
struct LaneConstants {
    __m128i q[3];      // the colour's blue, green, red
    __m128i active[3]; // all ones for an active channel
    __m128i flip;      // 255 with Negative
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
    lc.flip = _mm_set1_epi32(s.negative ? 255 : 0);
    lc.x = _mm256_set1_pd(st.k.x);
    lc.c = _mm256_set1_pd(st.k.c);
    lc.k = _mm256_set1_pd(st.k.k);
    lc.oneMinusK = _mm256_set1_pd(1 - st.k.k);
    lc.light = _mm256_set1_pd(st.lightDark);
    return lc;
}

// The tone curve of four values, as ToneCurveInline does it: bias (skipped
// where exactly neutral), contrast about 128, light/dark; then 0 where not
// finite, else truncated and clamped to 0..255.
template <bool neutralBias>
LUMACUT_AVX2 inline __m128i ToneLanes(__m256d v, const LaneConstants& lc)
{
    __m256d y = v;
    if constexpr (!neutralBias) {
        __m256d den = _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(v, _mm256_set1_pd(kInv255)), lc.oneMinusK), lc.k);
        y = _mm256_div_pd(v, den);
    }
    const __m256d c128 = _mm256_set1_pd(128);
    __m256d z = _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(y, c128), lc.c), c128), lc.light);
    __m256d finite = _mm256_cmp_pd(_mm256_sub_pd(z, z), _mm256_setzero_pd(), _CMP_EQ_OQ);
    // For finite z: min gives 255 from 255 up, max gives 0 from 0 down; the
    // conversion then truncates a value inside 0..255.
    __m256d t = _mm256_max_pd(_mm256_min_pd(z, _mm256_set1_pd(255)), _mm256_setzero_pd());
    return _mm256_cvttpd_epi32(_mm256_and_pd(t, finite));
}

template <int Step, bool emphasize, bool neutralBias>
LUMACUT_AVX2 int TrueMixLanes(const Settled& st, const std::uint8_t* src, int n, std::uint8_t* dst)
{
    const LaneConstants lc = ConstantsOf(st);
    // Each channel's byte of four pixels into the low byte of four 32-bit lanes.
    constexpr char S = Step, Z = -128;
    const __m128i pick[3] = {
        _mm_setr_epi8(0, Z, Z, Z, S, Z, Z, Z, 2 * S, Z, Z, Z, 3 * S, Z, Z, Z),
        _mm_setr_epi8(1, Z, Z, Z, S + 1, Z, Z, Z, 2 * S + 1, Z, Z, Z, 3 * S + 1, Z, Z, Z),
        _mm_setr_epi8(2, Z, Z, Z, S + 2, Z, Z, Z, 2 * S + 2, Z, Z, Z, 3 * S + 2, Z, Z, Z)};
    // Blue, green, red bytes of four pixels back into pixel order.
    const __m128i interleave = _mm_setr_epi8(0, 4, 8, 1, 5, 9, 2, 6, 10, 3, 7, 11, Z, Z, Z, Z);
    const __m256d one = _mm256_set1_pd(1), third = _mm256_set1_pd(kThird);

    // Six pixels ahead: a 16-byte read of four 3-byte pixels and a 16-byte
    // write of their 12 output bytes stay inside the row.
    int i = 0;
    for (; i + 6 <= n; i += 4) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + std::int64_t{i} * Step));
        __m128i p[3];
        __m128i distance = _mm_setzero_si128(), sum = _mm_setzero_si128();
        for (int c = 0; c < 3; ++c) {
            p[c] = _mm_shuffle_epi8(bytes, pick[c]);
            __m128i e = _mm_and_si128(_mm_sub_epi32(p[c], lc.q[c]), lc.active[c]);
            distance = _mm_add_epi32(distance, _mm_mullo_epi32(e, e));
            sum = _mm_add_epi32(sum, p[c]);
        }
        // u = 1 / (D x + 1) and m = (r + g + b) x 0.333333333333, then for
        // each channel a u + (1 - u) m or a (1 - u) + u m.
        const __m256d u = _mm256_div_pd(one, _mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(distance), lc.x), one));
        const __m256d mean = _mm256_mul_pd(_mm256_cvtepi32_pd(sum), third);
        const __m256d rest = _mm256_sub_pd(one, u);
        const __m256d own = emphasize ? u : rest;
        const __m256d shared = emphasize ? _mm256_mul_pd(rest, mean) : _mm256_mul_pd(u, mean);
        __m128i out[3];
        for (int c = 0; c < 3; ++c) {
            __m256d v = _mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(p[c]), own), shared);
            out[c] = _mm_xor_si128(ToneLanes<neutralBias>(v, lc), lc.flip);
        }
        const __m128i words = _mm_packus_epi32(out[kB], out[kG]);
        const __m128i packed = _mm_packus_epi16(words, _mm_packus_epi32(out[kR], out[kR]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + std::int64_t{i} * 3), _mm_shuffle_epi8(packed, interleave));
    }
    return i;
}

} // namespace

LeadingRowFilter ChooseTrueMixLanes(int step, bool emphasize, bool neutralBias)
{
    if (!__builtin_cpu_supports("avx2"))
        return nullptr;
    const int pick = (step == 4 ? 4 : 0) + (emphasize ? 2 : 0) + (neutralBias ? 1 : 0);
    constexpr LeadingRowFilter filters[8] = {
        TrueMixLanes<3, false, false>, TrueMixLanes<3, false, true>, TrueMixLanes<3, true, false>,
        TrueMixLanes<3, true, true>,   TrueMixLanes<4, false, false>, TrueMixLanes<4, false, true>,
        TrueMixLanes<4, true, false>,  TrueMixLanes<4, true, true>};
    return filters[pick];
}

#else

LeadingRowFilter ChooseTrueMixLanes(int, bool, bool)
{
    return nullptr;
}

#endif

} // namespace lumacut::fast
