#include "filter/UntiltedSampler.h"

#include "picture/SamplerWindow.h"

#include <algorithm>
#include <cstring>

namespace lumacut::fast {

namespace {

// The window's single pixel of weight 1 among weights of exactly 0, or -1.
int SinglePixel(int first, int count, const double* factor, const std::uint8_t* inside)
{
    int single = -1;
    for (int k = 0; k < count; ++k) {
        if (!inside[k])
            return -1;
        if (factor[k] == 1.0 && single < 0)
            single = first + k;
        else if (factor[k] != 0.0)
            return -1;
    }
    return single;
}

} // namespace

void PrepareUntiltedColumns(const Settled& st, Scratch& scratch)
{
    if (scratch.columnsReady)
        return;
    const CSampler& s = st.job->sampler;
    const int n = st.regionWidth;
    scratch.columnFirst.resize(n);
    scratch.columnCount.resize(n);
    scratch.columnOffset.resize(n);
    scratch.columnSingle.resize(n);
    scratch.columnFactor.clear();
    scratch.columnInside.clear();
    int widest = 0;
    int spanFirst = st.width, spanLast = -1;
    for (int i = 0; i < n; ++i) {
        double gx, gy;
        MapToSource(s, st.job->x0 + i, st.job->y0, 0, 0, gx, gy);
        int first, last;
        WindowRange(gx - s.m_footX, gx + s.m_footX, st.width, first, last);
        const int count = std::max(0, last - first + 1);
        widest = std::max(widest, count);
        if (count > 0) {
            spanFirst = std::min(spanFirst, first);
            spanLast = std::max(spanLast, last);
        }
        scratch.columnFirst[i] = first;
        scratch.columnCount[i] = count;
        scratch.columnOffset[i] = static_cast<int>(scratch.columnFactor.size());
        scratch.columnFactor.resize(scratch.columnFactor.size() + count);
        scratch.columnInside.resize(scratch.columnInside.size() + count);
        AxisFactors(gx, first, count, s.m_footX, s.m_invFootX, scratch.columnFactor.data() + scratch.columnOffset[i],
                    scratch.columnInside.data() + scratch.columnOffset[i]);
        scratch.columnSingle[i] = SinglePixel(first, count, scratch.columnFactor.data() + scratch.columnOffset[i],
                                              scratch.columnInside.data() + scratch.columnOffset[i]);
    }
    // room for reading a whole vector of factors from the last column on
    scratch.columnFactor.resize(scratch.columnFactor.size() + 8, 0.0);
    scratch.columnInside.resize(scratch.columnInside.size() + 8, 0);
    scratch.weightA.resize(std::size_t(widest) + 1);
    scratch.weightB.resize(std::size_t(widest) + 1);
    scratch.spanFirst = spanFirst;
    scratch.spanCount = std::max(0, spanLast - spanFirst + 1);
    scratch.pending.reserve(n);
    scratch.columnsReady = true;
}

int PrepareUntiltedRows(const Settled& st, Scratch& scratch, int y, int& rowFirst)
{
    const CSampler& s = st.job->sampler;
    double gx, gy;
    MapToSource(s, st.job->x0, y, 0, 0, gx, gy);
    int rowLast;
    WindowRange(gy - s.m_footY, gy + s.m_footY, st.height, rowFirst, rowLast);
    const int rows = std::max(0, rowLast - rowFirst + 1);
    scratch.rowFactor.resize(rows);
    scratch.rowInside.resize(rows);
    AxisFactors(gy, rowFirst, rows, s.m_footY, s.m_invFootY, scratch.rowFactor.data(), scratch.rowInside.data());
    scratch.rowSingle = SinglePixel(rowFirst, rows, scratch.rowFactor.data(), scratch.rowInside.data());
    return rows;
}

#if defined(LUMACUT_WIDE_SAMPLER)

namespace {

// Source rows turned into (blue, green, red, 1) doubles, a vector a pixel,
// for the columns the band's windows span. A ring of slots, so that the
// rows shared by neighbouring output rows are turned only once.
constexpr int kRingSlots = kWideRowsMax;

template <Source S>
void ConvertRow(const Settled& st, int row, int first, int count, double* out)
{
    const std::uint8_t* bits = st.bits + std::int64_t{row} * st.stride;
    for (int c = 0; c < count; ++c, out += 4) {
        const std::uint8_t* p = PixelOf<S>(st, bits, first + c);
        out[0] = kBytes.value[p[0]];
        out[1] = kBytes.value[p[1]];
        out[2] = kBytes.value[p[2]];
        out[3] = 1.0;
    }
}

const double* RingRow(const Settled& st, Scratch& scratch, int row)
{
    const std::size_t slotSize = std::size_t(4) * scratch.spanCount;
    const int slot = row % kRingSlots;
    double* data = scratch.ring.data() + slotSize * slot;
    if (scratch.ringRow[slot] != row) {
        switch (st.source) {
        case Source::Bgr24: ConvertRow<Source::Bgr24>(st, row, scratch.spanFirst, scratch.spanCount, data); break;
        case Source::Bgr32: ConvertRow<Source::Bgr32>(st, row, scratch.spanFirst, scratch.spanCount, data); break;
        case Source::Index8: ConvertRow<Source::Index8>(st, row, scratch.spanFirst, scratch.spanCount, data); break;
        case Source::Nibble4: ConvertRow<Source::Nibble4>(st, row, scratch.spanFirst, scratch.spanCount, data); break;
        }
        scratch.ringRow[slot] = row;
    }
    return data;
}

// One sample's column factors and which columns lie within the footprint,
// up to eight columns in two vectors.
struct Columns {
    int first, count;
    __m256d factor[2];
    __m256d inside[2];
};

[[gnu::target("avx2")]] inline Columns ColumnsOf(const Scratch& scratch, int i)
{
    Columns c;
    c.first = scratch.columnFirst[i] - scratch.spanFirst;
    c.count = scratch.columnCount[i];
    const double* factor = scratch.columnFactor.data() + scratch.columnOffset[i];
    const std::uint8_t* inside = scratch.columnInside.data() + scratch.columnOffset[i];
    for (int h = 0; h < 2; ++h) {
        c.factor[h] = _mm256_loadu_pd(factor + 4 * h);
        std::int32_t bytes;
        std::memcpy(&bytes, inside + 4 * h, 4);
        c.inside[h] = _mm256_castsi256_pd(
            _mm256_cmpgt_epi64(_mm256_cvtepu8_epi64(_mm_cvtsi32_si128(bytes)), _mm256_setzero_si256()));
    }
    return c;
}

// The plain TentWeight's doubles of one window row (the product of the two
// factors within the footprint, 1e-9 outside it), and a bit for each of the
// window's columns whose weight is not exactly 0: those the plain sum skips.
[[gnu::target("avx2")]] inline unsigned RowWeights(const Columns& c, bool rowInside, double rowFactor,
                                                   double* weight)
{
    const __m256d tiny = _mm256_set1_pd(1e-9);
    const __m256d rf = _mm256_set1_pd(rowFactor);
    unsigned nonZero = 0;
    for (int h = 0; h < (c.count > 4 ? 2 : 1); ++h) {
        const __m256d w =
            rowInside ? _mm256_blendv_pd(tiny, _mm256_mul_pd(c.factor[h], rf), c.inside[h]) : tiny;
        _mm256_store_pd(weight + 4 * h, w);
        nonZero |= static_cast<unsigned>(_mm256_movemask_pd(_mm256_cmp_pd(w, _mm256_setzero_pd(), _CMP_NEQ_UQ)))
                   << (4 * h);
    }
    return nonZero & ((1u << c.count) - 1);
}

// weight x (blue, green, red, 1) added pixel by pixel in the plain order,
// from the first column whose bit is set to the last (a weight of exactly 0
// between them adds +0 or -0 to sums that are never -0: nothing).
[[gnu::target("avx2")]] inline __m256d AddRow(__m256d sums, const double* pixels, const double* weight,
                                              unsigned columns)
{
    if (columns == 0)
        return sums;
    const int last = 32 - __builtin_clz(columns);
    for (int k = __builtin_ctz(columns); k < last; ++k)
        sums = _mm256_add_pd(sums, _mm256_mul_pd(_mm256_broadcast_sd(weight + k), _mm256_loadu_pd(pixels + 4 * k)));
    return sums;
}

} // namespace

// Two samples side by side, for two independent chains of additions.
[[gnu::target("avx2")]] void SampleRowUntiltedWide(const Settled& st, Scratch& scratch, int rowFirst, int rows,
                                                   std::uint8_t* out)
{
    if (scratch.ring.empty()) {
        scratch.ring.resize(std::size_t(4) * scratch.spanCount * kRingSlots);
        scratch.ringRow.assign(kRingSlots, -1);
    }
    // a row is turned only when some sample gives it a weight other than 0
    const double* pixels[kWideRowsMax] = {};
    const auto row = [&](int r) {
        if (!pixels[r])
            pixels[r] = RingRow(st, scratch, rowFirst + r);
        return pixels[r];
    };
    scratch.pending.clear();
    const int n = st.regionWidth;
    const auto wide = [&](int i) { return scratch.columnCount[i] <= kWideColumnsMax; };
    // samples of a single pixel are the caller's
    const bool singleRow = scratch.rowSingle >= 0;
    for (int i = 0; i < n;) {
        if (singleRow && scratch.columnSingle[i] >= 0) {
            ++i;
            continue;
        }
        if (scratch.columnCount[i] == 0) {
            out[3 * i] = out[3 * i + 1] = out[3 * i + 2] = 0;
            ++i;
            continue;
        }
        if (!wide(i)) {
            scratch.pending.push_back(i);
            ++i;
            continue;
        }
        const Columns a = ColumnsOf(scratch, i);
        __m256d sumsA = _mm256_setzero_pd();
        alignas(32) double weightA[8], weightB[8];
        if (i + 1 < n && scratch.columnCount[i + 1] > 0 && wide(i + 1) &&
            !(singleRow && scratch.columnSingle[i + 1] >= 0)) {
            const Columns b = ColumnsOf(scratch, i + 1);
            __m256d sumsB = _mm256_setzero_pd();
            for (int r = 0; r < rows; ++r) {
                const bool rowInside = scratch.rowInside[r] != 0;
                const unsigned columnsA = RowWeights(a, rowInside, scratch.rowFactor[r], weightA);
                const unsigned columnsB = RowWeights(b, rowInside, scratch.rowFactor[r], weightB);
                if ((columnsA | columnsB) == 0)
                    continue;
                const double* p = row(r);
                sumsA = AddRow(sumsA, p + 4 * a.first, weightA, columnsA);
                sumsB = AddRow(sumsB, p + 4 * b.first, weightB, columnsB);
            }
            PutSample4(sumsA, out + 3 * i);
            PutSample4(sumsB, out + 3 * (i + 1));
            i += 2;
            continue;
        }
        for (int r = 0; r < rows; ++r) {
            const unsigned columnsA = RowWeights(a, scratch.rowInside[r] != 0, scratch.rowFactor[r], weightA);
            if (columnsA != 0)
                sumsA = AddRow(sumsA, row(r) + 4 * a.first, weightA, columnsA);
        }
        PutSample4(sumsA, out + 3 * i);
        ++i;
    }
}

#endif

} // namespace lumacut::fast
