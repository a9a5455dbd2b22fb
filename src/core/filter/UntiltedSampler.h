#pragma once
// The untilted sampler's windows, and its AVX2 path. Without a tilt the
// mapped column depends on the output column alone and the mapped row on
// the output row alone, so the columns' windows and tent factors are made
// once per band and the rows' once per output row.
#include "filter/FastPassParts.h"
#include "filter/SamplerParts.h"

#include <cstdint>

namespace lumacut::fast {

// The columns' windows and factors (Scratch::column*), once per band.
void PrepareUntiltedColumns(const Settled& st, Scratch& scratch);

// The rows' window and factors of output row y (Scratch::row*): returns the
// number of window rows and sets the first.
int PrepareUntiltedRows(const Settled& st, Scratch& scratch, int y, int& rowFirst);

#if defined(LUMACUT_WIDE_SAMPLER)
// The most window rows and columns the AVX2 path takes.
constexpr int kWideRowsMax = 8;
constexpr int kWideColumnsMax = 8;

// Samples a row whose window has 1 ... kWideRowsMax rows: every sample of
// up to kWideColumnsMax columns is written, except those of a single pixel
// (Scratch::columnSingle and rowSingle), which are the caller's; the indices
// of the others are left in Scratch::pending for the plain path. Needs AVX2.
void SampleRowUntiltedWide(const Settled& st, Scratch& scratch, int rowFirst, int rows, std::uint8_t* out);
#endif

} // namespace lumacut::fast
