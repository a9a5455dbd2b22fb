// The bilinear shortcut for tilted samples.
//
// A tilted sample with footprint 1 away from the borders has a 4 x 4
// window whose middle 2 x 2 lie within the footprint; the other twelve
// pixels weigh 1e-9. Up to those, the sample is the bilinear mix of the
// middle four. Worked out in single precision:
//  - rounding the four weights, their products with the bytes, the sums and
//    the division moves the mix by at most about 16 float ulps of 255, 2.4e-4;
//  - leaving out the twelve tiny weights moves it by at most
//    12 x 1e-9 x 255 / 0.5 = 6.2e-6 (the middle weights add up to 0.5 at least,
//    or the shortcut is not taken);
//  - the full sample's own double rounding is below 1e-12.
// So when each channel's mix lies more than kRoundingMargin = 1e-3 from the
// nearest rounding step (a whole number and a half), the full sample rounds
// the same way, and the mix's rounding is written. Otherwise nothing is
// written and the caller takes the full sample; that happens for well under
// 1 % of the samples of a photo.

#include "filter/kernels/Lanes.h"

namespace lumacut::fast::LUMACUT_KERNELS {

namespace {

constexpr float kRoundingMargin = 1e-3f;

// floor, exact for |v| < 2^31.
inline V4d Floor(V4d v)
{
    const V4d t = ToDouble(ToInt(v));
    return t > v ? t - 1 : t;
}

inline V4d Abs(V4d v) { return (V4d)((V4l)v & 0x7FFFFFFFFFFFFFFF); }

// Bit k set for each lane k that is all ones.
inline unsigned LaneBits(V4l mask)
{
    V4l bits = mask & V4l{1, 2, 4, 8};
    bits |= __builtin_shufflevector(bits, bits, 2, 3, 0, 1);
    bits |= __builtin_shufflevector(bits, bits, 1, 0, 3, 2);
    return static_cast<unsigned>(bits[0]);
}

// One axis of four samples' windows: the first column (or row), whether the
// window has four columns inside the Original with exactly the middle two
// within the footprint, and the middle two's tent factors. A coordinate of
// 2^30 or more is outside any picture; it is taken as 0 and refused, which
// keeps Floor's conversions defined (the footprint is below 4).
struct ShortcutAxis {
    V4i first;
    V4l ok;
    V4d f1, f2;
};

inline ShortcutAxis AxisOf(V4d g, double foot, double invFoot, int size)
{
    const V4l inRange = Abs(g) < 0x1p30;
    g = (V4d)((V4l)g & inRange);
    const V4d first = Floor(g - foot);
    V4d column[4], e[4];
    for (int k = 0; k < 4; ++k) {
        column[k] = first + k;
        e[k] = Abs(g - column[k]);
    }
    // ceil(g + foot) is first + 3 exactly when first + 2 < g + foot <= first + 3
    const V4d high = g + foot;
    V4l ok = inRange & (first >= 0) & (column[3] <= size - 1.0) & (column[2] < high) & (high <= column[3]);
    ok &= (e[0] > foot) & ~(e[1] > foot) & ~(e[2] > foot) & (e[3] > foot);
    return {ToInt(first), ok, 1 - e[1] * invFoot, 1 - e[2] * invFoot};
}

// The middle four pixels of a window whose left column is `column` and
// bottom row `row`, as (blue, green, red, 1) bytes: (column + 1, row + 1),
// (column + 2, row + 1), (column + 1, row + 2), (column + 2, row + 2). Each
// row is read as 8 bytes that end at the last of its two pixels (24 bits:
// starting 2 bytes into column `column`).
template <Source S>
inline V16b MiddleFour(const SourceImage& s, int column, int row)
{
    constexpr int kStep = S == Source::Bgr24 ? 3 : 4;
    constexpr int kLead = S == Source::Bgr24 ? 2 : 0;
    const std::uint8_t* p = s.bits + (row + 1) * s.stride + kStep * (column + 1) - kLead;
    std::uint64_t lower, upper;
    std::memcpy(&lower, p, 8);
    std::memcpy(&upper, p + s.stride, 8);
    const V16b bytes = (V16b)V2q{lower, upper};
    const V16b one = {1};
    if constexpr (S == Source::Bgr24)
        return __builtin_shufflevector(bytes, one, 2, 3, 4, 16, 5, 6, 7, 16, 10, 11, 12, 16, 13, 14, 15, 16);
    else
        return __builtin_shufflevector(bytes, one, 0, 1, 2, 16, 4, 5, 6, 16, 8, 9, 10, 16, 12, 13, 14, 16);
}

// The low eight bytes in float lanes (element by element: one widening
// instruction, where GCC 12 takes __builtin_convertvector apart).
inline V8f LowToFloat(V16b v)
{
    return __builtin_convertvector(V8i{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]}, V8f);
}

// The mixes of samples a and b side by side, (blue, green, red, weight)
// for a in lanes 0 to 3 and b in 4 to 7: samples A and A + 1 of the four
// whose weights w11 ... w22 hold.
template <int A>
inline V8f MixPair(V16b a, V16b b, V4f w11, V4f w12, V4f w21, V4f w22)
{
    const auto spread = [](V4f w) { return __builtin_shufflevector(w, w, A, A, A, A, A + 1, A + 1, A + 1, A + 1); };
    const V16b upper = __builtin_shufflevector(a, b, 0, 1, 2, 3, 16, 17, 18, 19, 4, 5, 6, 7, 20, 21, 22, 23);
    const V16b lower = __builtin_shufflevector(a, b, 8, 9, 10, 11, 24, 25, 26, 27, 12, 13, 14, 15, 28, 29, 30, 31);
    const V16b upper12 = __builtin_shufflevector(upper, upper, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7);
    const V16b lower22 = __builtin_shufflevector(lower, lower, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7);
    const V8f top = LowToFloat(upper) * spread(w11) + LowToFloat(upper12) * spread(w12);
    const V8f bottom = LowToFloat(lower) * spread(w21) + LowToFloat(lower22) * spread(w22);
    return top + bottom;
}

// Rounds the two mixes of MixPair and writes each whose three channels are
// clear of a rounding step and whose weights add up to 0.5 at least.
// Returns which were written: bit 0 for a, bit 1 for b.
inline unsigned PutPair(V8f mix, std::uint8_t* outA, std::uint8_t* outB)
{
    const V8f weight = __builtin_shufflevector(mix, mix, 3, 3, 3, 3, 7, 7, 7, 7);
    const V8i heavy = weight >= 0.5f;
    // Light lanes are not written; 0 keeps their conversion defined. Heavy
    // ones are above 0, where truncation is floor.
    const V8f t = heavy ? mix / weight + 0.5f : 0;
    const V8i ints = __builtin_convertvector(t, V8i);
    const V8f part = t - __builtin_convertvector(ints, V8f);
    V8i sure = heavy & (part >= kRoundingMargin) & (part <= 1.0f - kRoundingMargin);
    // lanes 0 and 4: whether a's and b's three channels are sure
    sure &= __builtin_shufflevector(sure, sure, 1, 2, 0, 0, 5, 6, 4, 4) &
            __builtin_shufflevector(sure, sure, 2, 0, 0, 0, 6, 4, 4, 4);
    const auto put = [](V4i lanes, std::uint8_t* out) {
        const V16b bytes = (V16b)lanes;
        const std::uint32_t bgr = ((V4u)__builtin_shufflevector(bytes, bytes, 0, 4, 8, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                                0, 0))[0];
        out[0] = static_cast<std::uint8_t>(bgr);
        out[1] = static_cast<std::uint8_t>(bgr >> 8);
        out[2] = static_cast<std::uint8_t>(bgr >> 16);
    };
    unsigned written = 0;
    if (sure[0]) {
        put(V4i{ints[0], ints[1], ints[2], ints[3]}, outA);
        written |= 1;
    }
    if (sure[4]) {
        put(V4i{ints[4], ints[5], ints[6], ints[7]}, outB);
        written |= 2;
    }
    return written;
}

// The four samples of New Picture pixels (x ... x + 3, y), mapped with
// exactly the sampler's doubles (MapToSource).
template <Source S>
unsigned Bilinear4(const SourceImage& src, const CSampler& s, int x, int y, std::uint8_t* out)
{
    const V4d xs = ToDouble(V4i{x, x + 1, x + 2, x + 3}) * s.InvScaleX() + 0.0;
    const double ys = y * s.InvScaleY() + 0.0;
    const V4d u = xs - s.CenterX();
    const double v = ys - s.CenterY();
    const V4d gx = s.CenterX() + u * s.Cos() + v * s.Sin();
    const V4d gy = s.CenterY() - u * s.Sin() + v * s.Cos();

    const ShortcutAxis cx = AxisOf(gx, s.FootX(), s.InvFootX(), src.width);
    const ShortcutAxis cy = AxisOf(gy, s.FootY(), s.InvFootY(), src.height);
    const unsigned ok = LaneBits(cx.ok & cy.ok);
    if (ok == 0)
        return 0;
    // a sample not taken has no pixels, so its weights add up to 0
    V16b px[4] = {};
    for (int k = 0; k < 4; ++k)
        if (ok >> k & 1)
            px[k] = MiddleFour<S>(src, cx.first[k], cy.first[k]);

    const V4f fx1 = __builtin_convertvector(cx.f1, V4f), fx2 = __builtin_convertvector(cx.f2, V4f);
    const V4f fy1 = __builtin_convertvector(cy.f1, V4f), fy2 = __builtin_convertvector(cy.f2, V4f);
    const V4f w11 = fx1 * fy1, w12 = fx2 * fy1, w21 = fx1 * fy2, w22 = fx2 * fy2;
    unsigned written = PutPair(MixPair<0>(px[0], px[1], w11, w12, w21, w22), out, out + 3);
    written |= PutPair(MixPair<2>(px[2], px[3], w11, w12, w21, w22), out + 6, out + 9) << 2;
    return written & ok;
}

} // namespace

int BilinearRow(const SourceImage& source, const CSampler& sampler, int x0, int y, int n, std::uint8_t* out,
                int* left)
{
    // Copies the writes to `out` cannot change, so they stay in registers.
    SourceImage src;
    src.kind = source.kind;
    src.bits = source.bits;
    src.stride = source.stride;
    src.width = source.width;
    src.height = source.height;
    const CSampler s = sampler;
    int count = 0;
    const auto row = [&](auto four) {
        int i = 0;
        for (; i + 4 <= n; i += 4)
            for (unsigned refused = ~four(src, s, x0 + i, y, out + 3 * i) & 0xF; refused; refused &= refused - 1)
                left[count++] = i + __builtin_ctz(refused);
        for (; i < n; ++i)
            left[count++] = i;
    };
    const bool footprint = s.FootX() < 4 && s.FootY() < 4;
    if (footprint && src.kind == Source::Bgr32)
        row(Bilinear4<Source::Bgr32>);
    else if (footprint && src.kind == Source::Bgr24)
        row(Bilinear4<Source::Bgr24>);
    else
        row([](const SourceImage&, const CSampler&, int, int, std::uint8_t*) { return 0u; });
    return count;
}

} // namespace lumacut::fast::LUMACUT_KERNELS
