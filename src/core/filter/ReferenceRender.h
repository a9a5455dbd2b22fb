#pragma once
// The straightforward render: the same steps and messages as
// RenderNewPicture, with one read, one formula and one write per pixel on the
// calling thread. The fast render is checked against it.
#include "filter/RenderLoop.h"

namespace lumacut {

void RenderNewPictureReference(const FilterSettings& settings, const RenderRequest& request);

// RenderNewPicture with its rows split into exactly `bands` bands (0: its
// own choice); the result must not depend on it.
void RenderNewPictureInBands(const FilterSettings& settings, const RenderRequest& request, int bands);

} // namespace lumacut
