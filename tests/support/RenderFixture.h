#pragma once
// An Original, a New Picture of one kind and the request that joins them, for
// renders whose messages are recorded.
#include "filter/RenderLoop.h"
#include "support/PictureBuilder.h"
#include "support/RecordingPrompt.h"

#include <utility>

namespace lumacut::test {

struct RenderFixture {
    CPicture original;
    CPicture target;
    RenderRequest request;
    RecordingPrompt prompt;

    RenderFixture(CPicture o, Output kind) : original(std::move(o)), target(MakeTarget(kind))
    {
        request.original = &original;
        request.target = &target;
    }
    // bands < 0: the plain pass; 0: the fast pass as it chooses; else in that many bands.
    void Apply(const FilterSettings& s = {}, int bands = 0)
    {
        ScopedPrompt scope(prompt);
        if (bands < 0)
            RenderNewPictureReference(s, request);
        else if (bands == 0)
            RenderNewPicture(s, request);
        else
            RenderNewPictureInBands(s, request, bands);
    }
};

} // namespace lumacut::test
