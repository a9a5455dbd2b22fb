#pragma once
// The values behind the filter dialog and the rules that lay it out: which
// labels the kind buttons carry and which controls are enabled for each
// output type. Plain data, so the rules are tested without widgets.
#include "filter/FilterSettings.h"

#include <array>

namespace lumacut {

// The dialog's members. Ints, as the controls exchange them; StoreSettings
// takes the low byte of a colour value and turns flags into 0 or 1.
struct FilterDlgValues {
    int red = 0, green = 0, blue = 0;
    int activeRed = 0, activeGreen = 0, activeBlue = 0;
    int kind = -1;               // index of the checked kind button, -1 for none
    int negative = 0;
    int continuousUpdate = 1;    // on: every change renders at once
    int lightDark = 0, contrast = 0, gamma = 0, sharpness = 0;
};

// Everything but continuous update is taken from the record.
void LoadSettings(FilterDlgValues& values, const FilterSettings& settings);
void StoreSettings(const FilterDlgValues& values, FilterSettings& settings);

// Output types by the New Picture's colour count.
inline constexpr int kOutputColorsTwo = 2;
inline constexpr int kOutputColorsGrey = 256;
inline constexpr int kOutputColorsTrue = 0;

struct FilterDlgLayout {
    std::array<const char*, 4> kindLabels{};
    std::array<bool, 4> kindEnabled{};
    std::array<bool, 3> valueEnabled{}; // red, green, blue edits
    bool lightDarkEnabled = true;
    bool contrastEnabled = true;
    bool gammaEnabled = true;
    bool sharpnessEnabled = true;
};

FilterDlgLayout LayoutFor(int outputColors, const FilterDlgValues& values);

// The four sliders: range, tick spacing.
struct SliderRange {
    int minimum;
    int maximum;
    int tick;
};
inline constexpr SliderRange kContrastSlider{0, 200, 10};
inline constexpr SliderRange kLightDarkSlider{-100, 100, 10};
inline constexpr SliderRange kGammaSlider{0, 100, 10};
inline constexpr SliderRange kSharpnessSlider{-100, 100, 20};

} // namespace lumacut
