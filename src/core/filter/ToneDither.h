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
#include <vector>

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

// Dithering row by row, from the top row as shown down: the error carried
// between rows and the maps' phase live here, so the tone can be rendered
// a few rows at a time.
class ToneDitherer {
public:
    ToneDitherer(const FilterSettings& s, const CPicture& target);
    // The next row: `width` tone bytes into the bits of a two-colour row.
    void Row(const std::uint8_t* tone, std::uint8_t* dst);

private:
    int m_method;
    int m_width;
    int m_row = 0;
    unsigned m_whiteBit;
    std::uint16_t m_value[256];       // the tone as 0..65535, in linear light or not
    std::vector<std::int32_t> m_errors; // three rows of diffused error, with margins
    std::vector<std::int32_t> m_cut;    // a map's thresholds in the value's scale
    std::vector<std::uint8_t> m_white;  // the row's outcome, a byte a pixel
    int m_side = 0;
};

// The tone picture (grey, same size) into the two-colour target: the
// adaptive threshold when adaptiveRadius > 0 (it wins over dithering), else
// the dither method. Rows are processed top to bottom as shown.
void TonesToTwoColor(const CPicture& tones, const FilterSettings& s, CPicture& target);

// The adaptive threshold of rows first .. end - 1 (from the top as shown):
// it reads the tone rows within adaptiveRadius of them. Each call sums its
// own window exactly, so bands may run on any thread in any order.
void AdaptiveRows(const CPicture& tones, const FilterSettings& s, CPicture& target, int first, int end);

} // namespace lumacut
