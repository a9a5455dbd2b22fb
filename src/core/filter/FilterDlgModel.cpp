#include "filter/FilterDlgModel.h"

#include "filter/FilterFormulas.h"
#include "filter/ToneDither.h"

#include <algorithm>

namespace lumacut {

int OfferedKind(int outputColors, int kind)
{
    if (outputColors == kOutputColorsGrey && (kind == kKindDefineWhite || kind == kKindDefineFilter))
        return kKindDefineSharp;
    return kind;
}

void LoadSettings(FilterDlgValues& v, const FilterSettings& s, int outputColors, int radiusLimit)
{
    v.red = RedOf(s.color);
    v.green = GreenOf(s.color);
    v.blue = BlueOf(s.color);
    v.activeRed = s.activeRed;
    v.activeGreen = s.activeGreen;
    v.activeBlue = s.activeBlue;
    v.negative = s.negative;
    v.kind = OfferedKind(outputColors, s.kind);
    v.sharpness = s.sharpness;
    v.lightDark = s.lightDark;
    v.contrast = s.contrast;
    v.gamma = s.gamma;
    v.dither = s.dither >= 0 && s.dither < kDitherMethodCount ? s.dither : kDitherNone;
    v.linearLight = s.linearLight;
    v.adaptive = s.adaptiveRadius > 0 ? 1 : 0;
    v.adaptiveRadius = v.adaptive ? s.adaptiveRadius : std::max(1, std::min(kDefaultAdaptiveRadius, radiusLimit));
    v.adaptiveK = s.adaptiveK;
}

void StoreSettings(const FilterDlgValues& v, FilterSettings& s)
{
    s.color = MakeColor(static_cast<std::uint8_t>(v.red & 0xFF), static_cast<std::uint8_t>(v.green & 0xFF),
                        static_cast<std::uint8_t>(v.blue & 0xFF));
    s.activeRed = v.activeRed != 0 ? 1 : 0;
    s.activeGreen = v.activeGreen != 0 ? 1 : 0;
    s.activeBlue = v.activeBlue != 0 ? 1 : 0;
    s.negative = v.negative != 0 ? 1 : 0;
    s.kind = v.kind;
    s.sharpness = v.sharpness;
    s.lightDark = v.lightDark;
    s.contrast = v.contrast;
    s.gamma = v.gamma;
    s.dither = v.adaptive ? kDitherNone : v.dither;
    s.linearLight = v.linearLight != 0 ? 1 : 0;
    s.adaptiveRadius = v.adaptive ? v.adaptiveRadius : 0;
    s.adaptiveK = v.adaptiveK;
}

FilterDlgLayout LayoutFor(int outputColors, const FilterDlgValues& v)
{
    FilterDlgLayout l;
    l.valueEnabled = {v.activeRed != 0, v.activeGreen != 0, v.activeBlue != 0};
    l.kindEnabled = {true, true, true, true};
    if (outputColors == kOutputColorsTwo) {
        l.kindLabels = {"Define Black", "Define White", "Define Filter", "Define Sharp"};
        l.sharpnessEnabled = v.kind == 3;
        // Dithered or adaptive, the picture comes from grey tones, which the
        // whole tone curve shapes.
        const bool dithers = v.adaptive == 0 && v.dither != kDitherNone;
        l.contrastEnabled = dithers || v.adaptive != 0;
        l.gammaEnabled = l.contrastEnabled;
        l.twoColorShown = true;
        l.ditherEnabled = v.adaptive == 0;
        l.linearLightEnabled = dithers;
        l.adaptiveFieldsEnabled = v.adaptive != 0;
        l.histogramShown = true;
    } else if (outputColors == kOutputColorsGrey) {
        l.kindLabels = {"Normal Filter", "  ", "  ", "Sharp Filter"};
        l.kindEnabled = {true, false, false, true};
        l.sharpnessEnabled = v.kind == 3;
        l.histogramShown = true;
    } else {
        l.kindLabels = {"No Filter", "Emphasize Color", "De-emphasize Color", "Define Sharp"};
        l.sharpnessEnabled = v.kind != 0;
    }
    return l;
}

int ToneMarker(const FilterSettings& s, int outputColors)
{
    // Dithered or adaptive, black and white are not split at one tone.
    if (outputColors == kOutputColorsTwo && UsesTone(s))
        return -1;
    if (s.kind == kKindDefineSharp) {
        // The histogram holds the grey "Sharp Filter" byte; the match is
        // half (D x = 1, where the two-colour decision flips) at 127 before
        // the curve.
        const int tone = ToneCurve(127, s.lightDark, DeriveConstants(s));
        return s.negative ? 255 - tone : tone;
    }
    return (RedOf(s.color) + GreenOf(s.color) + BlueOf(s.color)) / 3;
}

FilterSettings ToneHistogramKey(const FilterSettings& s)
{
    if (!UsesTone(s) && s.kind != kKindDefineSharp)
        return FilterSettings{}; // plain brightness: no setting counts
    // The grey byte: every grey setting counts, none of the two-colour ones.
    FilterSettings key = ToneSettings(s);
    const FilterSettings defaults;
    key.linearLight = defaults.linearLight;
    key.adaptiveK = defaults.adaptiveK;
    return key;
}

} // namespace lumacut
