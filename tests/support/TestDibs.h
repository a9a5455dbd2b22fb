#pragma once
// Hand-made packed DIBs and BMP files for the document and tool tests, built
// byte by byte so that they do not depend on the program's own writers, and a
// small reader for the BMP files the program writes.
#include "picture/MemBlock.h"
#include "support/Files.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace lumacut::testdib {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb& a, const Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
};

struct DibLayout {
    int headerSize = 40;  // 12, 40, or a later form (108, 124)
    int width = 1;
    int height = 1;
    bool topDown = false; // negative height in the header
    int bitCount = 24;
    int compression = 0;  // 3 at 32 bits: the usual masks follow a 40-byte header
    std::vector<Rgb> table;
    int clrUsed = 0;
    int xPels = 0, yPels = 0;
};

inline void Put16(std::vector<std::uint8_t>& v, std::size_t at, unsigned x)
{
    v[at] = static_cast<std::uint8_t>(x);
    v[at + 1] = static_cast<std::uint8_t>(x >> 8);
}
inline void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<std::uint8_t>(x >> (8 * i));
}

inline std::size_t RowLength(int width, int bitCount)
{
    return (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
}

// `value(x, row from the top)`: a palette index up to 8 bits, else 0xRRGGBB.
inline std::vector<std::uint8_t> BuildDib(const DibLayout& s, const std::function<std::uint32_t(int, int)>& value)
{
    const bool core = s.headerSize == 12;
    const std::size_t masks = (s.compression == 3 && s.headerSize == 40) ? 12 : 0;
    const std::size_t entry = core ? 3 : 4;
    const std::size_t stride = RowLength(s.width, s.bitCount);
    const std::size_t pixels = s.headerSize + masks + entry * s.table.size();
    std::vector<std::uint8_t> d(pixels + stride * s.height, 0);
    Put32(d, 0, static_cast<std::uint32_t>(s.headerSize));
    if (core) {
        Put16(d, 4, s.width);
        Put16(d, 6, s.height);
        Put16(d, 8, 1);
        Put16(d, 10, s.bitCount);
    } else {
        Put32(d, 4, static_cast<std::uint32_t>(s.width));
        Put32(d, 8, static_cast<std::uint32_t>(s.topDown ? -s.height : s.height));
        Put16(d, 12, 1);
        Put16(d, 14, s.bitCount);
        Put32(d, 16, static_cast<std::uint32_t>(s.compression));
        Put32(d, 20, static_cast<std::uint32_t>(stride * s.height));
        Put32(d, 24, static_cast<std::uint32_t>(s.xPels));
        Put32(d, 28, static_cast<std::uint32_t>(s.yPels));
        Put32(d, 32, static_cast<std::uint32_t>(s.clrUsed));
        if (s.compression == 3) {
            // Red, green, blue masks: inside the later forms, after the 40-byte one.
            Put32(d, 40, 0x00FF0000u);
            Put32(d, 44, 0x0000FF00u);
            Put32(d, 48, 0x000000FFu);
        }
    }
    std::size_t at = s.headerSize + masks;
    for (const Rgb& c : s.table) {
        d[at] = c.b;
        d[at + 1] = c.g;
        d[at + 2] = c.r;
        at += entry;
    }
    for (int yTop = 0; yTop < s.height; ++yTop) {
        const int stored = s.topDown ? yTop : s.height - 1 - yTop;
        std::uint8_t* row = d.data() + pixels + stride * stored;
        for (int x = 0; x < s.width; ++x) {
            const std::uint32_t v = value(x, yTop);
            switch (s.bitCount) {
            case 1: row[x / 8] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8)); break;
            case 4: row[x / 2] |= static_cast<std::uint8_t>((v & 15) << (x % 2 ? 0 : 4)); break;
            case 8: row[x] = static_cast<std::uint8_t>(v); break;
            default: {
                std::uint8_t* p = row + static_cast<std::size_t>(x) * (s.bitCount / 8);
                p[0] = static_cast<std::uint8_t>(v);
                p[1] = static_cast<std::uint8_t>(v >> 8);
                p[2] = static_cast<std::uint8_t>(v >> 16);
            }
            }
        }
    }
    return d;
}

inline CMemBlock ToBlock(const std::vector<std::uint8_t>& bytes)
{
    CMemBlock block = CMemBlock::Allocate(bytes.size());
    std::memcpy(block.Data(), bytes.data(), bytes.size());
    return block;
}

// A BMP file: the 14-byte file header, then the DIB.
inline void WriteBmp(const std::string& path, const std::vector<std::uint8_t>& dib, std::size_t pixelOffsetInDib)
{
    std::vector<std::uint8_t> head(14, 0);
    head[0] = 'B';
    head[1] = 'M';
    Put32(head, 2, static_cast<std::uint32_t>(14 + dib.size()));
    Put32(head, 10, static_cast<std::uint32_t>(14 + pixelOffsetInDib));
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(head.data()), 14);
    out.write(reinterpret_cast<const char*>(dib.data()), static_cast<std::streamsize>(dib.size()));
}

// A plain 24-bit BMP file of width x height; `color(x, yTop)` is 0xRRGGBB.
inline void WriteBmp24(const std::string& path, int width, int height,
                       const std::function<std::uint32_t(int, int)>& color)
{
    DibLayout s;
    s.width = width;
    s.height = height;
    WriteBmp(path, BuildDib(s, color), 40);
}

// A BMP file as the program writes them: 40-byte header, bottom-up rows.
struct Bmp {
    bool ok = false;
    int width = 0, height = 0, bitCount = 0, headerSize = 0;
    std::vector<Rgb> table;
    std::vector<std::uint8_t> rows;
    std::size_t stride = 0;

    int IndexAt(int x, int yTop) const
    {
        const std::uint8_t* row = rows.data() + stride * (height - 1 - yTop);
        switch (bitCount) {
        case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
        case 8: return row[x];
        default: return -1;
        }
    }
    Rgb At(int x, int yTop) const
    {
        if (bitCount <= 8)
            return table.at(static_cast<std::size_t>(IndexAt(x, yTop)));
        const std::uint8_t* p = rows.data() + stride * (height - 1 - yTop) + 3 * static_cast<std::size_t>(x);
        return Rgb{p[2], p[1], p[0]};
    }
};

inline std::uint32_t Get32(const std::vector<std::uint8_t>& v, std::size_t at)
{
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<std::uint32_t>(v[at + 3]) << 24);
}

inline Bmp LoadBmp(const std::string& path)
{
    Bmp bmp;
    std::vector<std::uint8_t> f = test::ReadFileBytes(path);
    if (f.size() < 54 || f[0] != 'B' || f[1] != 'M')
        return bmp;
    bmp.headerSize = static_cast<int>(Get32(f, 14));
    bmp.width = static_cast<int>(Get32(f, 18));
    bmp.height = static_cast<int>(Get32(f, 22));
    bmp.bitCount = f[28] | (f[29] << 8);
    const std::size_t offBits = Get32(f, 10);
    const std::size_t colors = bmp.bitCount <= 8 ? (std::size_t{1} << bmp.bitCount) : 0;
    if (bmp.headerSize != 40 || bmp.width <= 0 || bmp.height <= 0 || offBits != 54 + 4 * colors)
        return bmp;
    for (std::size_t i = 0; i < colors; ++i)
        bmp.table.push_back(Rgb{f[54 + 4 * i + 2], f[54 + 4 * i + 1], f[54 + 4 * i]});
    bmp.stride = RowLength(bmp.width, bmp.bitCount);
    if (f.size() < offBits + bmp.stride * bmp.height)
        return bmp;
    bmp.rows.assign(f.begin() + static_cast<std::ptrdiff_t>(offBits), f.end());
    bmp.ok = true;
    return bmp;
}

} // namespace lumacut::testdib
