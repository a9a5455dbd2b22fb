#pragma once
// "Emphasize Color" and "De-emphasize Color" in true colour, four pixels at a
// time in AVX2 lanes: the bytes are unpacked, the distance and the sum are
// integer lane arithmetic, and the weight, the mix and the curve are the
// very IEEE double operations of the formulas in the same order, so every
// byte equals the one-pixel evaluation. Internal to src/filter.
#include "filter/FastPassParts.h"

namespace lumacut::fast {

// Sets the lane filters of the settled kind (1 or 2), `mixLanes3` and
// `mixLanes4`, where the processor has AVX2 (else leaves them null). A lane
// filter does a multiple of four pixels and leaves at least two over (a
// short row: all of them).
void SettleTrueMixLanes(Settled& st);

} // namespace lumacut::fast
