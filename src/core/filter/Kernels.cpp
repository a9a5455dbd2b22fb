#include "filter/Kernels.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace lumacut::fast {

namespace {
std::atomic<bool> g_vectorPathsAllowed{true};
// Whether every z of the true-colour mix is finite and below 2^30 in size.
// The mix v lies in 0..255 (up to rounding) once the weight u is finite,
// that is for a finite x; the bias denominator then lies between min(1, k)
// and max(1, k) up to rounding, so y stays below 256 max(1, 1 / k) for k in
// 2^-10..2^10 (gamma 1..99). The bound below has a factor 2 to spare at
// each step.
bool CurveIsBounded(const FilterConstants& k, int lightDark)
{
    if (!std::isfinite(k.x) || !std::isfinite(k.c))
        return false;
    double yMax = 512;
    if (k.k != 1) {
        if (!(k.k >= 0x1p-10 && k.k <= 0x1p10))
            return false;
        yMax = 512 * std::max(1.0, 1 / k.k);
    }
    return 2 * (yMax + 128) * std::fabs(k.c) + 128 + std::fabs(double(lightDark)) < 0x1p30;
}

} // namespace

SourceImage SourceOf(const CPicture& original)
{
    SourceImage s;
    s.bits = original.Row(0);
    s.stride = original.Stride();
    s.width = original.Width();
    s.height = original.Height();
    if (original.Colors() == 0)
        s.kind = original.BytesPerPixel() == 4 ? Source::Bgr32 : Source::Bgr24;
    else
        s.kind = original.Colors() == 16 ? Source::Nibble4 : Source::Index8;
    for (int i = 0; i < 256; ++i) {
        s.palette[i][kB] = original.Rgb(i).blue;
        s.palette[i][kG] = original.Rgb(i).green;
        s.palette[i][kR] = original.Rgb(i).red;
    }
    return s;
}

ColourLanes SettleLanes(const PassJob& job)
{
    const FilterSettings& s = job.settings;
    ColourLanes c;
    for (int j = 0; j <= job.refs.count; ++j) {
        const std::uint32_t colour = j == 0 ? s.color : job.refs.colors[j - 1];
        c.colour[j][kB] = BlueOf(colour);
        c.colour[j][kG] = GreenOf(colour);
        c.colour[j][kR] = RedOf(colour);
    }
    c.references = job.refs.count;
    c.active[kB] = s.activeBlue ? -1 : 0;
    c.active[kG] = s.activeGreen ? -1 : 0;
    c.active[kR] = s.activeRed ? -1 : 0;
    c.k = job.constants;
    c.lightDark = s.lightDark;
    c.emphasize = s.kind == kKindDefineWhite;
    c.neutralBias = c.k.k == 1;
    if (CurveIsBounded(c.k, s.lightDark))
        c.curve = c.k.c == 1 ? Curve::BoundedUnitContrast : Curve::Bounded;
    c.flip = s.negative ? 255 : 0;
    c.white = 255 ^ c.flip;
    // D x x < 0.05 falls with D: near is the same as D below a limit.
    c.nearLimit = FirstTrue(0, 3 * 255 * 255 + 1, [&](int d) { return !(d * c.k.x < 0.05); });
    for (int v = 0; v < 256; ++v)
        c.tone[v] = static_cast<std::uint8_t>(ToneCurve(v, s.lightDark, c.k) ^ c.flip);
    return c;
}

const Kernels& ChosenKernels()
{
    static const bool haveAvx2 = __builtin_cpu_supports("avx2");
    return haveAvx2 && g_vectorPathsAllowed.load(std::memory_order_relaxed) ? avx2::kKernels : plain::kKernels;
}

void AllowVectorPaths(bool allow)
{
    g_vectorPathsAllowed = allow;
}

} // namespace lumacut::fast
