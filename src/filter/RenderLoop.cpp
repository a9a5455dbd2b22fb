#include "filter/RenderLoop.h"

#include <cmath>

namespace lumacut {

bool NeedsResample(double scale, double footprint)
{
    return std::fabs(scale - 1.0) > 0.001 || std::fabs(footprint - 1.0) > 0.01;
}

void RenderNewPicture(const FilterSettings&, const RenderRequest&)
{
    // Not yet written.
}

} // namespace lumacut
