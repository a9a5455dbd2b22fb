#pragma once
// Helpers shared by the picture tests: pixel access to the 24-bit blocks the
// readers hand back.
#include "picture/Dib.h"
#include "picture/MemBlock.h"
#include "support/BmpBuilder.h"
#include "support/Files.h"
#include "support/TempDir.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace lumacut::test {

// ---- the 24-bit blocks the readers give ----------------------------------------

// 0xRRGGBB of column x, image row `top` (0 = top) of a 24-bit bottom-up block.
inline std::uint32_t PixelAt(const CMemBlock& block, int x, int top)
{
    const std::uint8_t* dib = block.Data();
    const int width = ReadLE32s(dib + dib::kWidth);
    const int height = ReadLE32s(dib + dib::kHeight);
    const std::size_t stride = static_cast<std::size_t>(RowBytes(24 * std::int64_t{width}));
    const std::uint8_t* p = dib + kInfoHeaderSize + stride * static_cast<std::size_t>(height - 1 - top) + 3 * x;
    return static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
}

// The size a normalised 24-bit block must have.
inline std::size_t TrueColorBlockSize(int width, int height)
{
    return kInfoHeaderSize + static_cast<std::size_t>(RowBytes(24 * std::int64_t{width})) * height;
}

// Empty when every pixel matches; else names the first that differs.
inline std::string FirstDifference(const CMemBlock& block, int width, int height, const PixelFn& expected)
{
    for (int top = 0; top < height; ++top)
        for (int x = 0; x < width; ++x) {
            std::uint32_t got = PixelAt(block, x, top), want = expected(x, top);
            if (got != want) {
                char text[128];
                std::snprintf(text, sizeof text, "pixel (%d, %d from the top): got %06X, want %06X", x, top, got,
                              want);
                return text;
            }
        }
    return {};
}

} // namespace lumacut::test
