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
    // Two-colour output only.
    int dither = kDitherNone;    // index in the Dither drop-down
    int linearLight = 0;
    int adaptive = 0;            // the record keeps radius 0 for off
    int adaptiveRadius = 0;      // shown while adaptive is off too
    double adaptiveK = 0.2;
};

// The radius the dialog offers when the record's adaptive threshold is off.
inline constexpr int kDefaultAdaptiveRadius = 15;
// The Dither drop-down, in DitherMethod order.
inline constexpr std::array<const char*, kDitherMethodCount> kDitherLabels = {
    "None", "Floyd\u2013Steinberg", "Atkinson", "Jarvis\u2013Judice\u2013Ninke", "Ordered 8\u00d78 (Bayer)",
    "Blue noise"};

// Output types by the New Picture's colour count.
inline constexpr int kOutputColorsTwo = 2;
inline constexpr int kOutputColorsGrey = 256;
inline constexpr int kOutputColorsTrue = 0;

// Everything but continuous update is taken from the record; the kind as
// OfferedKind gives it for the output type. A record with the adaptive
// threshold off shows the default radius, at most `radiusLimit`.
void LoadSettings(FilterDlgValues& values, const FilterSettings& settings, int outputColors,
                  int radiusLimit = kDefaultAdaptiveRadius);
// The adaptive threshold and dithering are alternatives: with adaptive on the
// record dithers with None, while the drop-down keeps its choice.
void StoreSettings(const FilterDlgValues& values, FilterSettings& settings);

// The kind the dialog checks for a record's kind: always one the output type
// offers and labels. Grey offers only "Normal Filter" (0) and "Sharp Filter"
// (3), and renders kinds 1 and 2 as Sharp Filter, so a record carrying one of
// them (its settings kept from a two-colour picture) is shown as 3: the
// same picture, under a button the user can see.
int OfferedKind(int outputColors, int kind);

struct FilterDlgLayout {
    std::array<const char*, 4> kindLabels{};
    std::array<bool, 4> kindEnabled{};
    std::array<bool, 3> valueEnabled{}; // red, green, blue edits
    bool lightDarkEnabled = true;
    bool contrastEnabled = true;
    bool gammaEnabled = true;
    bool sharpnessEnabled = true;
    // The two-colour group (Dither, Linear light, Auto, Adaptive threshold)
    // and the tone histogram.
    bool twoColorShown = false;
    bool ditherEnabled = false;
    bool linearLightEnabled = false;
    bool adaptiveFieldsEnabled = false; // Radius and K
    bool histogramShown = false;
};

FilterDlgLayout LayoutFor(int outputColors, const FilterDlgValues& values);

// Where the tone histogram marks the settings' threshold or reference, in its
// tone scale: the colour's brightness for kinds 0 to 2, the grey "Sharp
// Filter" byte of a half match for kind 3; -1 for none (a dithered or
// adaptive two-colour picture has no single threshold).
int ToneMarker(const FilterSettings& settings, int outputColors);

// The settings with every field the tone histogram does not depend on set to
// its default: equal keys give equal histograms, so a cached one is reused
// while only those fields change.
FilterSettings ToneHistogramKey(const FilterSettings& settings);

// The four sliders: range, tick spacing, and the unit of the value shown
// beside the slider.
struct SliderRange {
    int minimum;
    int maximum;
    int tick;
    const char* unit = "";
};
inline constexpr SliderRange kContrastSlider{0, 200, 10, " %"};
inline constexpr SliderRange kLightDarkSlider{-100, 100, 10};
inline constexpr SliderRange kGammaSlider{0, 100, 10};
inline constexpr SliderRange kSharpnessSlider{-100, 100, 20};

} // namespace lumacut
