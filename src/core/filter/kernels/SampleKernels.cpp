// Reading the Original: its rows directly, and the tent-weighted sums of
// the sampler's windows, one accumulator for tilted and untilted windows.
#include "filter/kernels/Lanes.h"

namespace lumacut::fast::LUMACUT_KERNELS {

void ReadRow(const SourceImage& s, int x0, int y, int n, std::uint8_t* out)
{
    BySource(s.kind, [&]<Source S>(SourceTag<S>) {
        const bool rowInside = y >= 0 && y < s.height;
        for (int i = 0; i < n; ++i, out += 3) {
            const int x = x0 + i;
            if (rowInside && x >= 0 && x < s.width) {
                const std::uint8_t* p = PixelOf<S>(s, x, y);
                out[0] = p[0];
                out[1] = p[1];
                out[2] = p[2];
            } else {
                out[0] = out[1] = out[2] = 0;
            }
        }
    });
}

namespace {

// (blue, green, red, 1) of a pixel in doubles: weight x it adds to the
// sums of blue, green, red and of the weights at once. Read as the 4 bytes
// that end with the pixel's (24 bits) or begin with them.
template <Source S>
inline V4d PixelVector(const SourceImage& s, int column, int row)
{
    constexpr int lead = S == Source::Bgr24 ? 1 : 0;
    std::uint32_t bytes;
    std::memcpy(&bytes, PixelOf<S>(s, column, row) - lead, 4);
    const V16b v = (V16b)V4u{bytes, 1u << 24, 0, 0}; // byte 7 is 1, byte 5 is 0
    return ToDouble(
        (V4i)__builtin_shufflevector(v, v, lead, 5, 5, 5, lead + 1, 5, 5, 5, lead + 2, 5, 5, 5, 7, 5, 5, 5));
}

// Row `row` from the cache, turned into pixel vectors first if it is not there.
template <Source S>
inline const double* CachedRow(const SourceImage& s, RowCache& cache, int row)
{
    const int slot = row % cache.slots;
    double* pixels = cache.pixels + std::size_t(4) * cache.count * slot;
    if (cache.row[slot] != row) {
        for (int c = 0; c < cache.count; ++c) {
            const V4d p = PixelVector<S>(s, cache.first + c, row);
            std::memcpy(pixels + 4 * c, &p, sizeof p);
        }
        cache.row[slot] = row;
    }
    return pixels;
}

// TentWeight's doubles for columns c .. c + 3 of a window row within the
// footprint: the two factors' product within the footprint, else 1e-9.
inline V4d Weights(const TentAxis& x, int c, double rowFactor)
{
    V4d factor;
    V4l within;
    std::memcpy(&factor, x.factor + c, sizeof factor);
    std::memcpy(&within, x.within + c, sizeof within);
    return (V4d)(((V4l)(factor * rowFactor) & within) | ((V4l)(V4d{} + 1e-9) & ~within));
}

// Window row r of a sample added pixel by pixel in the plain order, each
// pixel (`pixel(c)`, c counted from the window's first column) times its
// weight. A weight of exactly 0 adds +0 or -0 to sums that are never -0,
// which changes nothing, so the columns whose weights are such zeros in
// every row within the footprint are left out.
template <class Pixel>
inline V4d AddRow(const TentWindow& w, int r, V4d sums, Pixel pixel)
{
    const TentAxis& x = *w.x;
    if (!w.y->within[r]) {
        for (int c = 0; c < x.count; ++c)
            sums += 1e-9 * pixel(c);
        return sums;
    }
    const double rowFactor = w.y->factor[r];
    for (int c = x.lo; c < x.hi; c += 4) {
        const V4d weight = Weights(x, c, rowFactor);
        const int end = x.hi - c < 4 ? x.hi - c : 4;
        for (int k = 0; k < end; ++k)
            sums += weight[k] * pixel(c + k);
    }
    return sums;
}

// The rows whose weights are not all such zeros: with every column within
// the footprint, not the rows at the ends whose factor is exactly 0.
inline void RowSpan(const TentWindow& w, int& begin, int& end)
{
    begin = w.x->allInside ? w.y->lo : 0;
    end = w.x->allInside ? w.y->hi : w.y->count;
}

// The bytes of a sample as the plain sample rounds its sums: ClampRound of
// each sum times 1 / weight; black when the weights add up to 0.
inline void Put(V4d sums, std::uint8_t* out)
{
    const double weight = sums[3];
    if (weight == 0) {
        out[0] = out[1] = out[2] = 0;
        return;
    }
    V4d t = sums * (1 / weight) + 0.5;
    t = t > 0 ? t : 0;
    t = t < 255.5 ? t : 255.5;
    const V4i bytes = ToInt(t);
    out[0] = static_cast<std::uint8_t>(bytes[0]);
    out[1] = static_cast<std::uint8_t>(bytes[1]);
    out[2] = static_cast<std::uint8_t>(bytes[2]);
}

// A sample that weighs one pixel 1 and all others exactly 0 is that pixel;
// one without pixels is black.
inline bool Single(const TentWindow& w) { return w.x->single >= 0 && w.y->single >= 0; }
inline bool Empty(const TentWindow& w) { return w.x->count == 0 || w.y->count == 0; }

// Two samples at a time, for two independent chains of additions;
// `pixels(w, r)` gives window w's row r, a pixel vector for each column c.
template <Source S, class Pixels>
void SumPairs(const SourceImage& s, const TentWindow* windows, int count, std::uint8_t* out, Pixels pixels)
{
    for (int i = 0; i < count;) {
        const TentWindow& a = windows[i];
        if (Single(a) || Empty(a)) {
            if (Empty(a))
                std::memset(out + 3 * a.out, 0, 3);
            else
                std::memcpy(out + 3 * a.out, PixelOf<S>(s, a.x->single, a.y->single), 3);
            ++i;
            continue;
        }
        const bool pair = i + 1 < count && !Single(windows[i + 1]) && !Empty(windows[i + 1]);
        const TentWindow& b = pair ? windows[i + 1] : a;
        int beginA, endA, beginB, endB;
        RowSpan(a, beginA, endA);
        RowSpan(b, beginB, endB);
        V4d sumsA = {}, sumsB = {};
        for (int r = beginA < beginB ? beginA : beginB; r < (endA > endB ? endA : endB); ++r) {
            if (r >= beginA && r < endA)
                sumsA = AddRow(a, r, sumsA, pixels(a, r));
            if (pair && r >= beginB && r < endB)
                sumsB = AddRow(b, r, sumsB, pixels(b, r));
        }
        Put(sumsA, out + 3 * a.out);
        if (pair)
            Put(sumsB, out + 3 * b.out);
        i += pair ? 2 : 1;
    }
}

} // namespace

void SumWindows(const SourceImage& original, RowCache* cache, const TentWindow* windows, int count, std::uint8_t* out)
{
    if (count == 0)
        return;
    // A copy the byte writes cannot alias, so its fields stay in registers.
    const SourceImage s = original;
    BySource(s.kind, [&]<Source S>(SourceTag<S>) {
        const TentAxis& rows = *windows[0].y;
        if (!cache || rows.count > cache->slots) {
            SumPairs<S>(s, windows, count, out, [&](const TentWindow& w, int r) {
                const int row = w.y->first + r, first = w.x->first;
                return [&s, row, first](int c) { return PixelVector<S>(s, first + c, row); };
            });
            return;
        }
        // every window has these rows: each turned into vectors when first read
        const double* cached[kCacheSlots] = {};
        const auto cachedRow = [&](const TentWindow& w, int r) {
            if (!cached[r])
                cached[r] = CachedRow<S>(s, *cache, rows.first + r);
            const double* row = cached[r] + 4 * (w.x->first - cache->first);
            return [row](int c) {
                V4d p;
                std::memcpy(&p, row + 4 * c, sizeof p);
                return p;
            };
        };
        if (rows.single < 0) {
            SumPairs<S>(s, windows, count, out, cachedRow);
            return;
        }
        // One row of factor 1: the many windows of one column of factor 1
        // copy their pixel without the sums' bookkeeping.
        for (int i = 0; i < count; ++i) {
            const int column = windows[i].x->single;
            if (column >= 0)
                std::memcpy(out + 3 * windows[i].out, PixelOf<S>(s, column, rows.single), 3);
            else
                SumPairs<S>(s, windows + i, 1, out, cachedRow);
        }
    });
}

} // namespace lumacut::fast::LUMACUT_KERNELS
