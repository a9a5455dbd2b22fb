#pragma once
// The tone filter's formulas: derived constants, the tone curve, and the
// decision or colour of every kind for the three output types. Pure functions
// of one pixel (red, green, blue bytes) and the settings; the render loop
// applies them. Integer arithmetic where the formula is integral; doubles in
// the plain evaluation order elsewhere, so results are the same everywhere.
#include "filter/FilterSettings.h"

#include <cstdint>

namespace lumacut {

// Computed once per render.
struct FilterConstants {
    double c = 1; // contrast x 0.01
    double k = 1; // (100 - gamma) / gamma; infinite at gamma 0
    double x = 0.001; // exp(sharpness x 0.05) x 0.001: match narrowness
};
FilterConstants DeriveConstants(const FilterSettings& settings);

// 1/255 as the curve stores it.
inline constexpr double kInv255 = 0.00392156862745098;
// The mean's factor: that decimal, not exactly one third.
inline constexpr double kThird = 0.333333333333;

// The tone curve T(v): bias curve, contrast about 128, light/dark, truncated
// toward zero and clamped to 0..255. A value that is not a finite number
// (gamma 0; gamma 100 at v = 0) gives 0.
std::uint8_t ToneCurve(double v, int lightDark, const FilterConstants& k);

// The same curve, inline for the render's inner loops. With `neutralBias`
// (k exactly 1) the bias step is skipped: its denominator is then exactly 1
// for every finite v, so the result is the same.
template <bool neutralBias = false>
inline std::uint8_t ToneCurveInline(double v, int lightDark, const FilterConstants& k)
{
    double y = neutralBias ? v : v / ((v * kInv255) * (1 - k.k) + k.k);
    double z = (y - 128) * k.c + 128 + lightDark;
    // Compare before converting: truncation toward zero, then the clamp, with
    // no out-of-range conversion for huge or non-finite values.
    if (!(z - z == 0)) // not finite
        return 0;
    if (z >= 255)
        return 255;
    if (z <= 0)
        return 0;
    return static_cast<std::uint8_t>(static_cast<int>(z));
}

// Closeness of a pixel at distance D from a colour: u = 1 / (D x + 1).
inline double Closeness(int distance, double x)
{
    return 1 / (distance * x + 1);
}

// "Sharp Filter" grey value: 255 / (x D + 1) truncated. It lies in 0..255
// for any x >= 0; anything else (a nonsense sharpness) stays defined.
inline int SharpGrey(int distance, double x)
{
    double g = 255 / (x * distance + 1);
    if (!(g > 0))
        return 0;
    if (g >= 255)
        return 255;
    return static_cast<int>(g);
}

// Sum over the active channels of (p - q)^2; 0 with no channel active.
int ColorDistance(int red, int green, int blue, std::uint32_t color, const FilterSettings& s);

// ---- two colour ---------------------------------------------------------------
// The decision d of the settings' kind (0..3); d = 1 means black unless Negative.
int TwoColorDecision(int red, int green, int blue, const FilterSettings& s, const FilterConstants& k);
// The output index: 1 (white) when d equals `negative`, else 0 (black).
inline int TwoColorIndex(int decision, const FilterSettings& s) { return decision == s.negative ? 1 : 0; }

// ---- grey ----------------------------------------------------------------------
// The grey value g before the curve: kind 0 the filtered mean, every other
// kind the closeness to `color`.
int GreyInput(int red, int green, int blue, const FilterSettings& s, const FilterConstants& k);
// The output byte: T(g), or 255 - T(g) with Negative.
std::uint8_t GreyPixel(int red, int green, int blue, const FilterSettings& s, const FilterConstants& k);

// ---- true colour ------------------------------------------------------------------
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The reference colours of kind 3 in true colour: the colour list when it
// holds at least two entries, otherwise `color` alone.
struct ReferenceColors {
    std::uint32_t colors[10] = {};
    int count = 0;
};
ReferenceColors ChooseReferenceColors(const FilterSettings& s, const std::uint32_t* list, int listCount);

Rgb TrueColorPixel(int red, int green, int blue, const FilterSettings& s, const FilterConstants& k,
                   const ReferenceColors& refs);

} // namespace lumacut
