#pragma once
// The 24-bit blocks the readers and converters hand back (40-byte header,
// bottom-up rows), read by hand.
#include "picture/MemBlock.h"

#include <cstddef>
#include <cstdint>

namespace lumacut::test {

inline std::size_t TrueColorStride(int width)
{
    return (static_cast<std::size_t>(width) * 24 + 31) / 32 * 4;
}

// The size such a block must have.
inline std::size_t TrueColorBlockSize(int width, int height)
{
    return 40 + TrueColorStride(width) * static_cast<std::size_t>(height);
}

// 0xRRGGBB at column x of image row `top` (0 = the top row).
inline std::uint32_t BlockPixel(const CMemBlock& block, int x, int top)
{
    const std::uint8_t* dib = block.Data();
    auto field = [&](int at) {
        return static_cast<std::int32_t>(dib[at] | dib[at + 1] << 8 | dib[at + 2] << 16 | std::uint32_t{dib[at + 3]} << 24);
    };
    const int width = field(4), height = field(8);
    const std::uint8_t* p = dib + 40 + TrueColorStride(width) * static_cast<std::size_t>(height - 1 - top) + 3 * x;
    return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
}

} // namespace lumacut::test
