#pragma once
// Pictures crossing the clipboard as packed DIBs. Outgoing pictures get the
// plain layout every program reads (40-byte header, full colour table,
// bottom-up rows); incoming bytes are untrusted and are checked by
// ValidateDib, then rebuilt in that same layout, keeping their depth.
#include "picture/MemBlock.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumacut {

class CPicture;

// The picture's pixels as a new packed DIB of exactly its size. Empty when the
// picture has no block, or its block does not hold what its fields describe.
CMemBlock PackedDibOf(const CPicture& picture);

// A BMP file image of a packed DIB made by PackedDibOf: the 14-byte file
// header followed by the DIB. Empty for an empty block.
std::vector<std::uint8_t> BmpFileBytes(const CMemBlock& packedDib);

// The DIB of a BMP file image (the clipboard's image/bmp). Empty, with the
// reason in `why`, when the bytes are not a picture this program can take.
CMemBlock DibFromBmpFileBytes(const std::uint8_t* data, std::size_t size, std::string& why);

// A packed DIB without file header, checked and rebuilt: 1, 4, 8, 24 and 32
// bits keep their depth; 1, 4 and 8 bits get a full colour table (entries the
// source lacks are black, so every index is in range); top-down rows are
// turned bottom-up; 32-bit bit fields become plain 32-bit pixels; a 1-bit
// table gets its lighter colour second (with the bits turned over), because
// two-colour pictures read a set bit as white.
CMemBlock DibFromPackedBytes(const std::uint8_t* dib, std::size_t size, std::string& why);

} // namespace lumacut
