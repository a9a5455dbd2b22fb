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
// brightness for kinds 0 to 2, the distance to the colour for kind 3, and the
// grey New Picture's byte when the settings dither.
Histogram ToneHistogram(const FilterSettings& settings, const RenderRequest& request);

// Otsu's threshold t: the split into values below t and the rest with the
// largest between-class variance. A histogram of one value gives that value.
int OtsuThreshold(const Histogram& histogram);

// Settings that make exactly the pixels whose brightness is below t black:
// "Define Filter", all channels active, colour (t, t, t), Light/Dark 0.
void SetThreshold(FilterSettings& settings, int t);

} // namespace lumacut
