#include "filter/FastPass.h"

#include "filter/FastSampler.h"
#include "filter/GreyRows.h"
#include "filter/RenderThreads.h"
#include "filter/TrueColorRows.h"
#include "filter/TwoColorRows.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace lumacut {

namespace {

using namespace fast;

// The rows of the region in bands: each row read (through the sampler, or
// directly with black outside the Original) into a row of 3-byte pixels
// and filtered by `rows` into the New Picture. A row that lies wholly
// inside a true-colour Original is filtered where it stands.
template <class Rows>
void RunBands(const PassJob& job, const SourceImage& source, const Kernels& kernels, const Rows& rows, int bands)
{
    const int height = job.y1 - job.y0;
    const int width = job.x1 - job.x0;
    std::optional<FastSampler> sampler;
    if (job.useSampler)
        sampler.emplace(job, source, kernels);
    const int bytes = source.kind == Source::Bgr32 ? 4 : 3;
    const bool direct = !job.useSampler && (source.kind == Source::Bgr24 || source.kind == Source::Bgr32) &&
                        job.x0 >= 0 && job.x1 <= source.width;
    if (bands <= 0) {
        // Small renders stay on the calling thread; large ones get a few
        // bands per thread so that uneven rows (tilts) still share well.
        const double work = double(height) * width * (job.useSampler ? 8 : 1);
        bands = work < 65536 ? 1 : std::min(height, 8 * RenderThreadCount());
    }
    bands = std::clamp(bands, 1, height);
    // While the Original's rows still arrive, top first, the rows are
    // rendered top first too, each once it is in; a resampled row may
    // read from anywhere and waits for all of them.
    const bool topFirst = job.arrival && !sampler;
    ParallelFor(bands, [&](int task) {
        const int band = topFirst ? bands - 1 - task : task;
        std::vector<std::uint8_t> row(std::size_t(3) * width);
        SamplerScratch scratch;
        const int begin = static_cast<int>(std::int64_t{height} * band / bands);
        const int end = static_cast<int>(std::int64_t{height} * (band + 1) / bands);
        if (job.arrival && sampler && job.arrival->WaitFor(source.height) < source.height)
            return;
        for (int i = begin; i < end; ++i) {
            const int r = topFirst ? begin + end - 1 - i : i;
            const int y = job.y0 + r;
            if (topFirst) {
                const int need = std::clamp(TopRowsFor(source.height, y), 0, source.height);
                if (job.arrival->WaitFor(need) < need)
                    return; // the decoder gave up: the render is thrown away
            }
            std::uint8_t* dst = job.target->MutableRow(r);
            if (direct && y >= 0 && y < source.height) {
                rows.Row(source.bits + y * source.stride + std::int64_t{job.x0} * bytes, bytes, width, dst);
                continue;
            }
            if (sampler)
                sampler->Row(y, scratch, row.data());
            else
                kernels.readRow(source, job.x0, y, width, row.data());
            rows.Row(row.data(), 3, width, dst);
        }
    });
}

} // namespace

void RunFastPass(const PassJob& job, int bands)
{
    RunFastPassOn(job, SourceOf(*job.original), bands);
}

void RunFastPassOn(const PassJob& job, const fast::SourceImage& source, int bands)
{
    if (job.y1 <= job.y0 || job.x1 <= job.x0)
        return;
    const Kernels& kernels = ChosenKernels();
    switch (job.type) {
    case PassType::TwoColor: RunBands(job, source, kernels, TwoColorRows(job), bands); break;
    case PassType::Grey: RunBands(job, source, kernels, GreyRows(job, kernels), bands); break;
    case PassType::TrueColor: RunBands(job, source, kernels, TrueColorRows(job, kernels), bands); break;
    case PassType::None: break;
    }
}

} // namespace lumacut
