#include "filter/GreyRows.h"

#include <cstring>
#include <type_traits>

namespace lumacut::fast {

GreyRows::GreyRows(const PassJob& job, const Kernels& kernels)
    : m_lanes(SettleLanes(job)), m_sharp(kernels.greySharp), m_mean(job.settings.kind == kKindDefineBlack)
{
    for (int c = 0; c < 3; ++c) {
        const int q = m_lanes.active[c] ? m_lanes.colour[0][c] : 0;
        for (int p = 0; p < 256; ++p)
            m_seen[c][p] = p * q;
        m_weight += q;
    }
    // Exact division of seen (below 2^18) by the weight (below 2^10): the
    // rounding error of the multiplier stays below 2^-22 < 1 / weight.
    m_divisor = m_weight > 0 ? ((std::uint64_t{1} << 40) / static_cast<std::uint64_t>(m_weight)) + 1 : 0;
}

void GreyRows::Row(const std::uint8_t* src, int step, int n, std::uint8_t* dst) const
{
    if (!m_mean) {
        m_sharp(m_lanes, src, step, n, dst);
        return;
    }
    if (m_weight == 0) {
        std::memset(dst, m_lanes.tone[0], std::size_t(n));
        return;
    }
    // The step as a constant lets the compiler unroll the look-ups; the
    // divisor in a local, as the byte writes could alias the member.
    const std::uint64_t divisor = m_divisor;
    const auto mean = [&](auto constStep) {
        for (int i = 0; i < n; ++i, src += constStep.value) {
            const auto seen = static_cast<std::uint64_t>(m_seen[kB][src[kB]] + m_seen[kG][src[kG]] + m_seen[kR][src[kR]]);
            dst[i] = m_lanes.tone[(seen * divisor) >> 40];
        }
    };
    if (step == 4)
        mean(std::integral_constant<int, 4>{});
    else
        mean(std::integral_constant<int, 3>{});
}

} // namespace lumacut::fast
