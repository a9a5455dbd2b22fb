#pragma once
// The BMP files the program writes, read back by hand so that a test does
// not check the writer with the program's own reader: 40-byte header,
// bottom-up rows of 1, 8 or 24 bits.
#include "support/BmpBuilder.h"
#include "support/Files.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumacut::test {

struct Bmp {
    bool ok = false;
    int width = 0, height = 0, bitCount = 0, headerSize = 0;
    std::vector<std::uint32_t> table; // 0xRRGGBB entries
    Bytes rows;
    std::size_t stride = 0;

    // The palette index at column x of image row `top` (0 = the top row).
    int IndexAt(int x, int top) const
    {
        const std::uint8_t* row = rows.data() + stride * (height - 1 - top);
        switch (bitCount) {
        case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
        case 8: return row[x];
        default: return -1;
        }
    }
    // 0xRRGGBB at column x of image row `top`.
    std::uint32_t At(int x, int top) const
    {
        if (bitCount <= 8)
            return table.at(static_cast<std::size_t>(IndexAt(x, top)));
        const std::uint8_t* p = rows.data() + stride * (height - 1 - top) + 3 * static_cast<std::size_t>(x);
        return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
    }
};

inline Bmp LoadBmp(const std::string& path)
{
    auto get32 = [](const Bytes& v, std::size_t at) {
        return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (std::uint32_t{v[at + 3]} << 24);
    };
    Bmp bmp;
    const Bytes f = ReadFileBytes(path);
    if (f.size() < 54 || f[0] != 'B' || f[1] != 'M')
        return bmp;
    bmp.headerSize = static_cast<int>(get32(f, 14));
    bmp.width = static_cast<int>(get32(f, 18));
    bmp.height = static_cast<int>(get32(f, 22));
    bmp.bitCount = f[28] | (f[29] << 8);
    const std::size_t offBits = get32(f, 10);
    const std::size_t colors = bmp.bitCount <= 8 ? (std::size_t{1} << bmp.bitCount) : 0;
    if (bmp.headerSize != 40 || bmp.width <= 0 || bmp.height <= 0 || offBits != 54 + 4 * colors)
        return bmp;
    for (std::size_t i = 0; i < colors; ++i)
        bmp.table.push_back(get32(f, 54 + 4 * i) & 0xFFFFFF);
    bmp.stride = RowLength(bmp.width, bmp.bitCount);
    if (f.size() < offBits + bmp.stride * bmp.height)
        return bmp;
    bmp.rows.assign(f.begin() + static_cast<std::ptrdiff_t>(offBits), f.end());
    bmp.ok = true;
    return bmp;
}

} // namespace lumacut::test
