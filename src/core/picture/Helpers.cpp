#include "picture/Helpers.h"

#include <cctype>
#include <cmath>

namespace lumacut {

int RoundHalfUp(double v)
{
    return static_cast<int>(std::floor(v + 0.5));
}

std::uint8_t ClampRound(double v)
{
    // Compare before converting so that huge or non-finite values stay defined.
    double r = std::floor(v + 0.5);
    if (!(r > 0.0))
        return 0;
    if (r > 255.0)
        return 255;
    return static_cast<std::uint8_t>(r);
}

void ClampInt(int low, int& value, int high)
{
    if (value < low)
        value = low;
    if (value > high)
        value = high;
}

std::string StripExtension(const std::string& name)
{
    std::string::size_type dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace lumacut
