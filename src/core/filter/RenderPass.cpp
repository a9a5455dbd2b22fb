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
    const CMemBlock& block = p.Block();
    if (!block || p.Width() < 0 || p.Height() < 0 || block.Size() < kInfoHeaderSize)
        return false;
    if (p.Stride() < RowStride(p.Width(), p.BitCount()))
        return false;
    return p.PixelOffset() + std::uint64_t(p.Stride()) * std::uint64_t(p.Height()) <= block.Size();
}

} // namespace

bool PassCanRead(const CPicture& original)
{
    bool depthMatches = (original.Colors() == 0 && original.BitCount() == 24 && original.BytesPerPixel() == 3) ||
                        (original.Colors() == 0 && original.BitCount() == 32 && original.BytesPerPixel() == 4) ||
                        (original.Colors() == 16 && original.BitCount() == 4) ||
                        (original.Colors() == 256 && original.BitCount() == 8);
    return depthMatches && BlockHoldsRows(original);
}

bool PassCanWrite(const CPicture& target)
{
    bool depthMatches = (target.Colors() == 2 && target.BitCount() == 1) ||
                        (target.Colors() == 256 && target.BitCount() == 8) ||
                        (target.Colors() == 0 && target.BitCount() == 24);
    return depthMatches && BlockHoldsRows(target);
}

} // namespace lumacut
