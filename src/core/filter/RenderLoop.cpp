#include "filter/RenderLoop.h"

#include "filter/FastPass.h"
#include "filter/ReferencePass.h"
#include "filter/RenderPlan.h"
#include "filter/RenderThreads.h"
#include "filter/ToneDither.h"
#include "picture/Limits.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace lumacut {

namespace {

using PassRunner = std::function<void(const PassJob&)>;

void Fail(std::string_view text)
{
    ShowMessage(std::string(text), PromptIcon::Warning);
}

// The adaptive threshold reads the tone within its radius of each row. While
// the Original's rows arrive, the tone is rendered in bands from the top and
// each band of thresholds runs as soon as the tone rows it reads are in: the
// tasks are listed so that every threshold band comes after the tone bands
// it reads, and the threads take them in that order, so a wait is always
// for a band that is already being rendered.
void RunAdaptive(const PassJob& job, const PassJob& toneJob, const PassRunner& runPass, int bandRows)
{
    const int width = job.x1 - job.x0, height = job.y1 - job.y0;
    CPicture tones = CPicture::Empty(PictureKind::Grey, width, height);
    if (!tones.HasBlock() || !PassCanWrite(tones)) {
        Fail(msg::kMakeEmptyFailed);
        return;
    }
    const int bands = (height + bandRows - 1) / bandRows;
    const int radius = job.settings.adaptiveRadius;
    // Each threshold band sums its window afresh: bands of a few per thread,
    // as in a render without a decoder.
    const int cutRows = std::max(bandRows, (height + 8 * RenderThreadCount() - 1) / (8 * RenderThreadCount()));
    const int cutBands = (height + cutRows - 1) / cutRows;
    // Threshold band j reads the tone down to tone band lastToneBand(j).
    const auto lastToneBand = [&](int j) { return (std::min(height, (j + 1) * cutRows + radius) - 1) / bandRows; };
    std::vector<int> tasks; // tone band k as k, threshold band j as bands + j
    for (int k = 0, j = 0; k < bands; ++k) {
        tasks.push_back(k);
        for (; j < cutBands && lastToneBand(j) <= k; ++j)
            tasks.push_back(bands + j);
    }
    std::mutex mutex;
    std::vector<char> toneDone(std::size_t(bands), 0);
    int tonesIn = 0; // bands in, without a gap, from the top
    bool failed = false;
    CRowArrival toneRows;
    ParallelFor(static_cast<int>(tasks.size()), [&](int t) {
        const int task = tasks[std::size_t(t)];
        if (task >= bands) {
            const int first = (task - bands) * cutRows, end = std::min(height, first + cutRows);
            const int need = std::min(height, end + radius);
            if (toneRows.WaitFor(need) >= need)
                AdaptiveRows(tones, job.settings, *job.target, first, end);
            return;
        }
        const int k = task;
        const int first = k * bandRows, end = std::min(height, first + bandRows);
        CPicture band = CPicture::Empty(PictureKind::Grey, width, end - first);
        const bool made = band.HasBlock() && PassCanWrite(band);
        if (made) {
            PassJob part = toneJob;
            part.y0 = job.y0 + height - end;
            part.y1 = job.y0 + height - first;
            part.target = &band;
            runPass(part);
            for (int y = 0; y < end - first; ++y)
                std::memcpy(tones.MutableRow(height - end + y), band.Row(y), std::size_t(width));
        }
        std::lock_guard<std::mutex> lock(mutex);
        failed = failed || !made;
        toneDone[std::size_t(k)] = 1;
        while (tonesIn < bands && toneDone[std::size_t(tonesIn)])
            ++tonesIn;
        toneRows.Arrived(std::min(height, tonesIn * bandRows));
    });
    if (failed)
        Fail(msg::kMakeEmptyFailed);
}

// A dithered or adaptive two-colour picture: the grey pass renders the tone,
// which is then turned into the bits. Dithering takes it a band of rows at
// a time from the top, dithering one band while the next is rendered, in
// two small buffers.
void RunTonePass(const PassJob& job, const PassRunner& runPass)
{
    constexpr int kBandRows = 64;
    const int width = job.x1 - job.x0, height = job.y1 - job.y0;
    PassJob toneJob = job;
    toneJob.settings = ToneSettings(job.settings);
    toneJob.constants = DeriveConstants(toneJob.settings);
    toneJob.type = ChoosePass(job.original->Colors(), 256); // into grey
    if (job.settings.adaptiveRadius > 0) {
        if (job.arrival) {
            RunAdaptive(job, toneJob, runPass, kBandRows);
            return;
        }
        // All rows are in: the whole tone in one parallel pass, then the
        // threshold, costs less than the pipeline's waits.
        CPicture tones = CPicture::Empty(PictureKind::Grey, width, height);
        if (!tones.HasBlock() || !PassCanWrite(tones)) {
            Fail(msg::kMakeEmptyFailed);
            return;
        }
        toneJob.target = &tones;
        runPass(toneJob);
        TonesToTwoColor(tones, job.settings, *job.target);
        return;
    }
    const int bandRows = std::min(height, kBandRows);
    CPicture tones[2] = {CPicture::Empty(PictureKind::Grey, width, bandRows),
                         CPicture::Empty(PictureKind::Grey, width, bandRows)};
    for (CPicture& t : tones)
        if (!t.HasBlock() || !PassCanWrite(t)) {
            Fail(msg::kMakeEmptyFailed);
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
    const PlanOutcome plan = PlanRender(settings, request, original.Width(), original.Height(), original.Colors(),
                                        target.Colors(), kMaxPixels, job);
    if (plan == PlanOutcome::WrongKind) {
        // The New Picture keeps the size of the block it holds: a size that
        // no longer matched its block would lead readers beyond it.
        Fail(msg::kWrongChoise);
        return false;
    }
    const bool usable = plan == PlanOutcome::Planned;
    // Only a usable region's sides are sure to fit in an int.
    const int width = usable ? job.x1 - job.x0 : 0;
    const int height = usable ? job.y1 - job.y0 : 0;
    if (!usable || !target.MakeEmpty(width, height)) {
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
    // A resized picture keeps its printed size.
    target.SetResolution(ScaledResolution(original.GetResolution(), request.scale));
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
