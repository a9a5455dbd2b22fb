#pragma once
// The two-colour output of the fast pass: the tables of the settings' kind,
// settled once per render, and the row function that packs a row's output
// bits from them.
#include "filter/RenderPass.h"

#include <cstdint>

namespace lumacut::fast {

class TwoColorRows {
public:
    explicit TwoColorRows(const PassJob& job);

    // n pixels whose blue, green, red bytes are `step` bytes apart into a
    // row of bits; the bits of the last byte beyond the row keep what the
    // block held, as the plain pass's pixel-by-pixel writes leave them.
    void Row(const std::uint8_t* src, int step, int n, std::uint8_t* dst) const;

private:
    // Every kind's decision is "the pixel's three shares add up to the
    // threshold or more": d = 1 then.
    int m_share[3][256] = {}; // by channel: blue, green, red
    int m_threshold = 0;
    std::uint8_t m_bit[2] = {}; // the output bit for d = 0 and d = 1
};

} // namespace lumacut::fast
