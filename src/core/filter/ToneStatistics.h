#pragma once
// What the filter dialog and lumacut-render aim by: histograms of the
// Original as sampled for a render, and the automatic threshold.
#include "filter/FilterSettings.h"
#include "filter/RenderLoop.h"

#include <array>
#include <cstdint>

namespace lumacut {

using Histogram = std::array<std::uint64_t, 256>;

// The brightness (the integer mean of red, green and blue) of every pixel of
// the Original as this request samples it (scale, footprint, tilt, clip).
Histogram BrightnessHistogram(const RenderRequest& request);

// The tone that the settings' kind works on, of every sampled pixel:
// brightness for kinds 0 to 2; for kind 3, and whenever the settings dither
// or threshold adaptively, the grey New Picture's byte ("Sharp Filter" for
// kind 3, which falls as the distance to the colour grows, so it fits 256
// bins; "Normal Filter" for the others).
Histogram ToneHistogram(const FilterSettings& settings, const RenderRequest& request);

// Otsu's threshold t: the split into values below t and the rest with the
// largest between-class variance. A histogram of one value gives that value.
int OtsuThreshold(const Histogram& histogram);

// Settings that make exactly the pixels whose brightness is below t black:
// "Define Filter", all channels active, colour (t, t, t), Light/Dark 0; also
// Negative, dithering and the adaptive threshold off, which would undo that.
// The decision t (r + g + b) < 3 t^2 is r + g + b < 3 t for t > 0, so the
// colour is t itself; t is clamped to 0..255 (0: nothing black).
void SetThreshold(FilterSettings& settings, int t);

} // namespace lumacut
