#pragma once
// The true-colour output of the fast pass: what the settings' kind needs,
// settled once per render, and the row function. Kind 0 is the curve of
// each byte from a table; the others are left to the kernels.
#include "filter/Kernels.h"

#include <cstdint>

namespace lumacut::fast {

class TrueColorRows {
public:
    TrueColorRows(const PassJob& job, const Kernels& kernels);

    // n pixels whose blue, green, red bytes are `step` bytes apart into 3n
    // bytes.
    void Row(const std::uint8_t* src, int step, int n, std::uint8_t* dst) const;

private:
    ColourLanes m_lanes;
    ColourRow m_kernel = nullptr; // null for kind 0
    bool m_toneIsIdentity = false; // kind 0 then copies rows
};

} // namespace lumacut::fast
