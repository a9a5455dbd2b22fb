#include "filter/FastPass.h"

#include "filter/FastPassParts.h"
#include "filter/RenderThreads.h"

#include <algorithm>

namespace lumacut {

namespace {

using namespace fast;

void SettleSource(Settled& st, const CPicture& original)
{
    st.bits = original.m_bits;
    st.stride = original.m_stride;
    st.width = original.m_width;
    st.height = original.m_height;
    if (original.m_colors == 0)
        st.source = original.m_bytesPerPixel == 4 ? Source::Bgr32 : Source::Bgr24;
    else
        st.source = original.m_colors == 16 ? Source::Nibble4 : Source::Index8;
    for (int i = 0; i < 256; ++i) {
        st.palette[i][kB] = original.m_rgb[i].blue;
        st.palette[i][kG] = original.m_rgb[i].green;
        st.palette[i][kR] = original.m_rgb[i].red;
    }
}

void RunBand(const Settled& st, RowReader reader, bool directRows, int rowBegin, int rowEnd)
{
    const PassJob& job = *st.job;
    CPicture& target = *job.target;
    Scratch scratch;
    scratch.row.resize(std::size_t(3) * st.regionWidth + 1);
    const int bpp = st.source == Source::Bgr32 ? 4 : 3;
    const int n = st.regionWidth;
    for (int r = rowBegin; r < rowEnd; ++r) {
        const int y = job.y0 + r;
        std::uint8_t* dst = target.m_bits + std::int64_t{r} * target.m_stride;
        // A row that lies wholly inside a true-colour Original is filtered
        // where it stands; any other row is read into the scratch row first.
        if (directRows && y >= 0 && y < st.height && job.x0 >= 0 && job.x1 <= st.width) {
            const std::uint8_t* src = st.bits + std::int64_t{y} * st.stride + std::int64_t{job.x0} * bpp;
            (bpp == 4 ? st.filter4 : st.filter3)(st, src, n, dst);
        } else {
            reader(st, scratch, y, scratch.row.data());
            st.filter3(st, scratch.row.data(), n, dst);
        }
    }
}

} // namespace

void RunFastPass(const PassJob& job, int bands)
{
    if (job.type == PassType::None)
        return;
    const int rows = job.y1 - job.y0;
    const int width = job.x1 - job.x0;
    if (rows <= 0 || width <= 0)
        return;

    Settled st;
    st.job = &job;
    st.regionWidth = width;
    SettleSource(st, *job.original);
    SettleFilter(st, job);
    RowReader reader = ChooseReader(st.source, job.useSampler);
    const bool directRows = !job.useSampler && (st.source == Source::Bgr24 || st.source == Source::Bgr32);

    if (bands <= 0) {
        // Small renders stay on the calling thread; large ones get a few
        // bands per thread so that uneven rows (tilts) still share well.
        const double work = double(rows) * width * (job.useSampler ? 8 : 1);
        bands = work < 65536 ? 1 : std::min(rows, 8 * RenderThreadCount());
    }
    bands = std::clamp(bands, 1, rows);
    ParallelFor(bands, [&](int band) {
        int begin = static_cast<int>(std::int64_t{rows} * band / bands);
        int end = static_cast<int>(std::int64_t{rows} * (band + 1) / bands);
        RunBand(st, reader, directRows, begin, end);
    });
}

} // namespace lumacut
