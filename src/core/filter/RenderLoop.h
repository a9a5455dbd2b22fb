#pragma once
// The render loop: builds the New Picture from the Original with a filter
// settings record, resizing, tilting and clipping as asked. The document's
// ApplyFilter hands its state over in a RenderRequest.
#include "filter/FilterSettings.h"
#include "picture/CPicture.h"
#include "picture/Rect.h"
#include "picture/RowArrival.h"

#include <cstdint>

namespace lumacut {

struct RenderRequest {
    const CPicture* original = nullptr; // only read, also while others read it
    CPicture* target = nullptr;   // the New Picture; its kind is already set
    double scale = 1.0;
    double footprint = 1.0;
    double tilt = 0.0;            // radians
    bool clipActive = false;
    Rect clip;                    // top-down, in the full-size result
    const std::uint32_t* colorList = nullptr;
    int colorListCount = 0;
    const CRowArrival* arrival = nullptr; // the Original's rows, while decoding
};

// Everything ApplyFilter does: result size, the kind check, the clip region,
// MakeEmpty, the pass chosen by the pair of colour counts, and the messages
// of its failures (through the prompt seam). True when the New Picture's
// block was made (a block it already held may be reused for it); false
// when the render failed before, leaving the block as it was.
bool RenderNewPicture(const FilterSettings& settings, const RenderRequest& request);

// The same render with the plain pass on the calling thread, and with the
// fast pass's rows split into exactly `bands` bands (0: its own choice); the
// tests and benchmarks compare them, and the result must not depend on the
// bands.
void RenderNewPictureReference(const FilterSettings& settings, const RenderRequest& request);
void RenderNewPictureInBands(const FilterSettings& settings, const RenderRequest& request, int bands);

// True when the scale departs from 1 by more than 0.001 or the footprint by
// more than 0.01.
bool NeedsResample(double scale, double footprint);

} // namespace lumacut
