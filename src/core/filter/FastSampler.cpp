#include "filter/FastSampler.h"

#include "picture/SamplerWindow.h"

#include <algorithm>
#include <cmath>

namespace lumacut::fast {

namespace {

// The samples of a tilted row that the shortcut leaves are summed in batches.
constexpr int kBatch = 64;

// The tent along one axis around the mapped coordinate g: the window as
// WindowAround makes it, then TentWeight's test and factor for each column.
// Without a tilt, windows are shared by many samples and worth trimming
// (lo, hi, allInside, single); with one, every column is summed.
template <bool trim>
void MakeAxis(double g, double foot, double invFoot, int size, double* factor, std::uint64_t* within, TentAxis& a)
{
    int last;
    WindowRange(g - foot, g + foot, size, a.first, last);
    a.count = std::max(0, last - a.first + 1);
    a.factor = factor;
    a.within = within;
    int inside = 0, weighty = 0, lo = -1, hi = 0;
    for (int c = 0; c < a.count; ++c) {
        const double e = std::fabs(g - (a.first + c));
        const bool in = !(e > foot);
        within[c] = in ? ~std::uint64_t{0} : 0;
        factor[c] = 1 - e * invFoot;
        if constexpr (trim) {
            // a column whose weight in a row within the footprint may differ
            // from 0; no branches on the factors, they are not predictable
            const bool counts = !in | (factor[c] != 0);
            inside += in;
            weighty += counts;
            lo = (counts & (lo < 0)) ? c : lo;
            hi = counts ? c + 1 : hi;
        }
    }
    a.allInside = trim && inside == a.count;
    a.lo = lo < 0 ? 0 : lo;
    a.hi = trim ? hi : a.count;
    // one column of factor 1, every other within the footprint with factor 0
    a.single = a.allInside && weighty == 1 && factor[a.lo] == 1 ? a.first + a.lo : -1;
}

// The most columns a window of this footprint spans: ceil(g + f) -
// floor(g - f) + 1, with room for the rounding of g +- f.
int MostInWindow(double foot, int size)
{
    const double most = std::floor(2 * foot) + 4;
    if (!(most < size))
        return size;
    return most > 0 ? static_cast<int>(most) : 0;
}

} // namespace

FastSampler::FastSampler(const PassJob& job, const SourceImage& source, const Kernels& kernels)
    : m_job(job), m_source(source), m_kernels(kernels), m_width(job.x1 - job.x0)
{
    const CSampler& s = job.sampler;
    m_tilted = !(s.Sin() == 0 && s.Cos() == 1);
    m_shortcut = m_tilted && (source.kind == Source::Bgr24 || source.kind == Source::Bgr32) && s.FootX() >= 0.5 &&
                 s.FootX() <= 1.5 && s.FootY() >= 0.5 && s.FootY() <= 1.5;
    m_mostColumns = MostInWindow(s.FootX(), source.width) + 3;
    m_mostRows = MostInWindow(s.FootY(), source.height) + 3;
    if (m_tilted)
        return;
    // Without a tilt (sine exactly 0, cosine exactly 1) the mapped column
    // depends on the output column alone.
    m_columns.resize(m_width);
    m_columnFactor.resize(std::size_t(m_width) * m_mostColumns);
    m_columnWithin.resize(m_columnFactor.size());
    int spanLast = -1;
    m_spanFirst = source.width;
    for (int i = 0; i < m_width; ++i) {
        double gx, gy;
        MapToSource(s, job.x0 + i, job.y0, 0, 0, gx, gy);
        const std::size_t at = std::size_t(i) * m_mostColumns;
        TentAxis& a = m_columns[i];
        MakeAxis<true>(gx, s.FootX(), s.InvFootX(), source.width, m_columnFactor.data() + at,
                       m_columnWithin.data() + at, a);
        if (a.count > 0) {
            m_spanFirst = std::min(m_spanFirst, a.first);
            spanLast = std::max(spanLast, a.first + a.count - 1);
        }
    }
    m_spanCount = std::max(0, spanLast - m_spanFirst + 1);
}

void FastSampler::Row(int y, SamplerScratch& scratch, std::uint8_t* out) const
{
    if (m_tilted)
        Tilted(y, scratch, out);
    else
        Untilted(y, scratch, out);
}

// The mapped row depends on the output row alone: one axis for the row,
// which every window of the band points to.
void FastSampler::Untilted(int y, SamplerScratch& scratch, std::uint8_t* out) const
{
    if (scratch.windows.empty()) {
        scratch.axes.resize(1);
        scratch.factor.resize(m_mostRows);
        scratch.within.resize(m_mostRows);
        scratch.windows.resize(m_width);
        for (int i = 0; i < m_width; ++i)
            scratch.windows[i] = {&m_columns[i], &scratch.axes[0], i};
        RowCache& cache = scratch.cache;
        cache.slots = std::min(m_mostRows, kCacheSlots);
        cache.first = m_spanFirst;
        cache.count = m_spanCount;
        scratch.cachePixels = std::make_unique_for_overwrite<double[]>(std::size_t(4) * cache.slots * cache.count);
        scratch.cacheRows.assign(cache.slots, -1);
        cache.pixels = scratch.cachePixels.get();
        cache.row = scratch.cacheRows.data();
    }
    const CSampler& s = m_job.sampler;
    double gx, gy;
    MapToSource(s, m_job.x0, y, 0, 0, gx, gy);
    MakeAxis<true>(gy, s.FootY(), s.InvFootY(), m_source.height, scratch.factor.data(), scratch.within.data(),
                   scratch.axes[0]);
    m_kernels.sumWindows(m_source, &scratch.cache, scratch.windows.data(), m_width, out);
}

// Every sample has its own window; those the shortcut is sure of are not
// summed.
void FastSampler::Tilted(int y, SamplerScratch& scratch, std::uint8_t* out) const
{
    const CSampler& s = m_job.sampler;
    const std::size_t room = std::size_t(m_mostColumns) + m_mostRows;
    if (scratch.windows.empty()) {
        scratch.axes.resize(2 * kBatch);
        scratch.factor.resize(kBatch * room);
        scratch.within.resize(kBatch * room);
        scratch.windows.resize(kBatch);
        scratch.left.resize(m_width);
        for (int i = 0; i < m_width; ++i)
            scratch.left[i] = i;
    }
    const int left = m_shortcut ? m_kernels.bilinearRow(m_source, s, m_job.x0, y, m_width, out, scratch.left.data())
                                : m_width;
    int count = 0;
    for (int j = 0; j < left; ++j) {
        const int i = scratch.left[j];
        double gx, gy;
        MapToSource(s, m_job.x0 + i, y, 0, 0, gx, gy);
        double* factor = scratch.factor.data() + count * room;
        std::uint64_t* within = scratch.within.data() + count * room;
        TentAxis& x = scratch.axes[2 * count];
        TentAxis& yAxis = scratch.axes[2 * count + 1];
        MakeAxis<false>(gx, s.FootX(), s.InvFootX(), m_source.width, factor, within, x);
        if (x.count > 0)
            MakeAxis<false>(gy, s.FootY(), s.InvFootY(), m_source.height, factor + m_mostColumns,
                            within + m_mostColumns, yAxis);
        if (x.count == 0 || yAxis.count == 0) { // outside the Original: black
            std::fill_n(out + 3 * i, 3, 0);
            continue;
        }
        scratch.windows[count] = {&x, &yAxis, i};
        if (++count == kBatch) {
            m_kernels.sumWindows(m_source, nullptr, scratch.windows.data(), count, out);
            count = 0;
        }
    }
    m_kernels.sumWindows(m_source, nullptr, scratch.windows.data(), count, out);
}

} // namespace lumacut::fast
