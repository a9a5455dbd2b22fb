#pragma once
// Helpers shared by the picture tests: a BMP maker that lays out any header
// form, depth and row order by hand, and pixel access to the 24-bit blocks the
// readers hand back.
#include "picture/Dib.h"
#include "picture/MemBlock.h"
#include "support/Files.h"
#include "support/TempDir.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace lumacut::test {

// ---- a BMP file made by hand ----------------------------------------------------

struct BmpLayout {
    int headerSize = 40;           // 12, 40, 52, 56, 108, 124 or anything to test refusals
    int width = 1;
    int height = 1;                // rows of the image; stored negative when topDown
    int bitCount = 24;
    bool topDown = false;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> masks; // written after a 40-byte header, inside a longer one
    std::vector<std::uint32_t> table; // 0xRRGGBB entries
    std::int64_t clrUsed = -1;        // -1: table.size() when the depth needs a table, else 0
    int planes = 1;
    int gapAfterTable = 0;            // unused bytes before the pixels
    bool offBitsPointsAtPixels = true; // else bfOffBits is 0
};

// Pixel value at column x of image row `top` (0 = the top row): a colour
// index for 1, 4, 8 bits, 0xRRGGBB for 24 and 32 bits.
using PixelFn = std::function<std::uint32_t(int x, int top)>;

inline Bytes MakeBmp(const BmpLayout& s, const PixelFn& pixel)
{
    const bool core = s.headerSize == 12;
    const int entryBytes = core ? 3 : 4;
    // Room for every field even when the header size under test is smaller.
    Bytes dib(static_cast<std::size_t>(s.headerSize < 40 ? 40 : s.headerSize), 0);
    WriteLE32(dib.data(), static_cast<std::uint32_t>(s.headerSize));
    if (core) {
        WriteLE16(dib.data() + 4, static_cast<std::uint16_t>(s.width));
        WriteLE16(dib.data() + 6, static_cast<std::uint16_t>(s.height));
        WriteLE16(dib.data() + 8, static_cast<std::uint16_t>(s.planes));
        WriteLE16(dib.data() + 10, static_cast<std::uint16_t>(s.bitCount));
    } else {
        std::uint32_t clrUsed = s.clrUsed >= 0 ? static_cast<std::uint32_t>(s.clrUsed)
                                : (s.bitCount <= 8 ? static_cast<std::uint32_t>(s.table.size()) : 0);
        WriteLE32(dib.data() + dib::kWidth, static_cast<std::uint32_t>(s.width));
        WriteLE32(dib.data() + dib::kHeight, static_cast<std::uint32_t>(s.topDown ? -s.height : s.height));
        WriteLE16(dib.data() + dib::kPlanes, static_cast<std::uint16_t>(s.planes));
        WriteLE16(dib.data() + dib::kBitCount, static_cast<std::uint16_t>(s.bitCount));
        WriteLE32(dib.data() + dib::kCompression, s.compression);
        WriteLE32(dib.data() + dib::kClrUsed, clrUsed);
    }
    if (s.headerSize >= 0 && s.headerSize < 40)
        dib.resize(static_cast<std::size_t>(s.headerSize));
    for (std::size_t i = 0; i < s.masks.size(); ++i) {
        std::size_t at = 40 + 4 * i;
        if (at + 4 > dib.size())
            dib.resize(at + 4, 0);
        WriteLE32(dib.data() + at, s.masks[i]);
    }
    for (std::uint32_t c : s.table) {
        dib.push_back(static_cast<std::uint8_t>(c));
        dib.push_back(static_cast<std::uint8_t>(c >> 8));
        dib.push_back(static_cast<std::uint8_t>(c >> 16));
        if (entryBytes == 4)
            dib.push_back(0);
    }
    dib.resize(dib.size() + static_cast<std::size_t>(s.gapAfterTable), 0xEE);
    const std::size_t pixelStart = dib.size();
    const int width = s.width > 0 ? s.width : 0;
    const int height = s.height > 0 ? s.height : 0;
    const std::size_t rowBytes = static_cast<std::size_t>(RowBytes(std::int64_t{s.bitCount} * width));
    dib.resize(pixelStart + rowBytes * static_cast<std::size_t>(height), 0);
    for (int stored = 0; stored < height; ++stored) {
        const int top = s.topDown ? stored : height - 1 - stored;
        std::uint8_t* row = dib.data() + pixelStart + rowBytes * static_cast<std::size_t>(stored);
        for (int x = 0; x < width; ++x) {
            std::uint32_t v = pixel(x, top);
            switch (s.bitCount) {
            case 1: row[x / 8] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8)); break;
            case 4: row[x / 2] |= static_cast<std::uint8_t>((v & 15) << ((x % 2) ? 0 : 4)); break;
            case 8: row[x] = static_cast<std::uint8_t>(v); break;
            case 24:
            case 32: {
                std::uint8_t* p = row + static_cast<std::size_t>(x) * (s.bitCount / 8);
                p[0] = static_cast<std::uint8_t>(v);
                p[1] = static_cast<std::uint8_t>(v >> 8);
                p[2] = static_cast<std::uint8_t>(v >> 16);
                if (s.bitCount == 32)
                    p[3] = 0xA5; // the fourth byte is never a colour
                break;
            }
            default:
                if (rowBytes)
                    row[x % rowBytes] = static_cast<std::uint8_t>(v);
                break;
            }
        }
    }
    Bytes file(kFileHeaderSize + dib.size(), 0);
    file[0] = 'B';
    file[1] = 'M';
    WriteLE32(file.data() + 2, static_cast<std::uint32_t>(kFileHeaderSize + dib.size()));
    WriteLE32(file.data() + 10, s.offBitsPointsAtPixels ? static_cast<std::uint32_t>(kFileHeaderSize + pixelStart) : 0);
    std::copy(dib.begin(), dib.end(), file.begin() + kFileHeaderSize);
    return file;
}

// ---- the 24-bit blocks the readers give ----------------------------------------

// 0xRRGGBB of column x, image row `top` (0 = top) of a 24-bit bottom-up block.
inline std::uint32_t PixelAt(const CMemBlock& block, int x, int top)
{
    const std::uint8_t* dib = block.Data();
    const int width = ReadLE32s(dib + dib::kWidth);
    const int height = ReadLE32s(dib + dib::kHeight);
    const std::size_t stride = static_cast<std::size_t>(RowBytes(24 * std::int64_t{width}));
    const std::uint8_t* p = dib + kInfoHeaderSize + stride * static_cast<std::size_t>(height - 1 - top) + 3 * x;
    return static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
}

// The size a normalised 24-bit block must have.
inline std::size_t TrueColorBlockSize(int width, int height)
{
    return kInfoHeaderSize + static_cast<std::size_t>(RowBytes(24 * std::int64_t{width})) * height;
}

// Empty when every pixel matches; else names the first that differs.
inline std::string FirstDifference(const CMemBlock& block, int width, int height, const PixelFn& expected)
{
    for (int top = 0; top < height; ++top)
        for (int x = 0; x < width; ++x) {
            std::uint32_t got = PixelAt(block, x, top), want = expected(x, top);
            if (got != want) {
                char text[128];
                std::snprintf(text, sizeof text, "pixel (%d, %d from the top): got %06X, want %06X", x, top, got,
                              want);
                return text;
            }
        }
    return {};
}

} // namespace lumacut::test
