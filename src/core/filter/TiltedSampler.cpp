#include "filter/TiltedSampler.h"

#include "filter/BilinearShortcut.h"
#include "filter/SampleSums.h"
#include "filter/SamplerParts.h"
#include "filter/VectorPaths.h"

#include "picture/SamplerWindow.h"

#include <cmath>
#include <cstring>

namespace lumacut::fast {

namespace {

// The mapped point and window of each sample of a tilted row. A sample
// looked at ahead, to be paired with the one before it, is kept for its
// own turn when the pair does not come about.
struct MappedSample {
    double gx = 0, gy = 0;
    SampleWindow w;
    bool Empty() const { return w.x0 > w.x1 || w.y0 > w.y1; }
    int Columns() const { return w.x1 - w.x0 + 1; }
    int Rows() const { return w.y1 - w.y0 + 1; }
};

class TiltedWalk {
public:
    TiltedWalk(const Settled& st, int y) : m_st(st), m_y(y) {}
    MappedSample At(int i)
    {
        if (i == m_aheadAt)
            return m_ahead;
        return Map(i);
    }
    MappedSample Ahead(int i)
    {
        m_ahead = Map(i);
        m_aheadAt = i;
        return m_ahead;
    }

private:
    MappedSample Map(int i) const
    {
        const CSampler& s = m_st.job->sampler;
        MappedSample m;
        MapToSource(s, m_st.job->x0 + i, m_y, 0, 0, m.gx, m.gy);
        m.w = WindowAround(s, m.gx, m.gy, m_st.width, m_st.height);
        return m;
    }

    const Settled& m_st;
    int m_y;
    MappedSample m_ahead;
    int m_aheadAt = -1;
};

// One sample the plain way, its weights made row by row in `weight`.
template <Source S>
void SampleOne(const Settled& st, const MappedSample& a, double* factor, std::uint8_t* inside, double* weight,
               std::uint8_t* out)
{
    const CSampler& s = st.job->sampler;
    const int count = a.Columns();
    AxisFactors(a.gx, a.w.x0, count, s.m_footX, s.m_invFootX, factor, inside);
    Sums sums;
    for (int r = 0; r < a.Rows(); ++r) {
        const double ey = std::fabs(a.gy - (a.w.y0 + r));
        RowWeights(count, factor, inside, !(ey > s.m_footY), 1 - ey * s.m_invFootY, weight);
        AddRow<S>(st, st.bits + std::int64_t{a.w.y0 + r} * st.stride, a.w.x0, count, weight, sums);
    }
    PutSample(sums, out);
}

// With a tilt every sample has its own window; the column factors are made
// once per sample, the row weights once per window row. Neighbouring samples
// whose windows have the same size run side by side.
template <Source S>
void SampleRowTiltedPlain(const Settled& st, Scratch& scratch, int y, std::uint8_t* out)
{
    const CSampler& s = st.job->sampler;
    const std::size_t room = std::size_t(st.width) + 1;
    scratch.columnFactor.resize(2 * room);
    scratch.columnInside.resize(2 * room);
    scratch.weightA.resize(room);
    scratch.weightB.resize(room);
    double* factorA = scratch.columnFactor.data();
    double* factorB = factorA + room;
    std::uint8_t* insideA = scratch.columnInside.data();
    std::uint8_t* insideB = insideA + room;
    double* weightA = scratch.weightA.data();
    double* weightB = scratch.weightB.data();

    const int n = st.regionWidth;
    TiltedWalk walk(st, y);
    for (int i = 0; i < n;) {
        const MappedSample a = walk.At(i);
        if (a.Empty()) {
            out[3 * i] = out[3 * i + 1] = out[3 * i + 2] = 0;
            ++i;
            continue;
        }
        const int count = a.Columns();
        const int rows = a.Rows();
        if (i + 1 < n) {
            const MappedSample b = walk.Ahead(i + 1);
            if (b.Columns() == count && b.Rows() == rows && !b.Empty()) {
                AxisFactors(a.gx, a.w.x0, count, s.m_footX, s.m_invFootX, factorA, insideA);
                AxisFactors(b.gx, b.w.x0, count, s.m_footX, s.m_invFootX, factorB, insideB);
                Sums sumsA, sumsB;
                for (int r = 0; r < rows; ++r) {
                    const double eyA = std::fabs(a.gy - (a.w.y0 + r));
                    const double eyB = std::fabs(b.gy - (b.w.y0 + r));
                    RowWeights(count, factorA, insideA, !(eyA > s.m_footY), 1 - eyA * s.m_invFootY, weightA);
                    RowWeights(count, factorB, insideB, !(eyB > s.m_footY), 1 - eyB * s.m_invFootY, weightB);
                    AddRowPair<S>(st, count, st.bits + std::int64_t{a.w.y0 + r} * st.stride, a.w.x0, weightA, sumsA,
                                  st.bits + std::int64_t{b.w.y0 + r} * st.stride, b.w.x0, weightB, sumsB);
                }
                PutSample(sumsA, out + 3 * i);
                PutSample(sumsB, out + 3 * (i + 1));
                i += 2;
                continue;
            }
        }
        SampleOne<S>(st, a, factorA, insideA, weightA, out + 3 * i);
        ++i;
    }
}

#if defined(LUMACUT_WIDE_SAMPLER)

// A tilted sample with footprint 1 nearly always has a 4 x 4 window. With
// AVX2 one window row of 24- or 32-bit pixels is done in vectors: the four
// weights times each channel's four bytes, then turned round into one
// vector a pixel, (channel 0, 1, 2, weight), added to the sums pixel by
// pixel. Every lane does the same multiply and the same additions in the
// same order as the plain sum, so the result is identical.
template <Source S>
[[gnu::target("avx2")]] inline __m256d AddRow4(const std::uint8_t* p, __m256d w, __m256d sums)
{
    __m128i bytes;
    __m128i m0, m1, m2;
    if constexpr (S == Source::Bgr24) {
        // exactly the 12 bytes of the four pixels, never past them
        std::int32_t last;
        std::memcpy(&last, p + 8, 4);
        bytes = _mm_insert_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), last, 2);
        m0 = _mm_setr_epi8(0, -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1);
        m1 = _mm_setr_epi8(1, -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1);
        m2 = _mm_setr_epi8(2, -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1);
    } else {
        bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        m0 = _mm_setr_epi8(0, -1, -1, -1, 4, -1, -1, -1, 8, -1, -1, -1, 12, -1, -1, -1);
        m1 = _mm_setr_epi8(1, -1, -1, -1, 5, -1, -1, -1, 9, -1, -1, -1, 13, -1, -1, -1);
        m2 = _mm_setr_epi8(2, -1, -1, -1, 6, -1, -1, -1, 10, -1, -1, -1, 14, -1, -1, -1);
    }
    const __m256d c0 = _mm256_mul_pd(w, _mm256_cvtepi32_pd(_mm_shuffle_epi8(bytes, m0)));
    const __m256d c1 = _mm256_mul_pd(w, _mm256_cvtepi32_pd(_mm_shuffle_epi8(bytes, m1)));
    const __m256d c2 = _mm256_mul_pd(w, _mm256_cvtepi32_pd(_mm_shuffle_epi8(bytes, m2)));
    const __m256d t0 = _mm256_unpacklo_pd(c0, c1); // pixels 0 and 2: c0, c1
    const __m256d t1 = _mm256_unpackhi_pd(c0, c1); // pixels 1 and 3
    const __m256d t2 = _mm256_unpacklo_pd(c2, w);
    const __m256d t3 = _mm256_unpackhi_pd(c2, w);
    sums = _mm256_add_pd(sums, _mm256_permute2f128_pd(t0, t2, 0x20));
    sums = _mm256_add_pd(sums, _mm256_permute2f128_pd(t1, t3, 0x20));
    sums = _mm256_add_pd(sums, _mm256_permute2f128_pd(t0, t2, 0x31));
    sums = _mm256_add_pd(sums, _mm256_permute2f128_pd(t1, t3, 0x31));
    return sums;
}

// RowWeights for four columns.
[[gnu::target("avx2")]] inline __m256d RowWeights4(const Factors4& f, double g, int row, double foot,
                                                   double invFoot)
{
    const double ey = std::fabs(g - row);
    const __m256d tiny = _mm256_set1_pd(1e-9);
    if (ey > foot)
        return tiny;
    const __m256d w = _mm256_mul_pd(f.factor, _mm256_set1_pd(1 - ey * invFoot));
    return _mm256_blendv_pd(tiny, w, f.inside);
}

// Samples begin ... end - 1 of a tilted row with 4 x 4 windows in vectors,
// two samples side by side for two independent chains of additions; any
// other window goes the plain way, one sample at a time.
template <Source S>
[[gnu::target("avx2")]] void SampleRangeTiltedWide(const Settled& st, Scratch& scratch, int y, int begin, int end,
                                                   std::uint8_t* out)
{
    const CSampler& s = st.job->sampler;
    const std::size_t room = std::size_t(st.width) + 1;
    scratch.columnFactor.resize(room);
    scratch.columnInside.resize(room);
    scratch.weightA.resize(room);
    double* factorA = scratch.columnFactor.data();
    std::uint8_t* insideA = scratch.columnInside.data();
    double* weightA = scratch.weightA.data();
    constexpr int kBytesPerPixel = S == Source::Bgr24 ? 3 : 4;

    TiltedWalk walk(st, y);
    for (int i = begin; i < end;) {
        const MappedSample a = walk.At(i);
        if (a.Empty()) {
            out[3 * i] = out[3 * i + 1] = out[3 * i + 2] = 0;
            ++i;
            continue;
        }
        if (a.Columns() != 4) {
            SampleOne<S>(st, a, factorA, insideA, weightA, out + 3 * i);
            ++i;
            continue;
        }
        const int rows = a.Rows();
        const Factors4 fA = AxisFactors4(a.gx, a.w.x0, s.m_footX, s.m_invFootX);
        const auto rowA = [&](int r) {
            return st.bits + std::int64_t{a.w.y0 + r} * st.stride + kBytesPerPixel * a.w.x0;
        };
        __m256d sumsA = _mm256_setzero_pd();
        if (i + 1 < end) {
            const MappedSample b = walk.Ahead(i + 1);
            if (b.Columns() == 4 && b.Rows() == rows && !b.Empty()) {
                const Factors4 fB = AxisFactors4(b.gx, b.w.x0, s.m_footX, s.m_invFootX);
                __m256d sumsB = _mm256_setzero_pd();
                for (int r = 0; r < rows; ++r) {
                    sumsA = AddRow4<S>(rowA(r), RowWeights4(fA, a.gy, a.w.y0 + r, s.m_footY, s.m_invFootY), sumsA);
                    sumsB = AddRow4<S>(st.bits + std::int64_t{b.w.y0 + r} * st.stride + kBytesPerPixel * b.w.x0,
                                       RowWeights4(fB, b.gy, b.w.y0 + r, s.m_footY, s.m_invFootY), sumsB);
                }
                PutSample4(sumsA, out + 3 * i);
                PutSample4(sumsB, out + 3 * (i + 1));
                i += 2;
                continue;
            }
        }
        for (int r = 0; r < rows; ++r)
            sumsA = AddRow4<S>(rowA(r), RowWeights4(fA, a.gy, a.w.y0 + r, s.m_footY, s.m_invFootY), sumsA);
        PutSample4(sumsA, out + 3 * i);
        ++i;
    }
}

// A tilted row: four samples at a time through the bilinear shortcut where
// the footprint lets it apply, the samples it is not sure of (and all
// others) in full.
template <Source S>
[[gnu::target("avx2")]] void SampleRowTiltedWide(const Settled& st, Scratch& scratch, int y, std::uint8_t* out)
{
    const CSampler& s = st.job->sampler;
    const int n = st.regionWidth;
    int i = 0;
    if (s.m_footX >= 0.5 && s.m_footX <= 1.5 && s.m_footY >= 0.5 && s.m_footY <= 1.5) {
        for (; i + 4 <= n; i += 4) {
            const unsigned written = TryBilinearShortcut4<S>(st.bits, st.stride, st.width, st.height, s,
                                                            st.job->x0 + i, y, out + 3 * i);
            if (written == 0xF)
                continue;
            for (int k = 0; k < 4; ++k)
                if (!(written >> k & 1))
                    SampleRangeTiltedWide<S>(st, scratch, y, i + k, i + k + 1, out);
        }
    }
    SampleRangeTiltedWide<S>(st, scratch, y, i, n, out);
}

#endif

} // namespace

template <Source S>
void SampleRowTilted(const Settled& st, Scratch& scratch, int y, std::uint8_t* out)
{
#if defined(LUMACUT_WIDE_SAMPLER)
    if constexpr (S == Source::Bgr24 || S == Source::Bgr32) {
        if (UseAvx2()) {
            SampleRowTiltedWide<S>(st, scratch, y, out);
            return;
        }
    }
#endif
    SampleRowTiltedPlain<S>(st, scratch, y, out);
}

template void SampleRowTilted<Source::Bgr24>(const Settled&, Scratch&, int, std::uint8_t*);
template void SampleRowTilted<Source::Bgr32>(const Settled&, Scratch&, int, std::uint8_t*);
template void SampleRowTilted<Source::Index8>(const Settled&, Scratch&, int, std::uint8_t*);
template void SampleRowTilted<Source::Nibble4>(const Settled&, Scratch&, int, std::uint8_t*);

} // namespace lumacut::fast
