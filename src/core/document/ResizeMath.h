#pragma once
// The arithmetic of the resize dialog: percentage and sizes, the refusal of
// results the picture store cannot hold, and the render decision.
#include <cstdint>
#include <string>

namespace lumacut {

// The percentage shown for a scale: scale x 100, halves up (0.625 gives 63).
int PercentageOfScale(double scale);

// round(percentage x 0.01 x side), halves up. Computed wide, so any int
// percentage and side give a defined result.
std::int64_t ScaledSide(int percentage, int side);

// True when the percentage gives a result of at least 1 x 1 pixels within the
// picture store's limits; otherwise false with the message to show.
bool CheckResizePercentage(int percentage, int oldWidth, int oldHeight, std::string& message);

// Footprints that agree to three decimals (x 1000, halves up) are the same.
bool FootprintChanged(double before, double after);

} // namespace lumacut
