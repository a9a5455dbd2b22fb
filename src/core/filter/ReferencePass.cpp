#include "filter/ReferencePass.h"

#include <cstdint>

namespace lumacut {

void RunReferencePass(const PassJob& job, int rowBegin, int rowEnd)
{
    const CPicture& original = *job.original;
    CPicture& target = *job.target;
    CSampler sampler = job.sampler; // each sample records its window here
    const FilterSettings& s = job.settings;
    const FilterConstants& k = job.constants;
    if (job.arrival)
        job.arrival->WaitFor(original.Height());

    for (int y = job.y0 + rowBegin; y < job.y0 + rowEnd; ++y) {
        for (int x = job.x0; x < job.x1; ++x) {
            // Black where a direct read falls outside the Original.
            std::uint8_t r = 0, g = 0, b = 0;
            if (job.useSampler)
                original.GetFootprintColor(x, y, sampler, 0, 0, r, g, b);
            else if (job.type == PassType::TrueColor)
                original.GetRGB(x, y, 0, 0, r, g, b);
            else
                original.GetColor(x, y, 0, 0, r, g, b);

            int tx = x - job.x0, ty = y - job.y0;
            switch (job.type) {
            case PassType::TwoColor:
                target.SetBW(tx, ty, TwoColorIndex(TwoColorDecision(r, g, b, s, k), s));
                break;
            case PassType::Grey:
                target.SetIndex(tx, ty, GreyPixel(r, g, b, s, k));
                break;
            case PassType::TrueColor: {
                Rgb c = TrueColorPixel(r, g, b, s, k, job.refs);
                target.SetRGB(tx, ty, c.red, c.green, c.blue);
                break;
            }
            case PassType::None: return;
            }
        }
    }
}

} // namespace lumacut
