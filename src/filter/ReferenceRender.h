#pragma once
// The straightforward render: the same steps and messages as
// RenderNewPicture, with one read, one formula and one write per pixel on the
// calling thread. The fast render is checked against it.
#include "filter/RenderLoop.h"

namespace lumacut {

void RenderNewPictureReference(const FilterSettings& settings, const RenderRequest& request);

} // namespace lumacut
