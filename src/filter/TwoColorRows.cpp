#include "filter/TwoColorRows.h"

#include "filter/Kernels.h"

namespace lumacut::fast {

TwoColorRows::TwoColorRows(const PassJob& job)
{
    const FilterSettings& s = job.settings;
    const int L = s.lightDark;
    const bool active[3] = {s.activeBlue != 0, s.activeGreen != 0, s.activeRed != 0};
    const int q[3] = {BlueOf(s.color), GreenOf(s.color), RedOf(s.color)};
    int own = 0, maxSum = 0;
    for (int c = 0; c < 3; ++c) {
        int most = 0;
        for (int p = 0; p < 256; ++p) {
            int share = 0;
            switch (s.kind) {
            case kKindDefineBlack: share = active[c] ? p + L <= q[c] : 1; break;  // all three
            case kKindDefineWhite: share = active[c] && p + L < q[c]; break;      // any
            case kKindDefineFilter: share = active[c] ? -(p + L) * q[c] : 0; break; // -seen > -own
            default: share = active[c] ? (p + L - q[c]) * (p + L - q[c]) : 0; break; // far
            }
            m_share[c][p] = share;
            most = share > most ? share : most;
        }
        own += active[c] ? q[c] * q[c] : 0;
        maxSum += most;
    }
    const double x = job.constants.x;
    switch (s.kind) {
    case kKindDefineBlack: m_threshold = 3; break;
    case kKindDefineWhite: m_threshold = 1; break;
    case kKindDefineFilter: m_threshold = 1 - own; break;
    // sum x x + 1 > 2 grows with the sum: the same as the sum from a limit on
    default: m_threshold = FirstTrue(0, maxSum + 1, [&](int sum) { return sum * x + 1 > 2; }); break;
    }
    m_bit[0] = static_cast<std::uint8_t>(TwoColorIndex(0, s));
    m_bit[1] = static_cast<std::uint8_t>(TwoColorIndex(1, s));
}

void TwoColorRows::Row(const std::uint8_t* src, int step, int n, std::uint8_t* dst) const
{
    const auto bit = [&] {
        const int sum = m_share[kB][src[kB]] + m_share[kG][src[kG]] + m_share[kR][src[kR]];
        src += step;
        return unsigned{m_bit[sum >= m_threshold]};
    };
    const int full = n / 8;
    for (int i = 0; i < full; ++i) {
        unsigned byte = 0;
        for (int k = 0; k < 8; ++k)
            byte = (byte << 1) | bit();
        dst[i] = static_cast<std::uint8_t>(byte);
    }
    if (const int rest = n % 8) {
        unsigned byte = 0;
        for (int k = 0; k < rest; ++k)
            byte = (byte << 1) | bit();
        const unsigned mask = (0xFFu << (8 - rest)) & 0xFFu;
        dst[full] = static_cast<std::uint8_t>((dst[full] & ~mask) | (byte << (8 - rest)));
    }
}

} // namespace lumacut::fast
