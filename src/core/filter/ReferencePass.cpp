#include "filter/RenderPass.h"

#include "picture/Dib.h"

#include <cstdint>

namespace lumacut {

PassType ChoosePass(int originalColors, int newColors)
{
    bool paletteOrTrue = originalColors == 0 || originalColors == 256 || originalColors == 16;
    if (paletteOrTrue && newColors == 2)
        return PassType::TwoColor;
    if (paletteOrTrue && newColors == 256)
        return PassType::Grey;
    if (originalColors == 0 && newColors == 0)
        return PassType::TrueColor;
    return PassType::None;
}

namespace {

bool BlockHoldsRows(const CPicture& p)
{
    if (!p.m_hDib || p.m_width < 0 || p.m_height < 0 || p.m_hDib.Size() < kInfoHeaderSize)
        return false;
    if (p.m_stride < RowStride(p.m_width, p.m_bitCount))
        return false;
    const std::uint8_t* start = p.m_hDib.Data();
    const std::uint8_t* rows = PixelBits(start, 4 * p.m_colors);
    if (rows < start)
        return false;
    std::uint64_t offset = static_cast<std::uint64_t>(rows - start);
    return offset + std::uint64_t(p.m_stride) * std::uint64_t(p.m_height) <= p.m_hDib.Size();
}

} // namespace

bool PassCanRead(const CPicture& original)
{
    bool depthMatches = (original.m_colors == 0 && original.m_bitCount == 24 && original.m_bytesPerPixel == 3) ||
                        (original.m_colors == 0 && original.m_bitCount == 32 && original.m_bytesPerPixel == 4) ||
                        (original.m_colors == 16 && original.m_bitCount == 4) ||
                        (original.m_colors == 256 && original.m_bitCount == 8);
    return depthMatches && BlockHoldsRows(original);
}

bool PassCanWrite(const CPicture& target)
{
    bool depthMatches = (target.m_colors == 2 && target.m_bitCount == 1) ||
                        (target.m_colors == 256 && target.m_bitCount == 8) ||
                        (target.m_colors == 0 && target.m_bitCount == 24);
    return depthMatches && BlockHoldsRows(target);
}

void RunReferencePass(const PassJob& job, int rowBegin, int rowEnd)
{
    const CPicture& original = *job.original;
    CPicture& target = *job.target;
    CSampler sampler = job.sampler; // its window fields are working storage
    const FilterSettings& s = job.settings;
    const FilterConstants& k = job.constants;

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
