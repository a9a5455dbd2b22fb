#pragma once
// What a render settles before it touches a pixel, shared by the render into
// a whole picture (RenderLoop.h) and the render a band at a time
// (StreamRender.h), so that both make the same job.
#include "filter/RenderLoop.h"
#include "filter/RenderPass.h"

#include <cstdint>

namespace lumacut {

enum class PlanOutcome { Planned, WrongKind, NoUsableSize };

// The sampler, region, filter constants and pass type of a render of an
// Original of `width` x `height` pixels and `originalColors` colours into a
// New Picture of `newColors`; the job's pictures are left for the caller.
// NoUsableSize: the result has no usable size, or the region has more than
// `maxPixels` pixels (the editor's limit, or the streaming one).
PlanOutcome PlanRender(const FilterSettings& settings, const RenderRequest& request, int width, int height,
                       int originalColors, int newColors, std::int64_t maxPixels, PassJob& job);

} // namespace lumacut
