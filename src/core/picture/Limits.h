#pragma once
// Size limits of the picture store. A picture larger than this is refused by
// every reader and by every operation that would make one, before anything is
// allocated: 2^28 pixels is a 16384 x 16384 photo, 768 MiB at 24 bits.
#include <cstdint>

namespace lumacut {

inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;
// Longest side accepted (keeps every row-size computation inside 32 bits).
inline constexpr std::int64_t kMaxSide = std::int64_t{1} << 20;

inline bool SizeWithinLimits(std::int64_t width, std::int64_t height)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

// A render that streams its rows (lumacut-render) holds a few hundred rows,
// whatever the height: only the side and the time it takes bound it.
inline constexpr std::int64_t kMaxStreamPixels = std::int64_t{1} << 32;

inline bool SizeWithinStreamLimits(std::int64_t width, std::int64_t height)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxStreamPixels;
}

} // namespace lumacut
