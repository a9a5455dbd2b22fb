#include "filter/ToneDither.h"

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
    bool conserving;
    Tap taps[N];
};
constexpr Diffusion<4> kFloydSteinberg{16, true, {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}}};
constexpr Diffusion<6> kAtkinson{8, false, {{1, 0, 1}, {2, 0, 1}, {-1, 1, 1}, {0, 1, 1}, {1, 1, 1}, {0, 2, 1}}};
constexpr Diffusion<12> kJarvis{48,
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

struct Output {
    CPicture& target;
    int width, height;
    unsigned whiteBit;

    // Visual row i (0 at the top) is stored row height - 1 - i.
    std::uint8_t* Row(int i) const
    {
        std::uint8_t* row = target.MutableRow(height - 1 - i);
        std::memset(row, whiteBit ? 0 : 0xFF, std::size_t(width + 7) / 8);
        return row;
    }
    void SetWhite(std::uint8_t* row, int x) const
    {
        row[x >> 3] = static_cast<std::uint8_t>(row[x >> 3] ^ (0x80u >> (x & 7)));
    }
};

template <int N>
void Diffuse(const CPicture& tones, const Diffusion<N>& kernel, const std::uint16_t (&value)[256], const Output& out)
{
    const int width = out.width;
    constexpr int pad = 2;
    const std::size_t span = std::size_t(width) + 2 * pad;
    std::vector<std::int32_t> errors(3 * span, 0);
    for (int i = 0; i < out.height; ++i) {
        std::int32_t* rows[3];
        for (int dy = 0; dy < 3; ++dy)
            rows[dy] = errors.data() + ((i + dy) % 3) * span + pad;
        const std::uint8_t* src = tones.Row(out.height - 1 - i);
        std::uint8_t* dst = out.Row(i);
        const bool back = i & 1;
        const int dir = back ? -1 : 1;
        for (int j = 0; j < width; ++j) {
            const int x = back ? width - 1 - j : j;
            const std::int32_t v = value[src[x]] + rows[0][x];
            const bool white = v >= kHalf;
            const std::int32_t e = white ? v - kWhite : v;
            if (white)
                out.SetWhite(dst, x);
            std::int32_t given = 0;
            for (int t = 0; t < N; ++t) {
                const Tap& tap = kernel.taps[t];
                const std::int32_t share =
                    kernel.conserving && t == N - 1 ? e - given : e * tap.weight / kernel.divisor;
                given += share;
                rows[tap.dy][x + dir * tap.dx] += share;
            }
        }
        // This row's errors are spent; its buffer becomes the row three below.
        std::fill(rows[0] - pad, rows[0] - pad + span, 0);
    }
}

// White where the value passes the map's threshold for the pixel's cell;
// `cut` holds the thresholds, in the value's scale, of a side x side map.
void Threshold(const CPicture& tones, const std::uint16_t (&value)[256], const std::vector<std::int32_t>& cut,
               int side, const Output& out)
{
    for (int i = 0; i < out.height; ++i) {
        const std::uint8_t* src = tones.Row(out.height - 1 - i);
        std::uint8_t* dst = out.Row(i);
        const std::int32_t* cells = cut.data() + std::size_t(i % side) * side;
        for (int x = 0; x < out.width; ++x)
            if (value[src[x]] > cells[x % side])
                out.SetWhite(dst, x);
    }
}

// Sauvola's threshold over a (2r + 1)^2 window clipped to the picture: the
// column sums run down the picture and the window's sums along each row,
// all in exact integers. Dark text on light ground is what the method
// expects, so with Negative it works on the tone before Negative and the
// result is inverted.
void Adaptive(const CPicture& tones, const FilterSettings& s, const Output& out)
{
    const int width = out.width, height = out.height, r = s.adaptiveRadius;
    const int flip = s.negative ? 255 : 0;
    const double k = s.adaptiveK;
    std::vector<std::uint64_t> colSum(std::size_t(width), 0), colSquares(std::size_t(width), 0);
    const auto addRow = [&](int i, int sign) {
        const std::uint8_t* src = tones.Row(height - 1 - i);
        for (int x = 0; x < width; ++x) {
            const std::uint64_t u = std::uint64_t(src[x] ^ flip);
            colSum[std::size_t(x)] += sign > 0 ? u : -u;
            colSquares[std::size_t(x)] += sign > 0 ? u * u : -(u * u);
        }
    };
    for (int i = 0; i <= std::min(r, height - 1); ++i)
        addRow(i, 1);
    for (int i = 0; i < height; ++i) {
        const std::uint8_t* src = tones.Row(height - 1 - i);
        std::uint8_t* dst = out.Row(i);
        const std::int64_t rowsIn = std::min(i + r, height - 1) - std::max(i - r, 0) + 1;
        std::uint64_t sum = 0, squares = 0;
        for (int x = 0; x <= std::min(r, width - 1); ++x) {
            sum += colSum[std::size_t(x)];
            squares += colSquares[std::size_t(x)];
        }
        for (int x = 0; x < width; ++x) {
            const std::int64_t n = rowsIn * (std::min(x + r, width - 1) - std::max(x - r, 0) + 1);
            const double mean = double(sum) / double(n);
            const double variance = std::max(0.0, double(squares) / double(n) - mean * mean);
            const double limit = mean * (1 + k * (std::sqrt(variance) / 128 - 1));
            const bool light = (src[x] ^ flip) > limit;
            if (light != (flip != 0))
                out.SetWhite(dst, x);
            if (x + r + 1 < width) {
                sum += colSum[std::size_t(x + r + 1)];
                squares += colSquares[std::size_t(x + r + 1)];
            }
            if (x - r >= 0) {
                sum -= colSum[std::size_t(x - r)];
                squares -= colSquares[std::size_t(x - r)];
            }
        }
        if (i + r + 1 < height)
            addRow(i + r + 1, 1);
        if (i - r >= 0)
            addRow(i - r, -1);
    }
}

} // namespace

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

void TonesToTwoColor(const CPicture& tones, const FilterSettings& s, CPicture& target)
{
    const int width = std::min(tones.Width(), target.Width()), height = std::min(tones.Height(), target.Height());
    if (width <= 0 || height <= 0)
        return;
    const PaletteEntry& one = target.Rgb(1);
    const PaletteEntry& zero = target.Rgb(0);
    const unsigned whiteBit = one.red + one.green + one.blue >= zero.red + zero.green + zero.blue ? 1 : 0;
    const Output out{target, width, height, whiteBit};
    if (s.adaptiveRadius > 0) {
        Adaptive(tones, s, out);
        return;
    }
    std::uint16_t value[256];
    for (int v = 0; v < 256; ++v)
        value[v] = s.linearLight ? LinearOf(v) : static_cast<std::uint16_t>(v * 257);
    switch (s.dither) {
    case kDitherFloydSteinberg: Diffuse(tones, kFloydSteinberg, value, out); break;
    case kDitherAtkinson: Diffuse(tones, kAtkinson, value, out); break;
    case kDitherJarvisJudiceNinke: Diffuse(tones, kJarvis, value, out); break;
    case kDitherOrdered:
    case kDitherBlueNoise: {
        // Level l of n levels stands for the middle of its share of 0..65536.
        const bool bayer = s.dither == kDitherOrdered;
        const int side = bayer ? 8 : kNoise, levels = side * side;
        std::vector<std::int32_t> cut(static_cast<std::size_t>(levels));
        for (int c = 0; c < levels; ++c) {
            const int level = bayer ? BayerMap()[std::size_t(c)] : BlueNoiseMap()[std::size_t(c)];
            cut[std::size_t(c)] = static_cast<std::int32_t>((std::int64_t{2 * level + 1} * 65536) / (2 * levels));
        }
        Threshold(tones, value, cut, side, out);
        break;
    }
    default: break;
    }
}

} // namespace lumacut
