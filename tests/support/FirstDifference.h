#pragma once
// Comparing pictures pixel by pixel so that a failure says where: the first
// pixel that differs, with both values.
#include "picture/MemBlock.h"
#include "support/BlockPixels.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace lumacut::test {

// A pixel's value at column x of image row `top` (0 = the top row).
using ValueAt = std::function<std::uint32_t(int x, int top)>;

// Empty when `got` and `want` agree on every pixel of the width x height
// area whose top left pixel is (left, top); else names the first that differs.
inline std::string FirstDifference(int left, int top, int width, int height, const ValueAt& got, const ValueAt& want)
{
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) {
            const std::uint32_t a = got(x, y), b = want(x, y);
            if (a != b) {
                char text[128];
                std::snprintf(text, sizeof text, "pixel (%d, %d from the top): got %06X, want %06X", x, y, a, b);
                return text;
            }
        }
    return {};
}

// A 24-bit block against 0xRRGGBB values.
inline std::string FirstDifference(const CMemBlock& block, int width, int height, const ValueAt& want)
{
    return FirstDifference(0, 0, width, height, [&](int x, int top) { return BlockPixel(block, x, top); }, want);
}

} // namespace lumacut::test
