#pragma once
// The straightforward pass: reads, filters and writes one pixel at a time
// with the formulas as they stand. The fast pass is checked against it.
#include "filter/RenderPass.h"

namespace lumacut {

// The plain pass over the stored rows y0 + rowBegin .. y0 + rowEnd - 1 of the
// region.
void RunReferencePass(const PassJob& job, int rowBegin, int rowEnd);

} // namespace lumacut
