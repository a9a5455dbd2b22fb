#include "filter/TrueColorRows.h"

#include <cstring>

namespace lumacut::fast {

TrueColorRows::TrueColorRows(const PassJob& job, const Kernels& kernels) : m_lanes(SettleLanes(job))
{
    switch (job.settings.kind) {
    case kKindDefineBlack: break;
    case kKindDefineWhite:
    case kKindDefineFilter: m_kernel = kernels.trueMix; break;
    default: m_kernel = kernels.trueNear; break;
    }
    m_toneIsIdentity = true;
    for (int v = 0; v < 256; ++v)
        m_toneIsIdentity = m_toneIsIdentity && m_lanes.tone[v] == v;
}

void TrueColorRows::Row(const std::uint8_t* src, int step, int n, std::uint8_t* dst) const
{
    if (m_kernel) {
        m_kernel(m_lanes, src, step, n, dst);
        return;
    }
    if (step == 3 && m_toneIsIdentity) {
        std::memcpy(dst, src, std::size_t(3) * n);
        return;
    }
    for (int i = 0; i < n; ++i, src += step, dst += 3) {
        dst[0] = m_lanes.tone[src[0]];
        dst[1] = m_lanes.tone[src[1]];
        dst[2] = m_lanes.tone[src[2]];
    }
}

} // namespace lumacut::fast
