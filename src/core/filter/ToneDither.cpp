#include "filter/ToneDither.h"

#include "filter/RenderThreads.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace lumacut {

FilterSettings ToneSettings(const FilterSettings& s)
{
    FilterSettings t = s;
    t.kind = s.kind == kKindDefineSharp ? kKindDefineSharp : kKindDefineBlack;
    t.dither = kDitherNone;
    t.adaptiveRadius = 0;
    return t;
}

const std::array<std::uint8_t, 64>& BayerMap()
{
    static const std::array<std::uint8_t, 64> map = [] {
        std::array<std::uint8_t, 64> m{};
        // M(2n) = [4M, 4M + 2; 4M + 3, 4M + 1], grown from M(1) = 0.
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                int v = 0;
                for (int bit = 0; bit < 3; ++bit) {
                    const int xb = (x >> bit) & 1, yb = (y >> bit) & 1;
                    const int quadrant = yb ? (xb ? 1 : 3) : (xb ? 2 : 0);
                    v += quadrant << (2 * (2 - bit));
                }
                m[std::size_t(y * 8 + x)] = static_cast<std::uint8_t>(v);
            }
        return m;
    }();
    return map;
}

namespace {

constexpr int kNoise = 64;
constexpr int kNoiseCells = kNoise * kNoise;

// Void and cluster on a torus with a Gaussian of sigma 1.5: an initial
// pattern is relaxed until its tightest cluster is also its largest void,
// then its points are ranked by taking clusters away and the rest by
// filling voids.
std::array<std::uint16_t, kNoiseCells> MakeBlueNoise()
{
    std::vector<double> kernel(kNoiseCells);
    for (int dy = 0; dy < kNoise; ++dy)
        for (int dx = 0; dx < kNoise; ++dx) {
            const int ax = std::min(dx, kNoise - dx), ay = std::min(dy, kNoise - dy);
            kernel[std::size_t(dy * kNoise + dx)] = std::exp(-(ax * ax + ay * ay) / (2 * 1.5 * 1.5));
        }
    std::vector<double> energy(kNoiseCells, 0.0);
    std::vector<std::uint8_t> on(kNoiseCells, 0);
    const auto toggle = [&](std::vector<double>& e, std::vector<std::uint8_t>& bits, int p, bool set) {
        bits[std::size_t(p)] = set;
        const int px = p % kNoise, py = p / kNoise;
        const double sign = set ? 1.0 : -1.0;
        for (int y = 0; y < kNoise; ++y) {
            const double* row = &kernel[std::size_t(((y - py + kNoise) % kNoise) * kNoise)];
            double* out = &e[std::size_t(y * kNoise)];
            for (int x = 0; x < kNoise; ++x)
                out[x] += sign * row[(x - px + kNoise) % kNoise];
        }
    };
    const auto tightest = [](const std::vector<double>& e, const std::vector<std::uint8_t>& bits) {
        int best = -1;
        for (int p = 0; p < kNoiseCells; ++p)
            if (bits[std::size_t(p)] && (best < 0 || e[std::size_t(p)] > e[std::size_t(best)]))
                best = p;
        return best;
    };
    const auto largestVoid = [](const std::vector<double>& e, const std::vector<std::uint8_t>& bits) {
        int best = -1;
        for (int p = 0; p < kNoiseCells; ++p)
            if (!bits[std::size_t(p)] && (best < 0 || e[std::size_t(p)] < e[std::size_t(best)]))
                best = p;
        return best;
    };

    // A tenth of the cells from a fixed linear congruential sequence.
    const int initial = kNoiseCells / 10;
    std::uint32_t seed = 12345;
    for (int placed = 0; placed < initial;) {
        seed = seed * 1664525u + 1013904223u;
        const int p = static_cast<int>((seed >> 8) % kNoiseCells);
        if (!on[std::size_t(p)]) {
            toggle(energy, on, p, true);
            ++placed;
        }
    }
    for (int step = 0; step < kNoiseCells; ++step) {
        const int cluster = tightest(energy, on);
        toggle(energy, on, cluster, false);
        const int hole = largestVoid(energy, on);
        toggle(energy, on, hole, true);
        if (hole == cluster)
            break;
    }

    std::array<std::uint16_t, kNoiseCells> rank{};
    std::vector<double> e = energy;
    std::vector<std::uint8_t> bits = on;
    for (int r = initial - 1; r >= 0; --r) {
        const int p = tightest(e, bits);
        toggle(e, bits, p, false);
        rank[std::size_t(p)] = static_cast<std::uint16_t>(r);
    }
    for (int r = initial; r < kNoiseCells; ++r) {
        const int p = largestVoid(energy, on);
        toggle(energy, on, p, true);
        rank[std::size_t(p)] = static_cast<std::uint16_t>(r);
    }
    return rank;
}

constexpr int kWhite = 65535;
constexpr int kHalf = 32768;

struct Tap {
    int dx, dy, weight;
};

// Error diffusion with serpentine rows: even rows (from the top) left to
// right, odd rows right to left with the kernel mirrored. The taps' weights
// add up to the divisor except for Atkinson's, which drops a quarter; where
// they do, the last tap takes what rounding left, so no error is lost.
template <int N>
struct Diffusion {
    int divisor;
    int shift; // divisor = 1 << shift: shares rounded down; -1: truncated
    bool conserving;
    Tap taps[N];
};
constexpr Diffusion<4> kFloydSteinberg{16, 4, true, {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}}};
constexpr Diffusion<6> kAtkinson{8, 3, false, {{1, 0, 1}, {2, 0, 1}, {-1, 1, 1}, {0, 1, 1}, {1, 1, 1}, {0, 2, 1}}};
constexpr Diffusion<12> kJarvis{48,
                                -1,
                                true,
                                {{1, 0, 7},
                                 {2, 0, 5},
                                 {-2, 1, 3},
                                 {-1, 1, 5},
                                 {0, 1, 7},
                                 {1, 1, 5},
                                 {2, 1, 3},
                                 {-2, 2, 1},
                                 {-1, 2, 3},
                                 {0, 2, 5},
                                 {1, 2, 3},
                                 {2, 2, 1}}};

unsigned WhiteBitOf(const CPicture& target)
{
    const PaletteEntry& one = target.Rgb(1);
    const PaletteEntry& zero = target.Rgb(0);
    return one.red + one.green + one.blue >= zero.red + zero.green + zero.blue ? 1 : 0;
}

// One row of error diffusion in direction Dir into `white` (a byte a
// pixel, 1 for white; no branch on the outcome). r0 holds what earlier rows
// sent to this one. The shares for this row go to the two pixels ahead and
// those for the rows below, r1 and r2, to windows of columns x - 2 .. x + 2
// (in the direction of travel), all kept in registers: a column leaves its
// window, to memory, once no later pixel of the row can reach it.
template <const auto& K, int Dir>
void DiffuseRow(const std::uint8_t* src, std::uint8_t* white, const std::uint16_t* value, const std::int32_t* r0,
                std::int32_t* r1, std::int32_t* r2, int width)
{
    constexpr int n = static_cast<int>(std::size(K.taps));
    constexpr bool twoBelow = [] {
        for (const Tap& tap : K.taps)
            if (tap.dy == 2)
                return true;
        return false;
    }();
    std::int32_t ahead1 = 0, ahead2 = 0;
    std::int32_t below1[5] = {}, below2[5] = {};
    int x = Dir > 0 ? 0 : width - 1;
    for (int j = 0; j < width; ++j, x += Dir) {
        const std::int32_t v = value[src[x]] + r0[x] + ahead1;
        ahead1 = ahead2;
        ahead2 = 0;
        const std::int32_t on = v >= kHalf;
        white[x] = static_cast<std::uint8_t>(on);
        const std::int32_t e = v - (-on & kWhite);
        std::int32_t given = 0;
        for (int t = 0; t < n; ++t) {
            const Tap& tap = K.taps[t];
            // Rounded down (a shift): the carry to the next pixel is the
            // render's longest chain of dependent steps.
            std::int32_t share = 0;
            if (K.conserving && t == n - 1)
                share = e - given;
            else if (K.shift < 0)
                share = e * tap.weight / K.divisor;
            else if (tap.dy == 0) // both outcomes' shares at once, then a select
                share = on ? ((v - kWhite) * tap.weight) >> K.shift : (v * tap.weight) >> K.shift;
            else
                share = (e * tap.weight) >> K.shift;
            given += share;
            if (tap.dy == 0)
                (tap.dx == 1 ? ahead1 : ahead2) += share;
            else
                (tap.dy == 1 ? below1 : below2)[tap.dx + 2] += share;
        }
        // Column x - 2 is complete; the windows move on by one.
        r1[x - 2 * Dir] += below1[0];
        if (twoBelow)
            r2[x - 2 * Dir] += below2[0];
        for (int k = 0; k < 4; ++k) {
            below1[k] = below1[k + 1];
            below2[k] = below2[k + 1];
        }
        below1[4] = below2[4] = 0;
    }
    // Columns x - 2 .. x + 1 of the last x + 1 (within the margins).
    for (int k = 0; k < 4; ++k) {
        r1[x + (k - 2) * Dir] += below1[k];
        if (twoBelow)
            r2[x + (k - 2) * Dir] += below2[k];
    }
}

// Packs a byte a pixel (1 white) into the row's bits.
void PackRow(const std::uint8_t* white, int width, unsigned whiteBit, std::uint8_t* dst)
{
    const std::uint8_t flip = whiteBit ? 0 : 0xFF;
    const int full = width / 8;
    for (int i = 0; i < full; ++i, white += 8) {
        unsigned byte = 0;
        for (int k = 0; k < 8; ++k)
            byte = (byte << 1) | white[k];
        dst[i] = static_cast<std::uint8_t>(byte ^ flip);
    }
    if (const int rest = width % 8) {
        unsigned byte = 0;
        for (int k = 0; k < 8; ++k)
            byte = (byte << 1) | (k < rest ? white[k] : 0u);
        dst[full] = static_cast<std::uint8_t>(byte ^ flip);
    }
}

template <const auto& K>
void Diffuse(const std::uint8_t* src, std::uint8_t* white, const std::uint16_t* value, std::int32_t* errors, int row,
             int width)
{
    constexpr int pad = 2;
    const std::size_t span = std::size_t(width) + 2 * pad;
    std::int32_t* rows[3];
    for (int dy = 0; dy < 3; ++dy)
        rows[dy] = errors + ((row + dy) % 3) * span + pad;
    if (row & 1)
        DiffuseRow<K, -1>(src, white, value, rows[0], rows[1], rows[2], width);
    else
        DiffuseRow<K, 1>(src, white, value, rows[0], rows[1], rows[2], width);
    // This row's errors are spent; its buffer becomes the row three below.
    std::fill(rows[0] - pad, rows[0] - pad + span, 0);
}

// Sauvola's threshold over a (2r + 1)^2 window clipped to the picture: the
// column sums run down a band of rows and the window's sums along each row,
// all in exact integers, so the bands (and threads) change nothing. Dark
// text on light ground is what the method expects, so with Negative it
// works on the tone before Negative and the result is inverted.
} // namespace

void AdaptiveRows(const CPicture& tones, const FilterSettings& s, CPicture& target, int first, int end)
{
    const int width = std::min(tones.Width(), target.Width()), height = std::min(tones.Height(), target.Height());
    first = std::max(first, 0);
    end = std::min(end, height);
    if (width <= 0 || first >= end)
        return;
    const int r = s.adaptiveRadius;
    const unsigned whiteBit = WhiteBitOf(target);
    const int flip = s.negative ? 255 : 0;
    const std::uint8_t negative = s.negative ? 1 : 0;
    const double k = s.adaptiveK;
    const std::size_t w = std::size_t(width);
    // Sums of whole numbers below 2^53 are exact in doubles, whatever the
    // order of the additions: the same values as integer sums, in a form
    // the compiler can turn into vector code.
    std::vector<double> perColumns(w), colSum(w, 0.0), colSquares(w, 0.0), prefix(w + 1, 0.0),
        prefixSquares(w + 1, 0.0), sum(w), squares(w);
    std::vector<std::uint8_t> white(w, 0);
    std::vector<int> lo(w), hi(w); // the window's columns at x: lo .. hi - 1
    for (std::size_t x = 0; x < w; ++x) {
        lo[x] = std::max(int(x) - r, 0);
        hi[x] = std::min(int(x) + r + 1, width);
        perColumns[x] = 1.0 / (hi[x] - lo[x]);
    }
    const auto addRow = [&](int i, double sign) {
        const std::uint8_t* src = tones.Row(height - 1 - i);
        for (std::size_t x = 0; x < w; ++x) {
            const double u = double(src[x] ^ flip);
            colSum[x] += sign * u;
            colSquares[x] += sign * (u * u);
        }
    };
    for (int i = std::max(first - r, 0); i <= std::min(first + r, height - 1); ++i)
        addRow(i, 1.0);
    for (int i = first; i < end; ++i) {
        const std::uint8_t* src = tones.Row(height - 1 - i);
        const double perRows = 1.0 / (std::min(i + r, height - 1) - std::max(i - r, 0) + 1);
        for (std::size_t x = 0; x < w; ++x) {
            prefix[x + 1] = prefix[x] + colSum[x];
            prefixSquares[x + 1] = prefixSquares[x] + colSquares[x];
        }
        for (std::size_t x = 0; x < w; ++x) {
            sum[x] = prefix[std::size_t(hi[x])] - prefix[std::size_t(lo[x])];
            squares[x] = prefixSquares[std::size_t(hi[x])] - prefixSquares[std::size_t(lo[x])];
        }
        // No branch in this loop, so that it runs in vectors.
        for (std::size_t x = 0; x < w; ++x) {
            const double per = perRows * perColumns[x];
            const double mean = sum[x] * per;
            const double spread = squares[x] * per - mean * mean;
            const double variance = spread > 0.0 ? spread : 0.0;
            const double limit = mean * (1 + k * (std::sqrt(variance) / 128 - 1));
            // White where the tone before Negative is above the limit,
            // and the other way round with Negative.
            white[x] = static_cast<std::uint8_t>(double(src[x] ^ flip) > limit) ^ negative;
        }
        PackRow(white.data(), width, whiteBit, target.MutableRow(height - 1 - i));
        if (i + r + 1 < height)
            addRow(i + r + 1, 1.0);
        if (i - r >= 0)
            addRow(i - r, -1.0);
    }
}

const std::array<std::uint16_t, 64 * 64>& BlueNoiseMap()
{
    static const std::array<std::uint16_t, kNoiseCells> map = MakeBlueNoise();
    return map;
}

std::uint16_t LinearOf(int tone)
{
    static const std::array<std::uint16_t, 256> table = [] {
        std::array<std::uint16_t, 256> t{};
        for (int v = 0; v < 256; ++v) {
            const double c = v / 255.0;
            const double l = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
            t[std::size_t(v)] = static_cast<std::uint16_t>(std::lround(l * kWhite));
        }
        return t;
    }();
    return table[std::size_t(tone & 0xFF)];
}

ToneDitherer::ToneDitherer(const FilterSettings& s, const CPicture& target)
    : m_method(s.dither), m_width(target.Width()), m_whiteBit(WhiteBitOf(target)),
      m_white(std::size_t(std::max(0, target.Width())), 0)
{
    for (int v = 0; v < 256; ++v)
        m_value[v] = s.linearLight ? LinearOf(v) : static_cast<std::uint16_t>(v * 257);
    if (m_method == kDitherOrdered || m_method == kDitherBlueNoise) {
        // Level l of n levels stands for the middle of its share of 0..65536.
        const bool bayer = m_method == kDitherOrdered;
        m_side = bayer ? 8 : kNoise;
        const int levels = m_side * m_side;
        m_cut.resize(std::size_t(levels));
        for (int c = 0; c < levels; ++c) {
            const int level = bayer ? BayerMap()[std::size_t(c)] : BlueNoiseMap()[std::size_t(c)];
            m_cut[std::size_t(c)] = static_cast<std::int32_t>((std::int64_t{2 * level + 1} * 65536) / (2 * levels));
        }
    } else {
        m_errors.assign(3 * (std::size_t(m_width) + 4), 0);
    }
}

void ToneDitherer::Row(const std::uint8_t* tone, std::uint8_t* dst)
{
    std::uint8_t* white = m_white.data();
    switch (m_method) {
    case kDitherFloydSteinberg: Diffuse<kFloydSteinberg>(tone, white, m_value, m_errors.data(), m_row, m_width); break;
    case kDitherAtkinson: Diffuse<kAtkinson>(tone, white, m_value, m_errors.data(), m_row, m_width); break;
    case kDitherJarvisJudiceNinke: Diffuse<kJarvis>(tone, white, m_value, m_errors.data(), m_row, m_width); break;
    case kDitherOrdered:
    case kDitherBlueNoise: {
        // White where the value passes the threshold of the pixel's cell.
        // The sides are powers of two.
        const int mask = m_side - 1;
        const std::int32_t* cells = m_cut.data() + std::size_t(m_row & mask) * m_side;
        for (int x = 0; x < m_width; ++x)
            white[x] = m_value[tone[x]] > cells[x & mask];
        break;
    }
    default: std::fill(m_white.begin(), m_white.end(), 0); break;
    }
    PackRow(white, m_width, m_whiteBit, dst);
    ++m_row;
}

void TonesToTwoColor(const CPicture& tones, const FilterSettings& s, CPicture& target)
{
    const int width = std::min(tones.Width(), target.Width()), height = std::min(tones.Height(), target.Height());
    if (width <= 0 || height <= 0)
        return;
    if (s.adaptiveRadius > 0) {
        const int bands = std::clamp(height / 64, 1, 8 * RenderThreadCount());
        ParallelFor(bands, [&](int band) {
            AdaptiveRows(tones, s, target, static_cast<int>(std::int64_t{height} * band / bands),
                         static_cast<int>(std::int64_t{height} * (band + 1) / bands));
        });
        return;
    }
    ToneDitherer ditherer(s, target);
    for (int i = 0; i < height; ++i)
        ditherer.Row(tones.Row(height - 1 - i), target.MutableRow(height - 1 - i));
}

} // namespace lumacut
