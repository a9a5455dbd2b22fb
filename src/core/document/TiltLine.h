#pragma once
// The tilt line: a line drawn on the Original that should become horizontal
// or vertical. Its two candidate tilt angles are offered in the tilt dialog.
#include <string>

namespace lumacut {

inline constexpr double kDegreesPerRadian = 57.29577951;

struct TiltAngles {
    double horizontal = 0; // radians in [-pi/2, pi/2]: turns the line horizontal
    double vertical = 0;   // radians in [-pi/2, pi/2]: turns the line vertical
};

// Angles of the line from press to release, dx and dy in client pixels (y
// grows downwards). Both directions of the same line give the same angles.
TiltAngles TiltAnglesOfLine(int dx, int dy);

// A tilt dialog button label, "26.57°" (UTF-8) for 0.4636 radians.
std::string TiltButtonLabel(double radians);

} // namespace lumacut
