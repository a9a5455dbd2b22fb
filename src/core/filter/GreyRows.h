#pragma once
// The grey output of the fast pass: the tables of the settings' kind,
// settled once per render, and the row function. Kind 0 is table look-ups;
// the "Sharp Filter" of every other kind is a division a pixel, left to the
// kernels.
#include "filter/Kernels.h"

#include <cstdint>

namespace lumacut::fast {

class GreyRows {
public:
    GreyRows(const PassJob& job, const Kernels& kernels);

    // n pixels whose blue, green, red bytes are `step` bytes apart into n
    // grey bytes.
    void Row(const std::uint8_t* src, int step, int n, std::uint8_t* dst) const;

private:
    ColourLanes m_lanes;
    ColourRow m_sharp = nullptr;
    bool m_mean = false;      // kind 0: the mean weighted by the colour
    int m_seen[3][256] = {};  // p q by channel, 0 for a channel not compared
    int m_weight = 0;         // the sum of q over the channels compared
    std::uint64_t m_divisor = 0; // seen / weight as (seen x divisor) >> 40
};

} // namespace lumacut::fast
