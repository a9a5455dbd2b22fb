#include "filter/RenderPlan.h"

#include "picture/Limits.h"

#include <cmath>
#include <cstdint>

namespace lumacut {

namespace {

// floor(size x scale + 0.5); -1 when that is no usable side length (a
// negative or non-numeric scale, or a side beyond the picture limits).
int ScaledSide(int side, double scale)
{
    double v = std::floor(side * scale + 0.5);
    if (!(v >= 0 && v <= static_cast<double>(kMaxSide)))
        return -1;
    return static_cast<int>(v);
}

} // namespace

bool NeedsResample(double scale, double footprint)
{
    return std::fabs(scale - 1.0) > 0.001 || std::fabs(footprint - 1.0) > 0.01;
}

PlanOutcome PlanRender(const FilterSettings& settings, const RenderRequest& request, int width, int height,
                       int originalColors, int newColors, std::int64_t maxPixels, PassJob& job)
{
    job.sampler = CSampler(width, height, request.scale, request.footprint, request.tilt);
    job.useSampler = NeedsResample(request.scale, request.footprint) || std::fabs(request.tilt) > 0.001 ||
                     request.clipActive;
    const int fullWidth = ScaledSide(width, request.scale);
    const int fullHeight = ScaledSide(height, request.scale);
    if (settings.kind < 0 || settings.kind > 3)
        return PlanOutcome::WrongKind;

    job.x0 = 0;
    job.x1 = fullWidth;
    job.y0 = 0;
    job.y1 = fullHeight;
    if (request.clipActive) {
        // The clip is top-down in the full-size result; stored rows count
        // from the bottom.
        job.x0 = request.clip.left;
        job.x1 = request.clip.right;
        job.y0 = fullHeight - request.clip.bottom;
        job.y1 = fullHeight - request.clip.top;
    }
    job.arrival = request.arrival;
    job.settings = settings;
    job.constants = DeriveConstants(settings);
    job.refs = ChooseReferenceColors(settings, request.colorList, request.colorListCount);
    job.type = ChoosePass(originalColors, newColors);

    const std::int64_t w = std::int64_t{job.x1} - job.x0;
    const std::int64_t h = std::int64_t{job.y1} - job.y0;
    const bool usable = fullWidth >= 0 && fullHeight >= 0 && w >= 0 && h >= 0 && w <= kMaxSide && h <= kMaxSide &&
                        w * h <= maxPixels;
    return usable ? PlanOutcome::Planned : PlanOutcome::NoUsableSize;
}

} // namespace lumacut
