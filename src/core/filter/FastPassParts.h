#pragma once
// The parts of the fast pass shared by its files: what is settled once per
// render (Settled), the per-band working storage (Scratch), and how a
// pixel of each kind of Original is reached. Internal to src/filter.
#include "filter/RenderPass.h"

#include <cstdint>
#include <vector>

namespace lumacut::fast {

// Pixels reach the filters as blue, green, red bytes, `Step` bytes apart.
enum Channel { kB = 0, kG = 1, kR = 2 };

enum class Source { Bgr24, Bgr32, Index8, Nibble4 };

struct Settled;
using RowFilter = void (*)(const Settled&, const std::uint8_t* src, int n, std::uint8_t* dst);
// Filters the leading pixels of a row and returns how many; the caller does the rest.
using LeadingRowFilter = int (*)(const Settled&, const std::uint8_t* src, int n, std::uint8_t* dst);

// Per-band working storage, made once per band, never inside a pixel loop.
struct Scratch {
    std::vector<std::uint8_t> row; // one row of read pixels, 3 bytes each
    // The sampler's tent factors along columns (per sample, or for every
    // output column at once when untilted) and along rows.
    std::vector<double> columnFactor;
    std::vector<std::uint8_t> columnInside;
    std::vector<int> columnFirst, columnCount, columnOffset;
    bool columnsReady = false;
    std::vector<double> rowFactor;
    std::vector<std::uint8_t> rowInside;
    std::vector<double> weightA, weightB; // one window row's weights of two samples
    // Untilted: the columns all windows span, source rows as vectors of
    // doubles in a ring, and the samples left to the plain path.
    int spanFirst = 0, spanCount = 0;
    // The one source column (row) whose window weighs it 1 and every other
    // column (row) of the window exactly 0, all within the footprint; -1
    // for any other window. A sample whose column and row both have one is
    // that pixel, exactly.
    std::vector<int> columnSingle;
    int rowSingle = -1;
    std::vector<double> ring;
    std::vector<int> ringRow;
    std::vector<int> pending;
};

// Everything settled once per render, read only by the bands.
struct Settled {
    const PassJob* job = nullptr;
    Source source = Source::Bgr24;
    const std::uint8_t* bits = nullptr;
    int stride = 0, width = 0, height = 0;
    std::uint8_t palette[256][3] = {}; // blue, green, red
    int regionWidth = 0;

    FilterConstants k;
    int lightDark = 0;
    std::uint8_t tone[256] = {};       // T(v), Negative already applied
    std::uint8_t flag[3][256] = {};    // two colour kinds 0 and 1, per channel
    int linear[3][256] = {};           // two colour kind 2: (p + L) q; grey kind 0: p q
    int square[3][256] = {};           // squared distance per channel (with L for two colour)
    int limit = 0;                     // two colour kind 2: sum of q^2; grey kind 0: sum of q
    std::uint8_t index[2] = {};        // two colour: output bit for d = 0 and d = 1
    std::uint8_t white = 255;          // true colour kind 3: a near pixel
    std::uint64_t divisor = 0;         // grey kind 0: seen / limit as (seen x divisor) >> 40
    int sharpLimit = 0;                // two colour kind 3: black from this sum on
    int nearLimit = 0;                 // true colour kind 3: near below this distance
    int refSquare[10][3][256] = {};    // true colour kind 3: distance to each reference colour
    bool toneIsIdentity = false;       // true colour kind 0 can copy rows
    double mean[766] = {};             // true colour: (r + g + b) x 0.333333333333 by the sum

    LeadingRowFilter mixLanes3 = nullptr; // true colour kinds 1 and 2 in vector lanes, where the
    LeadingRowFilter mixLanes4 = nullptr; // processor has them; pixels 3 or 4 bytes apart

    RowFilter filter3 = nullptr; // pixels 3 bytes apart
    RowFilter filter4 = nullptr; // 4 bytes apart (32-bit Originals read directly)
};

using RowReader = void (*)(const Settled&, Scratch&, int y, std::uint8_t* out);

// The blue, green, red bytes of pixel `column` of a stored row.
template <Source S>
inline const std::uint8_t* PixelOf(const Settled& st, const std::uint8_t* row, int column)
{
    if constexpr (S == Source::Bgr24)
        return row + 3 * column;
    else if constexpr (S == Source::Bgr32)
        return row + 4 * column;
    else if constexpr (S == Source::Index8)
        return st.palette[row[column]];
    else {
        std::uint8_t byte = row[column / 2];
        return st.palette[(column % 2) ? (byte & 15) : (byte >> 4)];
    }
}

// Bytes as doubles, and (blue, 1) pairs, read from tables instead of
// converted one by one.
struct ByteTables {
    alignas(16) double value[256];
    alignas(16) double valueAndOne[256][2];
    ByteTables()
    {
        for (int v = 0; v < 256; ++v) {
            value[v] = v;
            valueAndOne[v][0] = v;
            valueAndOne[v][1] = 1.0;
        }
    }
};
extern const ByteTables kBytes;

// Rows are taken in chunks: table look-ups first, then a loop of plain
// arithmetic with no branches that the compiler turns into vector code;
// every lane computes exactly the scalar expression.
constexpr int kChunk = 128;

// Reads one row of the region (stored row y of the result) into `out`, 3
// bytes a pixel: through the sampler, or directly with black outside the
// Original.
RowReader ChooseReader(Source source, bool sampled);

// The tables, limits and row filter of the settings for the pass type.
void SettleFilter(Settled& st, const PassJob& job);

} // namespace lumacut::fast
