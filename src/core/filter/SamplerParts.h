#pragma once
// Small pieces shared by the sampler's paths: the rounding of a sample's
// quotient and, where AVX2 can be used, the tent factors of four columns
// and the rounding of a (blue, green, red, weight) vector of sums.
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define LUMACUT_WIDE_SAMPLER 1
#endif

namespace lumacut::fast {

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

#if defined(LUMACUT_WIDE_SAMPLER)

// The tent factors 1 - e / footprint of four neighbouring columns (or rows)
// for one mapped coordinate, in doubles as the full sample makes them, and
// which of them lie within the footprint.
struct Factors4 {
    __m256d factor;
    __m256d inside;
};
[[gnu::target("avx2")]] inline Factors4 AxisFactors4(double g, int first, double foot, double invFoot)
{
    const __m256d column = _mm256_cvtepi32_pd(_mm_add_epi32(_mm_set1_epi32(first), _mm_setr_epi32(0, 1, 2, 3)));
    const __m256d e = _mm256_andnot_pd(_mm256_set1_pd(-0.0), _mm256_sub_pd(_mm256_set1_pd(g), column));
    return {_mm256_sub_pd(_mm256_set1_pd(1.0), _mm256_mul_pd(e, _mm256_set1_pd(invFoot))),
            _mm256_cmp_pd(e, _mm256_set1_pd(foot), _CMP_NGT_UQ)};
}

// Writes the blue, green, red bytes of a sample from its sums, exactly as
// the plain sample rounds them.
// Every lane does ClampRoundFast's steps: the sum times 1 / weight, plus 0.5,
// then 0 below 1, 255 from 256 on, the truncation between (the sums are
// finite, so clamping to 0 ... 255.5 before truncating is the same).
[[gnu::target("avx2")]] inline void PutSample4(__m256d sums, std::uint8_t* out)
{
    const __m256d weight = _mm256_permute4x64_pd(sums, 0xFF);
    if (_mm256_cvtsd_f64(weight) == 0) { // every pixel exactly a footprint away
        out[0] = out[1] = out[2] = 0;
        return;
    }
    const __m256d f = _mm256_div_pd(_mm256_set1_pd(1.0), weight);
    __m256d t = _mm256_add_pd(_mm256_mul_pd(sums, f), _mm256_set1_pd(0.5));
    t = _mm256_min_pd(_mm256_max_pd(t, _mm256_setzero_pd()), _mm256_set1_pd(255.5));
    const __m128i ints = _mm256_cvttpd_epi32(t);
    const auto bgr = static_cast<std::uint32_t>(
        _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(ints, ints), _mm_setzero_si128())));
    std::memcpy(out, &bgr, 3);
}

#endif

} // namespace lumacut::fast
