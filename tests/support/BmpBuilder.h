#pragma once
// Packed DIBs and BMP files made by hand, byte by byte, so that they do not
// depend on the program's own writers: any header form, depth, colour table,
// bit-field masks and row order, and the odd fields a refusal needs.
#include "picture/MemBlock.h"
#include "support/Files.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace lumacut::test {

struct BmpLayout {
    int headerSize = 40;               // 12, 40, 52, 56, 108, 124 or anything to test refusals
    int width = 1;
    int height = 1;                    // rows of the image; stored negative when topDown
    int bitCount = 24;
    bool topDown = false;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> masks;  // written after a 40-byte header, inside a longer one
    std::vector<std::uint32_t> table;  // 0xRRGGBB entries
    std::int64_t clrUsed = -1;         // -1: table.size() when the depth needs a table, else 0
    std::int64_t sizeImage = -1;       // -1: the bytes of the rows
    int xPelsPerMeter = 0, yPelsPerMeter = 0;
    int planes = 1;
    int gapAfterTable = 0;             // unused bytes before the pixels
    bool offBitsPointsAtPixels = true; // else bfOffBits is 0
};

// Red, green and blue masks as most 32-bit bit-field files have them.
inline const std::vector<std::uint32_t> kUsualMasks = {0x00FF0000, 0x0000FF00, 0x000000FF};

// Pixel value at column x of image row `top` (0 = the top row): a colour
// index for 1, 4, 8 bits, 0xRRGGBB for 24 and 32 bits.
using PixelFn = std::function<std::uint32_t(int x, int top)>;

inline void Put16(Bytes& v, std::size_t at, unsigned x)
{
    v[at] = static_cast<std::uint8_t>(x);
    v[at + 1] = static_cast<std::uint8_t>(x >> 8);
}

inline void Put32(Bytes& v, std::size_t at, std::uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<std::uint8_t>(x >> (8 * i));
}

// Bytes of a stored row: whole 32-bit words.
inline std::size_t RowLength(int width, int bitCount)
{
    return (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
}

// The packed DIB: header, masks, colour table, gap, then the rows. Sets
// `pixelOffset` to where the rows start, when given.
inline Bytes MakeDib(const BmpLayout& s, const PixelFn& pixel, std::size_t* pixelOffset = nullptr)
{
    const bool core = s.headerSize == 12;
    const int width = s.width > 0 ? s.width : 0;
    const int height = s.height > 0 ? s.height : 0;
    const std::size_t rowBytes = s.bitCount > 0 ? RowLength(width, s.bitCount) : 0;
    // Room for every field even when the header size under test is smaller.
    Bytes dib(static_cast<std::size_t>(s.headerSize < 40 ? 40 : s.headerSize), 0);
    Put32(dib, 0, static_cast<std::uint32_t>(s.headerSize));
    if (core) {
        Put16(dib, 4, static_cast<unsigned>(s.width));
        Put16(dib, 6, static_cast<unsigned>(s.height));
        Put16(dib, 8, static_cast<unsigned>(s.planes));
        Put16(dib, 10, static_cast<unsigned>(s.bitCount));
    } else {
        const std::int64_t clrUsed = s.clrUsed >= 0 ? s.clrUsed : (s.bitCount <= 8 ? std::int64_t(s.table.size()) : 0);
        const std::int64_t sizeImage = s.sizeImage >= 0 ? s.sizeImage : std::int64_t(rowBytes * height);
        Put32(dib, 4, static_cast<std::uint32_t>(s.width));
        Put32(dib, 8, static_cast<std::uint32_t>(s.topDown ? -s.height : s.height));
        Put16(dib, 12, static_cast<unsigned>(s.planes));
        Put16(dib, 14, static_cast<unsigned>(s.bitCount));
        Put32(dib, 16, s.compression);
        Put32(dib, 20, static_cast<std::uint32_t>(sizeImage));
        Put32(dib, 24, static_cast<std::uint32_t>(s.xPelsPerMeter));
        Put32(dib, 28, static_cast<std::uint32_t>(s.yPelsPerMeter));
        Put32(dib, 32, static_cast<std::uint32_t>(clrUsed));
    }
    if (s.headerSize >= 0 && s.headerSize < 40)
        dib.resize(static_cast<std::size_t>(s.headerSize));
    for (std::size_t i = 0; i < s.masks.size(); ++i) {
        const std::size_t at = 40 + 4 * i;
        if (at + 4 > dib.size())
            dib.resize(at + 4, 0);
        Put32(dib, at, s.masks[i]);
    }
    for (std::uint32_t c : s.table) {
        dib.push_back(static_cast<std::uint8_t>(c));
        dib.push_back(static_cast<std::uint8_t>(c >> 8));
        dib.push_back(static_cast<std::uint8_t>(c >> 16));
        if (!core)
            dib.push_back(0);
    }
    dib.resize(dib.size() + static_cast<std::size_t>(s.gapAfterTable), 0xEE);
    const std::size_t pixelStart = dib.size();
    dib.resize(pixelStart + rowBytes * static_cast<std::size_t>(height), 0);
    for (int stored = 0; stored < height; ++stored) {
        const int top = s.topDown ? stored : height - 1 - stored;
        std::uint8_t* row = dib.data() + pixelStart + rowBytes * static_cast<std::size_t>(stored);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = pixel(x, top);
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
    if (pixelOffset)
        *pixelOffset = pixelStart;
    return dib;
}

// A BMP file: the 14-byte file header, then MakeDib's bytes.
inline Bytes MakeBmp(const BmpLayout& s, const PixelFn& pixel)
{
    std::size_t pixelStart = 0;
    const Bytes dib = MakeDib(s, pixel, &pixelStart);
    Bytes file(14 + dib.size(), 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, static_cast<std::uint32_t>(file.size()));
    Put32(file, 10, s.offBitsPointsAtPixels ? static_cast<std::uint32_t>(14 + pixelStart) : 0);
    std::copy(dib.begin(), dib.end(), file.begin() + 14);
    return file;
}

// Bytes in a memory block of their own, as a reader or the clipboard hands them over.
inline CMemBlock ToBlock(const Bytes& bytes)
{
    CMemBlock block = CMemBlock::Allocate(bytes.size());
    std::memcpy(block.Data(), bytes.data(), bytes.size());
    return block;
}

// A plain 24-bit BMP file of width x height; `color(x, top)` is 0xRRGGBB.
inline void WriteBmp24(const std::string& path, int width, int height, const PixelFn& color)
{
    BmpLayout s;
    s.width = width;
    s.height = height;
    WriteFileBytes(path, MakeBmp(s, color));
}

} // namespace lumacut::test
