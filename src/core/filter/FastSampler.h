#pragma once
// The fast pass's sampler: the window and tent factors of every sample, as
// the plain sample makes them, summed by the kernels. Without a tilt the
// columns' windows are made once per render and the rows' once per output
// row; with one, each sample has its own, and 24- and 32-bit Originals with
// footprints of 0.5 to 1.5 first try the bilinear shortcut.
#include "filter/Kernels.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace lumacut::fast {

// A band's working storage, made once per band and kept by the sampler.
struct SamplerScratch {
    std::vector<TentAxis> axes;
    std::vector<double> factor;
    std::vector<std::uint64_t> within;
    std::vector<TentWindow> windows;
    std::vector<int> left; // by the bilinear shortcut
    // Left uninitialised: a band touches only the rows it turns, and most
    // samples of a plain 50 % resize turn none.
    std::unique_ptr<double[]> cachePixels;
    std::vector<int> cacheRows;
    RowCache cache;
};

class FastSampler {
public:
    FastSampler(const PassJob& job, const SourceImage& source, const Kernels& kernels);

    // Stored row y of the result, 3 bytes a sample, into `out`.
    void Row(int y, SamplerScratch& scratch, std::uint8_t* out) const;

private:
    void Untilted(int y, SamplerScratch& scratch, std::uint8_t* out) const;
    void Tilted(int y, SamplerScratch& scratch, std::uint8_t* out) const;

    const PassJob& m_job;
    const SourceImage& m_source;
    const Kernels& m_kernels;
    int m_width = 0;           // of the region
    bool m_tilted = false;
    bool m_shortcut = false;
    int m_mostColumns = 0;     // in one window, with the kernels' room
    int m_mostRows = 0;
    std::vector<TentAxis> m_columns; // untilted: each output column's
    std::vector<double> m_columnFactor;
    std::vector<std::uint64_t> m_columnWithin;
    int m_spanFirst = 0, m_spanCount = 0; // the source columns they span
};

} // namespace lumacut::fast
