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
    m_zeros = TwoColorIndex(0, s) ? 0xFF : 0;
    m_ones = TwoColorIndex(1, s) ? 0xFF : 0;
}

// Constant steps let the compiler address the eight pixels of a byte
// directly; the decisions d are packed, then turned into output bits.
template <int Step>
void TwoColorRows::RowAs(const std::uint8_t* src, int n, std::uint8_t* dst) const
{
    const auto d = [&](const std::uint8_t* p) {
        return unsigned{m_share[kB][p[kB]] + m_share[kG][p[kG]] + m_share[kR][p[kR]] >= m_threshold};
    };
    const auto bits = [&](unsigned byte) { return (byte & m_ones) | (~byte & m_zeros); };
    const int full = n / 8;
    for (int i = 0; i < full; ++i, src += 8 * Step) {
        unsigned byte = 0;
        for (int k = 0; k < 8; ++k)
            byte = (byte << 1) | d(src + k * Step);
        dst[i] = static_cast<std::uint8_t>(bits(byte));
    }
    if (const int rest = n % 8) {
        unsigned byte = 0;
        for (int k = 0; k < rest; ++k)
            byte = (byte << 1) | d(src + k * Step);
        const unsigned mask = (0xFFu << (8 - rest)) & 0xFFu;
        dst[full] = static_cast<std::uint8_t>((dst[full] & ~mask) | (bits(byte << (8 - rest)) & mask));
    }
}

void TwoColorRows::Row(const std::uint8_t* src, int step, int n, std::uint8_t* dst) const
{
    if (step == 4)
        RowAs<4>(src, n, dst);
    else
        RowAs<3>(src, n, dst);
}

} // namespace lumacut::fast
