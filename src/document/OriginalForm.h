#pragma once
// The one form in which the document keeps an Original, whatever form it
// arrived in: a 40-byte header, a full colour table of 4-byte entries for 1,
// 4 and 8 bits (2, 16 or 256 entries) and none for 24 and 32 bits, no
// bit-field masks, bottom-up rows right after the table. The picture
// model's readers (which take the table size from the colour count and the
// colour count from the bit count) read every such block correctly.
#include "picture/DibValidate.h"
#include "picture/MemBlock.h"

namespace lumacut {

// True when `check` (of a validated block) already describes that form.
bool IsOriginalForm(const DibCheck& check);

// `dib` in the form above: the same block when it already is, else a new one
// with the same pixels and depth (the core header's 3-byte entries widened,
// a short colour table filled up with black, masks and later header fields
// dropped, top-down rows turned over). Empty when no memory can be had.
// `check` must be ValidateDib's verdict on `dib` (check.ok).
CMemBlock ToOriginalForm(CMemBlock dib, const DibCheck& check);

// The colour count of that form for a bit count: 2, 16, 256, or 0.
int OriginalFormColors(int bitCount);

} // namespace lumacut
