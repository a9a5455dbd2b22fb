// The colour rows of the fast pass: grey "Sharp Filter" and the true-colour
// kinds 1 to 3, four pixels in each group of lanes. Every lane computes the
// IEEE doubles of the plain formulas in the same order.
#include "filter/kernels/Lanes.h"

namespace lumacut::fast::LUMACUT_KERNELS {

namespace {

// Four pixels `Step` bytes apart (16 bytes read), each channel's bytes in
// 32-bit lanes.
template <int Step>
inline void Load(const std::uint8_t* src, V4i (&p)[3])
{
    constexpr int S = Step, Z = 16;
    V16b bytes;
    std::memcpy(&bytes, src, 16);
    const V16b zero = {};
    p[kB] = (V4i)__builtin_shufflevector(bytes, zero, 0, Z, Z, Z, S, Z, Z, Z, 2 * S, Z, Z, Z, 3 * S, Z, Z, Z);
    p[kG] = (V4i)__builtin_shufflevector(bytes, zero, 1, Z, Z, Z, S + 1, Z, Z, Z, 2 * S + 1, Z, Z, Z, 3 * S + 1, Z,
                                         Z, Z);
    p[kR] = (V4i)__builtin_shufflevector(bytes, zero, 2, Z, Z, Z, S + 2, Z, Z, Z, 2 * S + 2, Z, Z, Z, 3 * S + 2, Z,
                                         Z, Z);
}

// Four pixels' channel lanes (each 0..255) as 12 bytes, each xor `flip`;
// 16 are written.
inline void Store(const V4i (&c)[3], V16b flip, std::uint8_t* dst)
{
    const V16b b = (V16b)c[kB], g = (V16b)c[kG], r = (V16b)c[kR];
    const V16b bg = __builtin_shufflevector(b, g, 0, 16, 0, 4, 20, 4, 8, 24, 8, 12, 28, 12, 0, 0, 0, 0);
    const V16b bgr = __builtin_shufflevector(bg, r, 0, 1, 16, 3, 4, 20, 6, 7, 24, 9, 10, 28, 12, 13, 14, 15) ^ flip;
    std::memcpy(dst, &bgr, 16);
}

// A colour and the channels compared with it.
struct Colour {
    V4i q[3];
    V4i active[3];

    Colour() = default;
    Colour(const ColourLanes& c, int j)
    {
        for (int ch = 0; ch < 3; ++ch) {
            q[ch] = V4i{} + c.colour[j][ch];
            active[ch] = V4i{} + c.active[ch];
        }
    }

    // ColorDistance, lane by lane.
    V4i Distance(const V4i (&p)[3]) const
    {
        V4i d = {};
        for (int ch = 0; ch < 3; ++ch) {
            const V4i e = (p[ch] - q[ch]) & active[ch];
            d += e * e;
        }
        return d;
    }
};

// Groups of four pixels go through a kernel up to kGroups at a time, in
// passes that keep the divisions apart from the plain arithmetic waiting
// for them.
constexpr int kGroups = 8;

// "Emphasize Color" (emphasize) and "De-emphasize Color": the tone curve
// T(v) (ToneCurveInline) of a mix of each channel with the mean, weighted
// by the closeness u. Without branches: where z is bounded (ColourLanes),
// it is converted and clamped as an integer, else 0 where it is not finite
// and clamped before the conversion.
template <int Step, bool emphasize, bool neutralBias, Curve curve>
struct Mix {
    explicit Mix(const ColourLanes& c)
        : colour(c, 0), x(c.k.x), k(c.k.k), contrast(c.k.c), light(c.lightDark), flip(V16b{} + std::uint8_t(c.flip))
    {
    }

    void operator()(const std::uint8_t* src, std::uint8_t* dst, int groups) const
    {
        // The channels in doubles: sums of these small whole numbers are
        // exact, so they equal the plain formulas' integer ones.
        V4d a[kGroups][3], u[kGroups], y[kGroups][3];
        V4i out[3];
        for (int g = 0; g < groups; ++g) {
            V4i p[3];
            Load<Step>(src + 4 * Step * g, p);
            u[g] = 1.0 / (ToDouble(colour.Distance(p)) * x + 1);
            for (int ch = 0; ch < 3; ++ch)
                a[g][ch] = ToDouble(p[ch]);
        }
        for (int g = 0; g < groups; ++g) {
            const V4d m = (a[g][kR] + a[g][kG] + a[g][kB]) * kThird;
            for (int ch = 0; ch < 3; ++ch) {
                const V4d v = emphasize ? a[g][ch] * u[g] + (1 - u[g]) * m : a[g][ch] * (1 - u[g]) + u[g] * m;
                if constexpr (neutralBias)
                    out[ch] = Contrast(v);
                else
                    y[g][ch] = v / ((v * kInv255) * (1 - k) + k);
            }
            if constexpr (neutralBias)
                Store(out, flip, dst + 12 * g);
        }
        if constexpr (!neutralBias)
            for (int g = 0; g < groups; ++g) {
                for (int ch = 0; ch < 3; ++ch)
                    out[ch] = Contrast(y[g][ch]);
                Store(out, flip, dst + 12 * g);
            }
    }

    // The curve's last steps, from y: contrast, light/dark, clamp, truncation.
    V4i Contrast(V4d y) const
    {
        const V4d z = (curve == Curve::BoundedUnitContrast ? y - 128 : (y - 128) * contrast) + 128 + light;
        if constexpr (curve != Curve::Checked) {
            // written so that GCC makes min and max instructions of them
            const V4i t = ToInt(z);
            const V4i high = t > 255 ? 255 : t;
            return high > 0 ? high : 0;
        }
        V4d t = z < 255 ? z : 255;
        t = t > 0 ? t : 0;
        return ToInt(z - z == 0 ? t : 0);
    }

    Colour colour;
    double x, k, contrast, light;
    V16b flip;
};

// True colour kind 3: white where some reference colour is near, else the
// curve of each channel.
template <int Step>
struct Near {
    explicit Near(const ColourLanes& c) : lanes(c)
    {
        for (int j = 0; j < c.references; ++j)
            colours[j] = Colour(c, j + 1);
    }

    void operator()(const std::uint8_t* src, std::uint8_t* dst, int groups) const
    {
        for (int g = 0; g < groups; ++g, src += 4 * Step, dst += 12) {
            V4i p[3];
            Load<Step>(src, p);
            V4i near = {};
            for (int j = 0; j < lanes.references; ++j)
                near |= colours[j].Distance(p) < lanes.nearLimit;
            V4i out[3];
            for (int ch = 0; ch < 3; ++ch) {
                const V4i tone = {lanes.tone[p[ch][0]], lanes.tone[p[ch][1]], lanes.tone[p[ch][2]],
                                  lanes.tone[p[ch][3]]};
                out[ch] = near ? lanes.white : tone;
            }
            Store(out, V16b{}, dst);
        }
    }

    const ColourLanes& lanes;
    Colour colours[10];
};

// Grey "Sharp Filter": T(SharpGrey(D, x)).
template <int Step>
struct SharpGrey {
    explicit SharpGrey(const ColourLanes& c) : lanes(c), colour(c, 0), x(c.k.x) {}

    void operator()(const std::uint8_t* src, std::uint8_t* dst, int groups) const
    {
        V4i grey[kGroups];
        for (int g = 0; g < groups; ++g) {
            V4i p[3];
            Load<Step>(src + 4 * Step * g, p);
            const V4d d = 255 / (x * ToDouble(colour.Distance(p)) + 1);
            V4d t = d < 255 ? d : 255;
            t = d > 0 ? t : 0;
            grey[g] = ToInt(t);
        }
        for (int g = 0; g < groups; ++g)
            for (int i = 0; i < 4; ++i)
                dst[4 * g + i] = lanes.tone[grey[g][i]];
    }

    const ColourLanes& lanes;
    Colour colour;
    double x;
};

// A row through `Kernel<Step>`: kGroups groups of four pixels at a time
// while their 16-byte reads and writes stay inside the row, then the last
// few pixels through padded copies. `Out`: bytes written a pixel.
template <template <int> class Kernel, int Out>
void Lanes(const ColourLanes& c, const std::uint8_t* src, int step, int n, std::uint8_t* dst)
{
    const auto run = [&](auto kernel, int bytes) {
        const int whole = n >= 6 ? (n - 2) / 4 : 0;
        for (int g = 0; g < whole; g += kGroups)
            kernel(src + std::int64_t{4 * g} * bytes, dst + std::int64_t{4 * g} * Out,
                   whole - g < kGroups ? whole - g : kGroups);
        const int i = 4 * whole;
        if (i == n)
            return;
        std::uint8_t in[4 * 4 * kGroups + 16] = {}, out[4 * Out * kGroups + 16];
        std::memcpy(in, src + std::int64_t{i} * bytes, std::size_t(n - i) * bytes);
        kernel(in, out, (n - i + 3) / 4);
        std::memcpy(dst + std::int64_t{i} * Out, out, std::size_t(n - i) * Out);
    };
    if (step == 4)
        run(Kernel<4>(c), 4);
    else
        run(Kernel<3>(c), 3);
}

template <bool emphasize, bool neutralBias, Curve curve>
struct MixOf {
    template <int Step>
    using Kernel = Mix<Step, emphasize, neutralBias, curve>;
};

template <bool emphasize, bool neutralBias>
ColourRow MixRow(Curve curve)
{
    switch (curve) {
    case Curve::Checked: return Lanes<MixOf<emphasize, neutralBias, Curve::Checked>::template Kernel, 3>;
    case Curve::Bounded: return Lanes<MixOf<emphasize, neutralBias, Curve::Bounded>::template Kernel, 3>;
    default: return Lanes<MixOf<emphasize, neutralBias, Curve::BoundedUnitContrast>::template Kernel, 3>;
    }
}

} // namespace

void TrueMix(const ColourLanes& c, const std::uint8_t* src, int step, int n, std::uint8_t* dst)
{
    const ColourRow row = c.emphasize ? (c.neutralBias ? MixRow<true, true>(c.curve) : MixRow<true, false>(c.curve))
                                       : (c.neutralBias ? MixRow<false, true>(c.curve) : MixRow<false, false>(c.curve));
    row(c, src, step, n, dst);
}

void TrueNear(const ColourLanes& c, const std::uint8_t* src, int step, int n, std::uint8_t* dst)
{
    Lanes<Near, 3>(c, src, step, n, dst);
}

void GreySharp(const ColourLanes& c, const std::uint8_t* src, int step, int n, std::uint8_t* dst)
{
    Lanes<SharpGrey, 1>(c, src, step, n, dst);
}

} // namespace lumacut::fast::LUMACUT_KERNELS
