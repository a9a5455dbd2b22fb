#include "filter/FastPassParts.h"

#include "filter/SampleSums.h"
#include "filter/SamplerParts.h"
#include "filter/TiltedSampler.h"
#include "filter/UntiltedSampler.h"
#include "filter/VectorPaths.h"

#include "picture/SamplerWindow.h"

#include <cstdint>

namespace lumacut::fast {

const ByteTables kBytes;

namespace {

// Sample i of an untilted row whose window rows start at rowFirst.
template <Source S>
void SampleUntilted(const Settled& st, const Scratch& scratch, int i, int rowFirst, int rows, std::uint8_t* out)
{
    const int count = scratch.columnCount[i];
    if (rows == 0 || count == 0) {
        out[0] = out[1] = out[2] = 0;
        return;
    }
    const int first = scratch.columnFirst[i];
    const double* factor = scratch.columnFactor.data() + scratch.columnOffset[i];
    const std::uint8_t* inside = scratch.columnInside.data() + scratch.columnOffset[i];
    Sums sums;
    for (int r = 0; r < rows; ++r)
        AddRowDirect<S>(st, st.bits + std::int64_t{rowFirst + r} * st.stride, first, count, factor, inside,
                        scratch.rowInside[r] != 0, scratch.rowFactor[r], sums);
    PutSample(sums, out);
}

// Without a tilt (sine exactly 0, cosine exactly 1) the mapped column
// depends on the output column alone and the mapped row on the output row
// alone, so each axis's window and factors are made once: the columns once
// per band, the rows once per output row.
template <Source S>
void SampleRowUntilted(const Settled& st, Scratch& scratch, int y, std::uint8_t* out)
{
    const int n = st.regionWidth;
    PrepareUntiltedColumns(st, scratch);
    int rowFirst;
    const int rows = PrepareUntiltedRows(st, scratch, y, rowFirst);
    // A sample that weighs one pixel 1 and all others exactly 0 adds 1 x
    // that pixel and 1 to sums of 0 and divides by 1: the pixel itself.
    if (scratch.rowSingle >= 0) {
        const std::uint8_t* row = st.bits + std::int64_t{scratch.rowSingle} * st.stride;
        for (int i = 0; i < n; ++i)
            if (scratch.columnSingle[i] >= 0) {
                const std::uint8_t* p = PixelOf<S>(st, row, scratch.columnSingle[i]);
                out[3 * i + kB] = p[kB];
                out[3 * i + kG] = p[kG];
                out[3 * i + kR] = p[kR];
            }
    }
#if defined(LUMACUT_WIDE_SAMPLER)
    if (rows > 0 && rows <= kWideRowsMax && UseAvx2()) {
        SampleRowUntiltedWide(st, scratch, rowFirst, rows, out);
        for (int i : scratch.pending)
            SampleUntilted<S>(st, scratch, i, rowFirst, rows, out + 3 * i);
        return;
    }
#endif
    for (int i = 0; i < n; ++i)
        if (scratch.rowSingle < 0 || scratch.columnSingle[i] < 0)
            SampleUntilted<S>(st, scratch, i, rowFirst, rows, out + 3 * i);
}


template <Source S>
void SampleRow(const Settled& st, Scratch& scratch, int y, std::uint8_t* out)
{
    const CSampler& s = st.job->sampler;
    if (s.m_sin == 0 && s.m_cos == 1) {
        SampleRowUntilted<S>(st, scratch, y, out);
        return;
    }
    SampleRowTilted<S>(st, scratch, y, out);
}

// Direct reads of one row into the scratch row; black outside the Original.
template <Source S>
void ReadRow(const Settled& st, int y, std::uint8_t* out)
{
    const int x0 = st.job->x0;
    const bool rowInside = y >= 0 && y < st.height;
    const std::uint8_t* row = rowInside ? st.bits + std::int64_t{y} * st.stride : nullptr;
    for (int i = 0; i < st.regionWidth; ++i, out += 3) {
        int x = x0 + i;
        if (rowInside && x >= 0 && x < st.width) {
            const std::uint8_t* p = PixelOf<S>(st, row, x);
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
        } else {
            out[0] = out[1] = out[2] = 0;
        }
    }
}

template <Source S>
void SampleRowReader(const Settled& st, Scratch& scratch, int y, std::uint8_t* out)
{
    SampleRow<S>(st, scratch, y, out);
}

template <Source S>
void DirectRowReader(const Settled& st, Scratch&, int y, std::uint8_t* out)
{
    ReadRow<S>(st, y, out);
}

template <template <Source> class Pick>
RowReader ReaderFor(Source s)
{
    switch (s) {
    case Source::Bgr24: return Pick<Source::Bgr24>::value;
    case Source::Bgr32: return Pick<Source::Bgr32>::value;
    case Source::Index8: return Pick<Source::Index8>::value;
    case Source::Nibble4: return Pick<Source::Nibble4>::value;
    }
    return nullptr;
}
template <Source S>
struct PickSample {
    static constexpr RowReader value = SampleRowReader<S>;
};
template <Source S>
struct PickDirect {
    static constexpr RowReader value = DirectRowReader<S>;
};

} // namespace

RowReader ChooseReader(Source source, bool sampled)
{
    return sampled ? ReaderFor<PickSample>(source) : ReaderFor<PickDirect>(source);
}

} // namespace lumacut::fast
