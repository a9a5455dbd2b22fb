#pragma once
// The tilted sampler: every sample has its own window. With AVX2, 24- and
// 32-bit Originals take the bilinear shortcut where it is sure of a sample
// and 4 x 4 windows in vectors otherwise.
#include "filter/FastPassParts.h"

#include <cstdint>

namespace lumacut::fast {

// One row of tilted samples (stored row y of the result) into `out`, 3 bytes
// a sample.
template <Source S>
void SampleRowTilted(const Settled& st, Scratch& scratch, int y, std::uint8_t* out);

} // namespace lumacut::fast
