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
    template <int Step>
    void RowAs(const std::uint8_t* src, int n, std::uint8_t* dst) const;

    // Every kind's decision is "the pixel's three shares add up to the
    // threshold or more": d = 1 then.
    int m_share[3][256] = {}; // by channel: blue, green, red
    int m_threshold = 0;
    unsigned m_zeros = 0, m_ones = 0; // all ones where d = 0 (d = 1) gives bit 1
};

} // namespace lumacut::fast
