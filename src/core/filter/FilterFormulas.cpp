#include "filter/FilterFormulas.h"

#include <cmath>
#include <limits>

namespace lumacut {

FilterConstants DeriveConstants(const FilterSettings& settings)
{
    FilterConstants k;
    k.c = settings.contrast * 0.01;
    // Gamma 0 makes the bias infinite; said outright rather than left to a
    // division by zero.
    k.k = settings.gamma == 0 ? std::numeric_limits<double>::infinity()
                              : (100.0 - settings.gamma) / settings.gamma;
    k.x = std::exp(settings.sharpness * 0.05) * 0.001;
    return k;
}

std::uint8_t ToneCurve(double v, int lightDark, const FilterConstants& k)
{
    return ToneCurveInline(v, lightDark, k);
}

int ColorDistance(int red, int green, int blue, std::uint32_t color, const FilterSettings& s)
{
    int d = 0;
    if (s.activeRed) {
        int e = red - RedOf(color);
        d += e * e;
    }
    if (s.activeGreen) {
        int e = green - GreenOf(color);
        d += e * e;
    }
    if (s.activeBlue) {
        int e = blue - BlueOf(color);
        d += e * e;
    }
    return d;
}

namespace {

struct Channel {
    bool active;
    int p; // pixel
    int q; // reference colour
};

struct Channels {
    Channel c[3];
};

Channels ChannelsOf(int red, int green, int blue, const FilterSettings& s)
{
    return {{{s.activeRed != 0, red, RedOf(s.color)},
             {s.activeGreen != 0, green, GreenOf(s.color)},
             {s.activeBlue != 0, blue, BlueOf(s.color)}}};
}

// "Define Black": every active channel has p + L <= q (true with none active).
int DefineBlack(const Channels& ch, int L, const FilterConstants&)
{
    for (const Channel& c : ch.c)
        if (c.active && !(c.p + L <= c.q))
            return 0;
    return 1;
}

// "Define White": some active channel has p + L < q.
int DefineWhite(const Channels& ch, int L, const FilterConstants&)
{
    for (const Channel& c : ch.c)
        if (c.active && c.p + L < c.q)
            return 1;
    return 0;
}

// "Define Filter": through a filter of the colour, darker than the colour.
int DefineFilter(const Channels& ch, int L, const FilterConstants&)
{
    int seen = 0, own = 0;
    for (const Channel& c : ch.c)
        if (c.active) {
            seen += (c.p + L) * c.q;
            own += c.q * c.q;
        }
    return seen < own ? 1 : 0;
}

// "Define Sharp": far from the colour.
int DefineSharp(const Channels& ch, int L, const FilterConstants& k)
{
    int sum = 0;
    for (const Channel& c : ch.c)
        if (c.active) {
            int e = c.p + L - c.q;
            sum += e * e;
        }
    return sum * k.x + 1 > 2 ? 1 : 0;
}

using TwoColorTest = int (*)(const Channels&, int, const FilterConstants&);
constexpr TwoColorTest kTwoColorTests[4] = {DefineBlack, DefineWhite, DefineFilter, DefineSharp};

} // namespace

int TwoColorDecision(int red, int green, int blue, const FilterSettings& s, const FilterConstants& k)
{
    if (s.kind < 0 || s.kind > 3)
        return 0; // refused by the render loop before any pixel
    return kTwoColorTests[s.kind](ChannelsOf(red, green, blue, s), s.lightDark, k);
}

int GreyInput(int red, int green, int blue, const FilterSettings& s, const FilterConstants& k)
{
    if (s.kind == kKindDefineBlack) {
        Channels ch = ChannelsOf(red, green, blue, s);
        int seen = 0, weight = 0;
        for (const Channel& c : ch.c)
            if (c.active) {
                seen += c.p * c.q;
                weight += c.q;
            }
        return weight == 0 ? 0 : seen / weight;
    }
    return SharpGrey(ColorDistance(red, green, blue, s.color, s), k.x);
}

std::uint8_t GreyPixel(int red, int green, int blue, const FilterSettings& s, const FilterConstants& k)
{
    std::uint8_t t = ToneCurve(GreyInput(red, green, blue, s, k), s.lightDark, k);
    return s.negative ? static_cast<std::uint8_t>(255 - t) : t;
}

ReferenceColors ChooseReferenceColors(const FilterSettings& s, const std::uint32_t* list, int listCount)
{
    ReferenceColors refs;
    if (list && listCount >= 2) {
        refs.count = listCount > 10 ? 10 : listCount;
        for (int i = 0; i < refs.count; ++i)
            refs.colors[i] = list[i];
    } else {
        refs.count = 1;
        refs.colors[0] = s.color;
    }
    return refs;
}

Rgb TrueColorPixel(int red, int green, int blue, const FilterSettings& s, const FilterConstants& k,
                   const ReferenceColors& refs)
{
    const int L = s.lightDark;
    Rgb out;
    switch (s.kind) {
    case kKindDefineBlack:
        out = {ToneCurve(red, L, k), ToneCurve(green, L, k), ToneCurve(blue, L, k)};
        break;
    case kKindDefineWhite:
    case kKindDefineFilter: {
        double m = (red + green + blue) * kThird;
        double u = Closeness(ColorDistance(red, green, blue, s.color, s), k.x);
        auto mix = [&](int a) {
            return s.kind == kKindDefineWhite ? a * u + (1 - u) * m : a * (1 - u) + u * m;
        };
        out = {ToneCurve(mix(red), L, k), ToneCurve(mix(green), L, k), ToneCurve(mix(blue), L, k)};
        break;
    }
    default: {
        bool near = false;
        for (int i = 0; i < refs.count && !near; ++i)
            near = ColorDistance(red, green, blue, refs.colors[i], s) * k.x < 0.05;
        out = near ? Rgb{255, 255, 255} : Rgb{ToneCurve(red, L, k), ToneCurve(green, L, k), ToneCurve(blue, L, k)};
        break;
    }
    }
    if (s.negative)
        out = {static_cast<std::uint8_t>(255 - out.red), static_cast<std::uint8_t>(255 - out.green),
               static_cast<std::uint8_t>(255 - out.blue)};
    return out;
}

} // namespace lumacut
