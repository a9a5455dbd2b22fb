// The filter dialog's two-colour fields: round trip through the record, the
// enabling rules, and what the tone histogram marks and is cached by.
#include "filter/FilterDlgModel.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumacut;

namespace {

FilterSettings TwoColour(int dither, int linearLight, int radius, double k)
{
    FilterSettings s;
    s.dither = dither;
    s.linearLight = static_cast<std::uint8_t>(linearLight);
    s.adaptiveRadius = radius;
    s.adaptiveK = k;
    return s;
}

} // namespace

TEST(FilterDlgModel, TwoColourFieldsSurviveLoadAndStore)
{
    const FilterSettings records[] = {
        TwoColour(kDitherNone, 0, 0, 0.2),          TwoColour(kDitherFloydSteinberg, 1, 0, 0.2),
        TwoColour(kDitherAtkinson, 0, 0, 0.5),      TwoColour(kDitherJarvisJudiceNinke, 1, 0, 0.2),
        TwoColour(kDitherOrdered, 0, 0, 0.2),       TwoColour(kDitherBlueNoise, 1, 0, 1.0),
        TwoColour(kDitherNone, 0, 7, 0.35),         TwoColour(kDitherNone, 1, 1, 0.0),
    };
    for (const FilterSettings& s : records) {
        FilterDlgValues v;
        LoadSettings(v, s, kOutputColorsTwo, 100);
        FilterSettings out;
        StoreSettings(v, out);
        EXPECT_EQ(out, s) << "dither " << s.dither << " radius " << s.adaptiveRadius;
    }
}

TEST(FilterDlgModel, AdaptiveOffShowsTheDefaultRadiusWithinTheLimitAndAdaptiveOnStoresNoDither)
{
    struct {
        int limit, shown;
    } const cases[] = {{100, kDefaultAdaptiveRadius}, {4, 4}, {0, 1}};
    for (auto c : cases) {
        FilterDlgValues v;
        LoadSettings(v, FilterSettings{}, kOutputColorsTwo, c.limit);
        EXPECT_EQ(v.adaptive, 0);
        EXPECT_EQ(v.adaptiveRadius, c.shown) << c.limit;
    }
    // Both set: the adaptive threshold wins in the record, the drop-down
    // keeps its choice for when it is switched off.
    FilterDlgValues v;
    LoadSettings(v, TwoColour(kDitherAtkinson, 0, 5, 0.2), kOutputColorsTwo, 100);
    EXPECT_EQ(v.dither, kDitherAtkinson);
    FilterSettings out;
    StoreSettings(v, out);
    EXPECT_EQ(out.dither, kDitherNone);
    EXPECT_EQ(out.adaptiveRadius, 5);
    v.adaptive = 0;
    StoreSettings(v, out);
    EXPECT_EQ(out.dither, kDitherAtkinson);
    EXPECT_EQ(out.adaptiveRadius, 0);
}

TEST(FilterDlgModel, DitherAndAdaptiveEnableTheToneCurveForTwoColour)
{
    struct Case {
        int outputColors, dither, adaptive;
        bool curve, ditherEnabled, linearLight, adaptiveFields, twoColorShown, histogram;
    } const cases[] = {
        {kOutputColorsTwo, kDitherNone, 0, false, true, false, false, true, true},
        {kOutputColorsTwo, kDitherFloydSteinberg, 0, true, true, true, false, true, true},
        {kOutputColorsTwo, kDitherBlueNoise, 0, true, true, true, false, true, true},
        {kOutputColorsTwo, kDitherNone, 1, true, false, false, true, true, true},
        {kOutputColorsTwo, kDitherOrdered, 1, true, false, false, true, true, true},
        {kOutputColorsGrey, kDitherOrdered, 1, true, false, false, false, false, true},
        {kOutputColorsTrue, kDitherOrdered, 1, true, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        FilterDlgValues v;
        v.dither = c.dither;
        v.adaptive = c.adaptive;
        const FilterDlgLayout l = LayoutFor(c.outputColors, v);
        const std::string at = std::to_string(c.outputColors) + "/" + std::to_string(c.dither) + "/" +
                               std::to_string(c.adaptive);
        EXPECT_TRUE(l.lightDarkEnabled) << at;
        EXPECT_EQ(l.contrastEnabled, c.curve) << at;
        EXPECT_EQ(l.gammaEnabled, c.curve) << at;
        EXPECT_EQ(l.ditherEnabled, c.ditherEnabled) << at;
        EXPECT_EQ(l.linearLightEnabled, c.linearLight) << at;
        EXPECT_EQ(l.adaptiveFieldsEnabled, c.adaptiveFields) << at;
        EXPECT_EQ(l.twoColorShown, c.twoColorShown) << at;
        EXPECT_EQ(l.histogramShown, c.histogram) << at;
    }
}

TEST(FilterDlgModel, MarkerIsTheReferenceBrightnessOrTheHalfMatchAndNoneForTones)
{
    struct Case {
        int kind, negative, dither, radius, outputColors, marker;
    } const cases[] = {
        {kKindDefineFilter, 0, kDitherNone, 0, kOutputColorsTwo, 60},
        {kKindDefineBlack, 1, kDitherNone, 0, kOutputColorsGrey, 60},
        {kKindDefineSharp, 0, kDitherNone, 0, kOutputColorsTwo, 127},
        {kKindDefineSharp, 1, kDitherNone, 0, kOutputColorsGrey, 128},
        {kKindDefineBlack, 0, kDitherOrdered, 0, kOutputColorsTwo, -1},
        {kKindDefineSharp, 0, kDitherNone, 3, kOutputColorsTwo, -1},
    };
    for (const Case& c : cases) {
        FilterSettings s = TwoColour(c.dither, 0, c.radius, 0.2);
        s.color = MakeColor(30, 60, 91);
        s.kind = c.kind;
        s.negative = static_cast<std::uint8_t>(c.negative);
        EXPECT_EQ(ToneMarker(s, c.outputColors), c.marker) << c.kind << "/" << c.dither << "/" << c.radius;
    }
}

TEST(FilterDlgModel, HistogramKeyIgnoresOnlyWhatTheTonesDoNotDependOn)
{
    FilterSettings base;
    base.color = MakeColor(1, 2, 3);
    FilterSettings curve = base;
    curve.lightDark = 40;
    curve.contrast = 150;
    curve.negative = 1;
    curve.color = MakeColor(9, 9, 9);
    // Brightness: nothing counts.
    EXPECT_EQ(ToneHistogramKey(base), ToneHistogramKey(curve));
    // The grey byte (kind 3, or dithered, or adaptive): the grey settings
    // count, the dither method and the two-colour details do not.
    for (auto tone : {+[](FilterSettings& s) { s.kind = kKindDefineSharp; },
                      +[](FilterSettings& s) { s.dither = kDitherFloydSteinberg; },
                      +[](FilterSettings& s) { s.adaptiveRadius = 4; }}) {
        FilterSettings a = base, b = curve;
        tone(a);
        tone(b);
        EXPECT_NE(ToneHistogramKey(a), ToneHistogramKey(b));
        FilterSettings other = a;
        other.linearLight = 1;
        other.adaptiveK = 0.7;
        if (other.dither != kDitherNone)
            other.dither = kDitherBlueNoise;
        EXPECT_EQ(ToneHistogramKey(a), ToneHistogramKey(other));
    }
}
