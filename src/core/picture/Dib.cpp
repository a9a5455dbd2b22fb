#include "picture/Dib.h"

#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cmath>

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

Resolution ReadResolution(const std::uint8_t* dib)
{
    if (ReadLE32(dib + dib::kSize) < kInfoHeaderSize)
        return {};
    return {std::max(0, ReadLE32s(dib + dib::kXPelsPerMeter)), std::max(0, ReadLE32s(dib + dib::kYPelsPerMeter))};
}

void WriteResolution(std::uint8_t* dib, Resolution r)
{
    WriteLE32(dib + dib::kXPelsPerMeter, static_cast<std::uint32_t>(std::max(0, r.x)));
    WriteLE32(dib + dib::kYPelsPerMeter, static_cast<std::uint32_t>(std::max(0, r.y)));
}

Resolution ScaledResolution(Resolution r, double scale)
{
    const auto scaled = [scale](int v) {
        const double s = std::floor(v * scale + 0.5);
        return s >= 1 && s <= 2147483647.0 ? static_cast<int>(s) : 0;
    };
    return r.Known() ? Resolution{scaled(r.x), scaled(r.y)} : Resolution{};
}

int DotsPerInch(int pixelsPerMetre)
{
    return static_cast<int>(std::floor(pixelsPerMetre * 0.0254 + 0.5));
}

int PixelsPerMetre(double dotsPerInch)
{
    const double v = std::floor(dotsPerInch / 0.0254 + 0.5);
    return v >= 1 && v <= 2147483647.0 ? static_cast<int>(v) : 0;
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
