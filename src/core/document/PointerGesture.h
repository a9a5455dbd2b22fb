#pragma once
// When a left-button press becomes a drag. Distances are in client pixels.
#include <cstdlib>

namespace lumacut {

inline constexpr int kDragThreshold = 2;

// A move with the button down starts (or continues) a rubber band once it is
// more than 2 pixels from the press, counted along both axes together.
inline bool MovedBeyondThreshold(int dx, int dy)
{
    return std::abs(dx) + std::abs(dy) > kDragThreshold;
}

// A release is a drag only when it is more than 2 pixels sideways from the
// press: a release straight below the press is a click.
inline bool ReleaseIsDrag(int dx)
{
    return std::abs(dx) > kDragThreshold;
}

} // namespace lumacut
