#pragma once
// Turning a photo upright as its Exif orientation value says (1..8):
// 1 as stored, 2 mirrored left to right, 3 turned 180 degrees, 4 mirrored top
// to bottom, 5 transposed (across the top-left to bottom-right diagonal),
// 6 turned 90 degrees clockwise, 7 transversed (across the other diagonal),
// 8 turned 90 degrees counter-clockwise.
#include "picture/MemBlock.h"

#include <string_view>

namespace lumacut {

// Replaces the 24-bit bottom-up DIB (40-byte header) in `dib` with the
// upright picture. Values 5..8 swap width and height and the two resolution
// fields. Values outside 2..8 leave the block as it is and return true;
// false (the block unchanged) when the block is not such a DIB or the new
// block cannot be had.
bool TurnUpright(CMemBlock& dib, int orientation);

// What was done for the information box; empty for values outside 2..8.
std::string_view OrientationPhrase(int orientation);

} // namespace lumacut
