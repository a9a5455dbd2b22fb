#pragma once
// Two-colour output from a tone: the bytes a grey New Picture would hold,
// turned into black and white by dithering or by Sauvola's local threshold.
// The render loop renders the tone with the grey pass, then calls
// TonesToTwoColor; everything here is sequential or made of exact integer
// sums, so the bits do not depend on how the grey pass was split.
#include "filter/FilterSettings.h"
#include "picture/CPicture.h"

#include <array>
#include <cstdint>

namespace lumacut {

// True when the two-colour output goes through the tone (dither or adaptive).
inline bool UsesTone(const FilterSettings& s)
{
    return s.adaptiveRadius > 0 || (s.dither > kDitherNone && s.dither < kDitherMethodCount);
}

// The grey settings whose byte is the tone: "Normal Filter" for kinds 0 to
// 2, "Sharp Filter" for kind 3.
FilterSettings ToneSettings(const FilterSettings& s);

// The 8 x 8 Bayer map, levels 0..63, and the 64 x 64 blue-noise map, levels
// 0..4095 (void and cluster, made at first use; always the same).
const std::array<std::uint8_t, 64>& BayerMap();
const std::array<std::uint16_t, 64 * 64>& BlueNoiseMap();

// sRGB decoding of a byte, scaled to 0..65535.
std::uint16_t LinearOf(int tone);

// The tone picture (grey, same size) into the two-colour target: the
// adaptive threshold when adaptiveRadius > 0 (it wins over dithering), else
// the dither method. Rows are processed top to bottom as shown.
void TonesToTwoColor(const CPicture& tones, const FilterSettings& s, CPicture& target);

} // namespace lumacut
