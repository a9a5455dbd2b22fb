#include "picture/Dib.h"

#include "platform/Messages.h"
#include "platform/Prompt.h"

namespace lumacut {

int RowStride(int width, int bitCount)
{
    std::int64_t bytes;
    switch (bitCount) {
    case 32: bytes = 4 * std::int64_t{width}; break;
    case 24: bytes = 3 * std::int64_t{width}; break;
    case 8: bytes = width; break;
    case 4: bytes = (std::int64_t{width} + 1) / 2; break;
    case 1: bytes = (std::int64_t{width} + 7) / 8; break;
    default:
        ShowMessage(std::string(msg::kErrorInColorData));
        bytes = width;
        break;
    }
    return static_cast<int>((bytes + 3) / 4 * 4);
}

int RowBytes(std::int64_t bits)
{
    return static_cast<int>((bits + 31) / 32 * 4);
}

std::int64_t DibSize(int width, int height, int bitCount, int colors)
{
    return std::int64_t{height} * RowStride(width, bitCount) + 4 * std::int64_t{colors} + kInfoHeaderSize;
}

void WriteInfoHeader(std::uint8_t* dib, int width, int height, int bitCount)
{
    WriteLE32(dib + dib::kSize, kInfoHeaderSize);
    WriteLE32(dib + dib::kWidth, static_cast<std::uint32_t>(width));
    WriteLE32(dib + dib::kHeight, static_cast<std::uint32_t>(height));
    WriteLE16(dib + dib::kPlanes, 1);
    WriteLE16(dib + dib::kBitCount, static_cast<std::uint16_t>(bitCount));
    WriteLE32(dib + dib::kCompression, 0);
    WriteLE32(dib + dib::kSizeImage, static_cast<std::uint32_t>(std::int64_t{height} * RowStride(width, bitCount)));
    WriteLE32(dib + dib::kXPelsPerMeter, 0);
    WriteLE32(dib + dib::kYPelsPerMeter, 0);
    WriteLE32(dib + dib::kClrUsed, 0);
    WriteLE32(dib + dib::kClrImportant, 0);
}

} // namespace lumacut
