#pragma once
// A render whose Original is never whole in memory, for pictures of any
// size: the Original's rows come from a decoder through a ring, top row
// first, and the New Picture is made a band of rows at a time, top band
// first, each handed to a sink (a file writer) before the next is made.
// Only the rows the band in work reads are held: its own and the sampler's
// reach, which a tilt lengthens by the width times its sine. The bytes are
// those of RenderNewPicture with the same settings.
#include "filter/RenderLoop.h"
#include "filter/RenderPass.h"
#include "picture/CPicture.h"
#include "picture/RowRing.h"

#include <cstdint>

namespace lumacut {

class CBandSink {
public:
    virtual ~CBandSink() = default;
    // Before the first band: `shape` has the New Picture's kind, colour
    // table and resolution; the whole result is width x height. False stops
    // the render.
    virtual bool Begin(const CPicture& shape, int width, int height) = 0;
    // The next band of rows below the last one: its top row is its last
    // stored row. False stops the render.
    virtual bool Band(const CPicture& band) = 0;
};

// `header`: the Original's 40-byte info header (24 bits: size and
// resolution); `kind`: the New Picture's. The request's pictures and
// arrival are not used. Every row of the ring is taken, so the decoder
// runs to its end. False after the message a render would show, when the
// decoder gave out before the rows the render needed, or when the sink
// stopped it. `bandRows`: rows a band (0: a few megabytes' worth).
bool StreamRender(const FilterSettings& settings, const RenderRequest& request, const std::uint8_t* header,
                  PictureKind kind, CRowRing& rows, CBandSink& sink, int bandRows = 0);

// The source rows (stored, bottom-up) that stored rows y0..y1 - 1 of the
// full-size result read: lo..hi - 1 (empty when lo == hi).
struct RowSpan {
    int lo = 0, hi = 0;
};
RowSpan SourceRowsOf(const PassJob& job, int sourceHeight, int y0, int y1);

} // namespace lumacut
