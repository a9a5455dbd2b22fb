#pragma once
// The text of a tilt dialog button: the angle in degrees, "%.2f degr?".
#include <string>

namespace lumacut {

std::string TiltLabel(double radians);

} // namespace lumacut
