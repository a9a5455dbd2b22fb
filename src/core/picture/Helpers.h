#pragma once
// Small shared helpers: rounding, clamping, base names.
#include <cstdint>
#include <string>

namespace lumacut {

// floor(v + 0.5): halves go up, also for negative v (-2.5 gives -2).
int RoundHalfUp(double v);
// RoundHalfUp, then clamped to 0..255.
std::uint8_t ClampRound(double v);
// In place: below low becomes low, then above high becomes high.
void ClampInt(int low, int& value, int high);

// The name up to its first "." (the whole name without one).
std::string StripExtension(const std::string& name);

} // namespace lumacut
