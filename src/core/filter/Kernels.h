#pragma once
// The fast pass's kernels: the loops that do the arithmetic of every pixel
// in vectors. Their sources (kernels/) are compiled twice, for any x86-64
// processor and with AVX2, into the namespaces plain and avx2; a render
// takes one of the two tables whole (ChosenKernels), so a processor without
// AVX2, a test that switches AVX2 off and the sanitizer build all run the
// same code as the release build on this machine. The kernels read only
// the records declared here.
#include "filter/FilterFormulas.h"
#include "filter/RenderPass.h"
#include "picture/CSampler.h"

#include <cstdint>

namespace lumacut::fast {

// Pixels reach the filters as blue, green, red bytes.
enum Channel { kB = 0, kG = 1, kR = 2 };

enum class Source : std::uint8_t { Bgr24, Bgr32, Index8, Nibble4 };

// The Original as the kernels read it. The byte before `bits` is read too
// (the block's header comes before its rows).
struct SourceImage {
    Source kind = Source::Bgr24;
    const std::uint8_t* bits = nullptr;
    std::int64_t stride = 0;
    int width = 0, height = 0;
    std::uint8_t palette[256][4] = {}; // blue, green, red, 0
};
SourceImage SourceOf(const CPicture& original);

// The tent along one axis of a sample's window: source columns (or rows)
// first .. first + count - 1, each with its factor 1 - e / footprint and
// `within` all ones when it lies within the footprint (the factor then
// counts, else the weight is 1e-9). Outside lo .. hi - 1 every one is
// within the footprint with a factor of exactly 0. `single`: the one
// column of factor 1 when all others are such zeros, else -1. Both arrays
// have room for 3 more entries, which the kernels read and leave unused.
struct TentAxis {
    int first = 0, count = 0;
    int lo = 0, hi = 0;
    int single = -1;
    bool allInside = false;
    const double* factor = nullptr;
    const std::uint64_t* within = nullptr;
};

// Source rows as (blue, green, red, 1) doubles, columns first .. first +
// count - 1, each turned once and kept in a ring of `slots` rows (at most
// kCacheSlots).
inline constexpr int kCacheSlots = 32;
struct RowCache {
    double* pixels = nullptr; // slots x count x 4
    int* row = nullptr;       // the row each slot holds, -1 for none
    int slots = 0;
    int first = 0, count = 0;
};

// One sample: its window's two axes and where its three bytes go.
struct TentWindow {
    const TentAxis* x = nullptr;
    const TentAxis* y = nullptr;
    int out = 0;
};

// How the tone curve's last steps are taken in the true-colour mix: for
// any settings (0 where z is not finite, else clamped and truncated), or
// with z known finite and far inside the int range (truncated, then
// clamped), and with it contrast exactly 1, whose product changes nothing.
enum class Curve : std::uint8_t { Checked, Bounded, BoundedUnitContrast };

// What the colour kernels need of the settings.
struct ColourLanes {
    std::int32_t colour[11][3] = {}; // the colour, then kind 3's reference colours; blue, green, red
    int references = 0;              // kind 3 in true colour: how many follow the colour
    std::int32_t active[3] = {};     // -1 for a channel compared with the colour, else 0
    FilterConstants k;
    double lightDark = 0;
    bool emphasize = false;          // true colour kind 1 (else 2)
    bool neutralBias = false;        // k exactly 1: the curve's bias step changes nothing
    Curve curve = Curve::Checked;    // the true-colour mix's last steps
    std::int32_t flip = 0;           // 255 with Negative
    std::int32_t white = 255;        // true colour kind 3: a near pixel's bytes
    std::int32_t nearLimit = 0;      // true colour kind 3: near below this distance
    std::uint8_t tone[256] = {};     // T(v), Negative applied
};
ColourLanes SettleLanes(const PassJob& job);

// Rows of `n` pixels whose bytes are `step` (3 or 4) apart, to 3 bytes (true
// colour) or 1 byte (grey) a pixel.
using ColourRow = void (*)(const ColourLanes&, const std::uint8_t* src, int step, int n, std::uint8_t* dst);

struct Kernels {
    // Row y of the Original, columns x0 .. x0 + n - 1, 3 bytes a pixel; black outside.
    void (*readRow)(const SourceImage&, int x0, int y, int n, std::uint8_t* out);
    // Each window's sample, rounded, to out + 3 x its `out`. With a cache,
    // every window has the first one's rows.
    void (*sumWindows)(const SourceImage&, RowCache* cache, const TentWindow* windows, int count, std::uint8_t* out);
    // The samples of New Picture pixels x0 .. x0 + n - 1 of row y that the
    // single-precision shortcut is sure of (footprint 0.5 .. 1.5, 24- and
    // 32-bit Originals), to out + 3 x (x - x0). The others, whose bytes it
    // leaves alone, go to `left` as x - x0; returns how many.
    int (*bilinearRow)(const SourceImage&, const CSampler&, int x0, int y, int n, std::uint8_t* out, int* left);
    ColourRow greySharp; // grey kinds 1 to 3
    ColourRow trueMix;   // true colour kinds 1 and 2
    ColourRow trueNear;  // true colour kind 3
};

namespace plain {
extern const Kernels kKernels;
}
namespace avx2 {
extern const Kernels kKernels;
}

// The one choice: the AVX2 kernels where the processor has AVX2 and they
// are allowed, else the plain ones. Disallowed, this machine renders as one
// without AVX2 would, which lets the tests check those kernels too.
const Kernels& ChosenKernels();
void AllowVectorPaths(bool allow);

// The first value in low..high at which `test` holds, for a test that once
// true stays true (high when it never holds). Runs the formula itself, so a
// limit found this way agrees with it for every value.
template <class Test>
int FirstTrue(int low, int high, Test test)
{
    while (low < high) {
        int mid = low + (high - low) / 2;
        if (test(mid))
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

} // namespace lumacut::fast
