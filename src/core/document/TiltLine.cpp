#include "document/TiltLine.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace lumacut {

TiltAngles TiltAnglesOfLine(int dx, int dy)
{
    constexpr double kPi = std::numbers::pi;
    double a = std::atan2(static_cast<double>(dy), static_cast<double>(dx));
    double v = a - kPi / 2;
    if (v < -kPi / 2)
        v += kPi;
    if (v > kPi / 2)
        v -= kPi;
    if (a < -kPi / 2)
        a += kPi;
    if (a > kPi / 2)
        a -= kPi;
    return {a, v};
}

std::string TiltButtonLabel(double radians)
{
    char text[100];
    // UTF-8 degree sign, written as bytes so no source encoding can lose it.
    std::snprintf(text, sizeof text, "%.2f\xC2\xB0", radians * kDegreesPerRadian);
    return text;
}

} // namespace lumacut
