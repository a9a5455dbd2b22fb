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

} // namespace lumacut
