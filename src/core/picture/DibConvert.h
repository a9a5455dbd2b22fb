#pragma once
// Any validated DIB (DibValidate.h) as the program's own 24-bit picture: a
// 40-byte header, no colour table, bottom-up rows padded to 4 bytes.
#include "picture/DibValidate.h"
#include "picture/MemBlock.h"

#include <cstdint>

namespace lumacut {

// `dib` must be the bytes `check` was made from (check.ok). Indices beyond
// the colour table read as black; a 32-bit pixel's fourth byte is dropped;
// top-down rows are turned over. Empty when the block cannot be allocated.
CMemBlock DibToTrueColor(const std::uint8_t* dib, const DibCheck& check);

} // namespace lumacut
