#include "document/ResizeMath.h"

#include "picture/Limits.h"
#include "platform/Messages.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace lumacut {

namespace {
// floor(v + 0.5) as an integer, saturated so that huge values stay defined.
std::int64_t RoundHalfUpWide(double v)
{
    double r = std::floor(v + 0.5);
    constexpr double kMax = 9.0e18;
    if (!(r > -kMax))
        return -static_cast<std::int64_t>(kMax);
    if (r > kMax)
        return static_cast<std::int64_t>(kMax);
    return static_cast<std::int64_t>(r);
}

std::string Format(std::string_view format, int percentage, std::int64_t w, std::int64_t h)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, std::string(format).c_str(), percentage, static_cast<long long>(w),
                  static_cast<long long>(h));
    return buffer;
}
} // namespace

int PercentageOfScale(double scale)
{
    std::int64_t p = RoundHalfUpWide(scale * 100.0);
    if (p > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (p < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(p);
}

std::int64_t ScaledSide(int percentage, int side)
{
    // Same grouping as the render's own size (old side x (percentage x 0.01)).
    return RoundHalfUpWide(percentage * 0.01 * side);
}

bool CheckResizePercentage(int percentage, int oldWidth, int oldHeight, std::string& message)
{
    std::int64_t w = ScaledSide(percentage, oldWidth);
    std::int64_t h = ScaledSide(percentage, oldHeight);
    if (w <= 0 || h <= 0) {
        message = Format(msg::kResizeTooSmallFormat, percentage, w, h);
        return false;
    }
    if (!SizeWithinLimits(w, h)) {
        message = Format(msg::kResizeTooLargeFormat, percentage, w, h);
        return false;
    }
    message.clear();
    return true;
}

bool FootprintChanged(double before, double after)
{
    return RoundHalfUpWide(before * 1000.0) != RoundHalfUpWide(after * 1000.0);
}

} // namespace lumacut
