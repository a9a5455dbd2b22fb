#pragma once
// A shortcut for the commonest tilted sample, footprint 1 away from the
// borders, that rounds to exactly the bytes of the full sample.
//
// Such a sample has a 4 x 4 window whose middle 2 x 2 lie within the
// footprint; the other twelve pixels weigh 1e-9. Up to those, the sample is
// the bilinear mix of the middle four. Worked out in single precision:
//  - rounding the four weights, their products with the bytes, the sums and
//    the division moves the mix by at most about 16 float ulps of 255, 2.4e-4;
//  - leaving out the twelve tiny weights moves it by at most
//    12 x 1e-9 x 255 / 0.5 = 6.2e-6 (the middle weights add up to 0.5 at least,
//    or the shortcut is not taken);
//  - the full sample's own double rounding is below 1e-12.
// So when each channel's mix lies more than kMargin = 1e-3 from the nearest
// rounding step (a whole number and a half), the full sample rounds the same
// way, and the mix's rounding is written. Otherwise nothing is written and
// the caller does the full sample; that happens for well under 1 % of the
// samples of a photo.
#include "filter/FastPassParts.h"
#include "filter/SamplerParts.h"
#include "picture/CSampler.h"
#include "picture/SamplerWindow.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(LUMACUT_WIDE_SAMPLER)
#define LUMACUT_BILINEAR_SHORTCUT 1

namespace lumacut::fast {

inline constexpr float kRoundingMargin = 1e-3f;

// The middle four pixels of a window whose left column is `column` and
// bottom row `row`: (blue, green, red, 1) bytes for (column + 1, row + 1),
// (column + 2, row + 1), (column + 1, row + 2), (column + 2, row + 2). Each
// row is read as 8 bytes that end at the last of its two pixels (24 bits:
// starting 2 bytes into column `column`).
template <Source S>
[[gnu::target("avx2")]] inline __m128i MiddleFour(const std::uint8_t* bits, std::int64_t stride, int column, int row)
{
    constexpr int kStep = S == Source::Bgr24 ? 3 : 4;
    constexpr int kLead = S == Source::Bgr24 ? 2 : 0;
    const std::uint8_t* p = bits + (row + 1) * stride + kStep * (column + 1) - kLead;
    const __m128i rows = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + stride)));
    const __m128i order = S == Source::Bgr24
                              ? _mm_setr_epi8(2, 3, 4, -1, 5, 6, 7, -1, 10, 11, 12, -1, 13, 14, 15, -1)
                              : _mm_setr_epi8(0, 1, 2, -1, 4, 5, 6, -1, 8, 9, 10, -1, 12, 13, 14, -1);
    return _mm_or_si128(_mm_shuffle_epi8(rows, order), _mm_set1_epi32(1 << 24));
}

// The mixes of two samples a and b side by side, (blue, green, red, weight)
// for a in the low half and b in the high half. `w11` ... `w22` hold the
// four weights of the four samples of a batch, `spread` picks a's and b's.
[[gnu::target("avx2")]] inline __m256 MixPair(__m128i a, __m128i b, __m256 w11, __m256 w12, __m256 w21, __m256 w22,
                                             __m256i spread)
{
    const __m128i upper = _mm_unpacklo_epi32(a, b); // a11 b11 a12 b12
    const __m128i lower = _mm_unpackhi_epi32(a, b); // a21 b21 a22 b22
    const __m256 p11 = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(upper));
    const __m256 p12 = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_srli_si128(upper, 8)));
    const __m256 p21 = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(lower));
    const __m256 p22 = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_srli_si128(lower, 8)));
    const __m256 top = _mm256_add_ps(_mm256_mul_ps(p11, _mm256_permutevar8x32_ps(w11, spread)),
                                     _mm256_mul_ps(p12, _mm256_permutevar8x32_ps(w12, spread)));
    const __m256 bottom = _mm256_add_ps(_mm256_mul_ps(p21, _mm256_permutevar8x32_ps(w21, spread)),
                                        _mm256_mul_ps(p22, _mm256_permutevar8x32_ps(w22, spread)));
    return _mm256_add_ps(top, bottom);
}

// Rounds the two mixes of MixPair and writes each whose three channels are
// clear of a rounding step (and whose weights add up to 0.5 at least).
// Returns which were written: bit 0 for a, bit 1 for b.
[[gnu::target("avx2")]] inline unsigned PutPair(__m256 mix, std::uint8_t* outA, std::uint8_t* outB)
{
    const __m256 weight = _mm256_permute_ps(mix, 0xFF);
    const __m256 t = _mm256_add_ps(_mm256_div_ps(mix, weight), _mm256_set1_ps(0.5f));
    const __m256 whole = _mm256_floor_ps(t);
    const __m256 part = _mm256_sub_ps(t, whole);
    const __m256 clear = _mm256_and_ps(_mm256_cmp_ps(part, _mm256_set1_ps(kRoundingMargin), _CMP_GE_OQ),
                                       _mm256_cmp_ps(part, _mm256_set1_ps(1.0f - kRoundingMargin), _CMP_LE_OQ));
    const __m256 heavy = _mm256_cmp_ps(weight, _mm256_set1_ps(0.5f), _CMP_GE_OQ);
    const unsigned sure = static_cast<unsigned>(_mm256_movemask_ps(_mm256_and_ps(clear, heavy)));
    // each mix lies within 0 ... 255, so the packs saturate nothing that counts
    const __m256i ints = _mm256_cvttps_epi32(whole);
    const __m256i bytes = _mm256_packus_epi16(_mm256_packs_epi32(ints, ints), _mm256_setzero_si256());
    unsigned written = 0;
    if ((sure & 0x07) == 0x07) {
        const auto bgr = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm256_castsi256_si128(bytes)));
        std::memcpy(outA, &bgr, 3);
        written |= 1;
    }
    if ((sure & 0x70) == 0x70) {
        const auto bgr = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm256_extracti128_si256(bytes, 1)));
        std::memcpy(outB, &bgr, 3);
        written |= 2;
    }
    return written;
}

// One axis of four samples' windows: the first column (or row), whether
// the window has four columns inside the Original with exactly the middle
// two within the footprint, and the middle two's tent factors.
struct ShortcutAxis {
    __m256d first, ok, f1, f2;

    [[gnu::target("avx2")]] static ShortcutAxis Of(__m256d g, double foot, double invFoot, int size)
    {
        const __m256d footV = _mm256_set1_pd(foot);
        const __m256d first = _mm256_floor_pd(_mm256_sub_pd(g, footV));
        const __m256d last = _mm256_ceil_pd(_mm256_add_pd(g, footV));
        __m256d ok = _mm256_and_pd(_mm256_cmp_pd(first, _mm256_setzero_pd(), _CMP_GE_OQ),
                                   _mm256_cmp_pd(last, _mm256_set1_pd(size - 1.0), _CMP_LE_OQ));
        ok = _mm256_and_pd(ok, _mm256_cmp_pd(_mm256_sub_pd(last, first), _mm256_set1_pd(3.0), _CMP_EQ_OQ));
        const __m256d sign = _mm256_set1_pd(-0.0);
        __m256d e[4];
        for (int k = 0; k < 4; ++k)
            e[k] = _mm256_andnot_pd(sign, _mm256_sub_pd(g, _mm256_add_pd(first, _mm256_set1_pd(k))));
        ok = _mm256_and_pd(ok, _mm256_cmp_pd(e[0], footV, _CMP_GT_OQ));
        ok = _mm256_and_pd(ok, _mm256_cmp_pd(e[1], footV, _CMP_NGT_UQ));
        ok = _mm256_and_pd(ok, _mm256_cmp_pd(e[2], footV, _CMP_NGT_UQ));
        ok = _mm256_and_pd(ok, _mm256_cmp_pd(e[3], footV, _CMP_GT_OQ));
        const __m256d one = _mm256_set1_pd(1.0), inv = _mm256_set1_pd(invFoot);
        return {first, ok, _mm256_sub_pd(one, _mm256_mul_pd(e[1], inv)), _mm256_sub_pd(one, _mm256_mul_pd(e[2], inv))};
    }
};

// The four samples of New Picture pixels (x ... x + 3, y), mapped with
// exactly the sampler's doubles. Writes the blue, green, red bytes of each
// sample the shortcut is sure of and returns which: bit k for x + k.
// Only for 24- and 32-bit Originals.
template <Source S>
[[gnu::target("avx2")]] inline unsigned TryBilinearShortcut4(const std::uint8_t* bits, std::int64_t stride,
                                                            int width, int height, const CSampler& s, int x,
                                                            int y, std::uint8_t* out)
{
    static_assert(S == Source::Bgr24 || S == Source::Bgr32);
    // MapToSource, four columns at a time
    const __m256d xs = _mm256_add_pd(
        _mm256_mul_pd(_mm256_cvtepi32_pd(_mm_add_epi32(_mm_set1_epi32(x), _mm_setr_epi32(0, 1, 2, 3))),
                      _mm256_set1_pd(s.m_invScaleX)),
        _mm256_setzero_pd());
    const double ys = y * s.m_invScaleY + 0.0;
    const __m256d u = _mm256_sub_pd(xs, _mm256_set1_pd(s.m_centerX));
    const __m256d v = _mm256_set1_pd(ys - s.m_centerY);
    const __m256d gx = _mm256_add_pd(_mm256_add_pd(_mm256_set1_pd(s.m_centerX), _mm256_mul_pd(u, _mm256_set1_pd(s.m_cos))),
                                     _mm256_mul_pd(v, _mm256_set1_pd(s.m_sin)));
    const __m256d gy = _mm256_add_pd(_mm256_sub_pd(_mm256_set1_pd(s.m_centerY), _mm256_mul_pd(u, _mm256_set1_pd(s.m_sin))),
                                     _mm256_mul_pd(v, _mm256_set1_pd(s.m_cos)));

    const ShortcutAxis cx = ShortcutAxis::Of(gx, s.m_footX, s.m_invFootX, width);
    const ShortcutAxis cy = ShortcutAxis::Of(gy, s.m_footY, s.m_invFootY, height);
    const __m256d okBoth = _mm256_and_pd(cx.ok, cy.ok);
    const unsigned ok = static_cast<unsigned>(_mm256_movemask_pd(okBoth));
    if (ok == 0)
        return 0;

    alignas(16) int column[4], row[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(column), _mm256_cvttpd_epi32(_mm256_and_pd(cx.first, okBoth)));
    _mm_store_si128(reinterpret_cast<__m128i*>(row), _mm256_cvttpd_epi32(_mm256_and_pd(cy.first, okBoth)));
    __m128i px[4];
    for (int k = 0; k < 4; ++k)
        px[k] = (ok >> k & 1) ? MiddleFour<S>(bits, stride, column[k], row[k]) : _mm_setzero_si128();

    const __m128 fx1 = _mm256_cvtpd_ps(cx.f1), fx2 = _mm256_cvtpd_ps(cx.f2);
    const __m128 fy1 = _mm256_cvtpd_ps(cy.f1), fy2 = _mm256_cvtpd_ps(cy.f2);
    const __m256 w11 = _mm256_castps128_ps256(_mm_mul_ps(fx1, fy1));
    const __m256 w12 = _mm256_castps128_ps256(_mm_mul_ps(fx2, fy1));
    const __m256 w21 = _mm256_castps128_ps256(_mm_mul_ps(fx1, fy2));
    const __m256 w22 = _mm256_castps128_ps256(_mm_mul_ps(fx2, fy2));
    const __m256i first = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
    const __m256i second = _mm256_setr_epi32(2, 2, 2, 2, 3, 3, 3, 3);
    unsigned written = PutPair(MixPair(px[0], px[1], w11, w12, w21, w22, first), out, out + 3);
    written |= PutPair(MixPair(px[2], px[3], w11, w12, w21, w22, second), out + 6, out + 9) << 2;
    return written & ok;
}

} // namespace lumacut::fast

#endif
