#include "filter/StreamRender.h"

#include "picture/Dib.h"
#include "support/PictureBuilder.h"
#include "support/PictureBytes.h"
#include "support/RenderFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

using namespace lumacut;
using namespace lumacut::test;

namespace {

// The bands as they come, stacked into one picture of the New Picture's
// kind: what a file writer would write.
class CollectingSink : public CBandSink {
public:
    bool Begin(const CPicture& shape, int width, int height) override
    {
        result = shape.SameKind();
        result.SetResolution(shape.GetResolution());
        const bool made = result.MakeEmpty(width, height);
        result.SetResolution(shape.GetResolution());
        top = height;
        return made;
    }
    bool Band(const CPicture& band) override
    {
        EXPECT_EQ(band.Width(), result.Width());
        EXPECT_LE(band.Height(), top);
        for (int y = band.Height() - 1; y >= 0; --y)
            std::memcpy(result.MutableRow(--top), band.Row(y), std::size_t(band.Stride()));
        return ++bands != stopAfter;
    }
    CPicture result;
    int top = 0;
    int bands = 0;
    int stopAfter = -1;
};

struct Streamed {
    bool done = false;
    CollectingSink sink;
};

// The Original's rows fed top first through a small ring, as a decoder
// would, while the render takes them; `rows` of them at most (a file cut
// short).
Streamed Stream(const CPicture& original, const FilterSettings& s, RenderRequest request, Output kind, int bandRows,
                int stopAfter = -1, int rows = -1)
{
    const int h = original.Height();
    rows = rows < 0 ? h : rows;
    CRowRing ring(std::size_t(original.Stride()), 5);
    std::thread decoder([&] {
        for (int t = 0; t < rows; ++t) {
            std::uint8_t* slot = ring.Slot(t);
            if (!slot)
                break;
            std::memcpy(slot, original.Row(h - 1 - t), std::size_t(original.Stride()));
            ring.Put(t + 1);
        }
        ring.Finish();
    });
    Streamed out;
    out.sink.stopAfter = stopAfter;
    // Output and PictureKind list the kinds in the same order.
    out.done = StreamRender(s, request, original.Block().Data(), static_cast<PictureKind>(kind), ring, out.sink,
                            bandRows);
    ring.Stop();
    decoder.join();
    return out;
}

} // namespace

// Every kind of render, a band at a time from rows that pass through a ring
// of five, gives the bytes of the render of the whole picture, whatever the
// band height.
TEST(StreamRender, GivesTheBytesOfTheWholeRender)
{
    const int w = 61, h = 83;
    CPicture original = MakeTrueColor(w, h, [](int x, int y) {
        return Rgb{std::uint8_t(x * 37 + y * 11), std::uint8_t(x * 5 + y * 71), std::uint8_t((x ^ y) * 29)};
    });
    original.SetResolution({11811, 5906});
    FilterSettings plain, fs, ordered, accent, adaptive;
    fs.dither = kDitherFloydSteinberg;
    adaptive.adaptiveRadius = 6;
    adaptive.negative = true;
    ordered.dither = kDitherOrdered;
    accent.kind = 1;
    accent.negative = true;
    struct Case {
        Output kind;
        const FilterSettings* settings;
        double scale, footprint, tilt;
        bool clip;
    };
    const Case cases[] = {
        {Output::TwoColor, &plain, 1, 1, 0, false},   {Output::Grey, &accent, 1, 1, 0, false},
        {Output::TrueColor, &plain, 1, 1, 0, true},   {Output::TwoColor, &fs, 1, 1, 0, false},
        {Output::TwoColor, &ordered, 0.6, 1, 0, true}, {Output::TrueColor, &plain, 0.37, 2.5, 0, false},
        {Output::Grey, &plain, 2.3, 0.7, 0, false},    {Output::TrueColor, &accent, 1, 1, 0.05, false},
        {Output::Grey, &plain, 0.8, 1, -0.3, true},    {Output::TwoColor, &fs, 1.5, 1, 1.5708, false},
        {Output::TwoColor, &adaptive, 1, 1, 0, false}, {Output::TwoColor, &adaptive, 0.9, 1, 0.04, true},
    };
    for (const Case& c : cases) {
        RenderFixture whole(original.Duplicate(), c.kind);
        whole.request.scale = c.scale;
        whole.request.footprint = c.footprint;
        whole.request.tilt = c.tilt;
        if (c.clip) {
            const int fw = int(std::floor(w * c.scale + 0.5)), fh = int(std::floor(h * c.scale + 0.5));
            whole.request.clipActive = true;
            whole.request.clip = Rect{fw / 5, fh / 4, fw - 3, fh * 2 / 3};
        }
        whole.Apply(*c.settings);
        for (const int bandRows : {1, 7, 16, 0}) {
            SCOPED_TRACE(testing::Message() << "kind " << int(c.kind) << " scale " << c.scale << " tilt " << c.tilt
                                            << " clip " << c.clip << " band rows " << bandRows);
            RecordingPrompt prompt;
            ScopedPrompt scope(prompt);
            const Streamed s = Stream(original, *c.settings, whole.request, c.kind, bandRows);
            ASSERT_TRUE(s.done);
            EXPECT_EQ(BlockBytes(s.sink.result), BlockBytes(whole.target));
            EXPECT_TRUE(prompt.messages.empty());
        }
    }
}

// A sink that stops, a file cut short before the rows a band reads, and an
// unusable result stop the render; a cut after the last row read does not.
TEST(StreamRender, StopsWhenTheSinkOrTheRowsGiveOut)
{
    const CPicture original = MakeTrueColor(20, 40, [](int x, int y) { return Rgb{std::uint8_t(x), std::uint8_t(y), 9}; });
    RenderRequest request;
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    EXPECT_FALSE(Stream(original, {}, request, Output::Grey, 8, 2).done);
    EXPECT_FALSE(Stream(original, {}, request, Output::Grey, 8, -1, 25).done);
    EXPECT_TRUE(prompt.messages.empty());
    request.clipActive = true;
    request.clip = Rect{0, 0, 20, 10}; // the top quarter only
    EXPECT_FALSE(Stream(original, {}, request, Output::Grey, 8, -1, 25).done) << "the rest is still taken";
    request.scale = 0.01;
    request.clipActive = false;
    EXPECT_FALSE(Stream(original, {}, request, Output::Grey, 8).done);
    EXPECT_EQ(prompt.messages.size(), 1u);
}
