#include "filter/RenderLoop.h"

#include "filter/FastPass.h"
#include "filter/ReferencePass.h"
#include "filter/RenderThreads.h"
#include "filter/ToneDither.h"
#include "picture/Limits.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <utility>

namespace lumacut {

bool NeedsResample(double scale, double footprint)
{
    return std::fabs(scale - 1.0) > 0.001 || std::fabs(footprint - 1.0) > 0.01;
}

namespace {

using PassRunner = std::function<void(const PassJob&)>;

void Fail(std::string_view text)
{
    ShowMessage(std::string(text), PromptIcon::Warning);
}

// floor(size x scale + 0.5); -1 when that is no usable side length (a
// negative or non-numeric scale, or a side beyond the picture limits).
int ScaledSide(int side, double scale)
{
    double v = std::floor(side * scale + 0.5);
    if (!(v >= 0 && v <= static_cast<double>(kMaxSide)))
        return -1;
    return static_cast<int>(v);
}

bool RegionSizeUsable(std::int64_t width, std::int64_t height)
{
    return width >= 0 && height >= 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

// A dithered or adaptive two-colour picture: the grey pass renders the tone,
// which is then turned into the bits. The adaptive threshold needs the whole
// tone at once. Dithering takes it a band of rows at a time from the top,
// dithering one band while the next is rendered, in two small buffers.
void RunTonePass(const PassJob& job, const PassRunner& runPass)
{
    constexpr int kBandRows = 64;
    const int width = job.x1 - job.x0, height = job.y1 - job.y0;
    const bool whole = job.settings.adaptiveRadius > 0;
    const int bandRows = whole ? height : std::min(height, kBandRows);
    CPicture tones[2] = {CPicture::Empty(PictureKind::Grey, width, bandRows),
                         whole ? CPicture() : CPicture::Empty(PictureKind::Grey, width, bandRows)};
    for (int b = 0; b < (whole ? 1 : 2); ++b)
        if (!tones[b].HasBlock() || !PassCanWrite(tones[b])) {
            Fail(msg::kMakeEmptyFailed);
            return;
        }
    PassJob toneJob = job;
    toneJob.settings = ToneSettings(job.settings);
    toneJob.constants = DeriveConstants(toneJob.settings);
    toneJob.type = ChoosePass(job.original->Colors(), tones[0].Colors());
    if (whole) {
        toneJob.target = &tones[0];
        runPass(toneJob);
        TonesToTwoColor(tones[0], job.settings, *job.target);
        return;
    }
    // Band k holds stored rows top - bandRows .. top - 1 of the region,
    // top = height - k x bandRows.
    const int bands = (height + bandRows - 1) / bandRows;
    const auto rowsOf = [&](int k) { return std::pair(std::max(0, height - (k + 1) * bandRows), height - k * bandRows); };
    const auto render = [&](int k) {
        const auto [low, top] = rowsOf(k);
        PassJob part = toneJob;
        part.y0 = job.y0 + low;
        part.y1 = job.y0 + top;
        part.target = &tones[k % 2];
        runPass(part);
    };
    ToneDitherer ditherer(job.settings, *job.target);
    const auto dither = [&](int k) {
        const auto [low, top] = rowsOf(k);
        for (int y = top - 1; y >= low; --y)
            ditherer.Row(tones[k % 2].Row(y - low), job.target->MutableRow(y));
    };
    render(0);
    for (int k = 0; k < bands; ++k) {
        if (k + 1 < bands)
            ParallelFor(2, [&](int task) { task == 0 ? dither(k) : render(k + 1); });
        else
            dither(k);
    }
}

bool RenderWith(const FilterSettings& settings, const RenderRequest& request, const PassRunner& runPass)
{
    if (!request.original || !request.target)
        return false;
    const CPicture& original = *request.original;
    CPicture& target = *request.target;

    PassJob job;
    job.sampler = CSampler(original.Width(), original.Height(), request.scale, request.footprint, request.tilt);
    job.useSampler = NeedsResample(request.scale, request.footprint) || std::fabs(request.tilt) > 0.001 ||
                     request.clipActive;

    int fullWidth = ScaledSide(original.Width(), request.scale);
    int fullHeight = ScaledSide(original.Height(), request.scale);

    if (settings.kind < 0 || settings.kind > 3) {
        // The New Picture keeps the size of the block it holds: a size that
        // no longer matched its block would lead readers beyond it.
        Fail(msg::kWrongChoise);
        return false;
    }

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
    std::int64_t width = std::int64_t{job.x1} - job.x0;
    std::int64_t height = std::int64_t{job.y1} - job.y0;
    bool usable = fullWidth >= 0 && fullHeight >= 0 && RegionSizeUsable(width, height);
    if (!usable || !target.MakeEmpty(static_cast<int>(width), static_cast<int>(height))) {
        if (!usable)
            target.Release();
        Fail(msg::kMakeEmptyFailed);
        return false;
    }

    if (!target.HasBlock()) {
        Fail(msg::kFilterPointerNull);
        return true;
    }
    if (!original.HasBlock()) {
        Fail(msg::kDraxXError2);
        return true;
    }

    job.original = &original;
    job.target = &target;
    job.arrival = request.arrival;
    job.settings = settings;
    job.constants = DeriveConstants(settings);
    job.refs = ChooseReferenceColors(settings, request.colorList, request.colorListCount);
    job.type = ChoosePass(original.Colors(), target.Colors());
    // A picture whose fields do not agree with its block is not touched.
    if (job.type != PassType::None && PassCanRead(original) && PassCanWrite(target) && width > 0 && height > 0) {
        if (job.type == PassType::TwoColor && UsesTone(settings))
            RunTonePass(job, runPass);
        else
            runPass(job);
    }
    // MakeEmpty may have kept a larger block: none of what it held may stay
    // in the rows' padding, where no pass writes.
    target.ClearRowPadding();
    return true;
}

} // namespace

bool RenderNewPicture(const FilterSettings& settings, const RenderRequest& request)
{
    return RenderWith(settings, request, [](const PassJob& job) { RunFastPass(job); });
}

void RenderNewPictureReference(const FilterSettings& settings, const RenderRequest& request)
{
    RenderWith(settings, request, [](const PassJob& job) { RunReferencePass(job, 0, job.y1 - job.y0); });
}

void RenderNewPictureInBands(const FilterSettings& settings, const RenderRequest& request, int bands)
{
    RenderWith(settings, request, [bands](const PassJob& job) { RunFastPass(job, bands); });
}

} // namespace lumacut
