#pragma once
// Pictures in memory for tests: Originals of every depth and New Pictures of
// the three kinds, every pixel from a function, and pixel reads. Positions
// are as in CPicture: column x, stored row y (0 = the bottom row).
#include "filter/FilterFormulas.h"
#include "picture/CPicture.h"
#include "picture/Dib.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

namespace lumacut::test {

using RgbFn = std::function<Rgb(int x, int y)>;

// Sets every pixel of `p` from `value(x, y)`: a table index up to 8 bits,
// else 0xRRGGBB. Without `value` the pixels stay zero.
inline CPicture Filled(CPicture p, const std::function<std::uint32_t(int x, int y)>& value)
{
    if (!p.HasBlock()) {
        ADD_FAILURE() << "no block for a " << p.Width() << " x " << p.Height() << " picture";
        return p;
    }
    for (int y = 0; value && y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) {
            const std::uint32_t v = value(x, y);
            if (p.BitCount() == 1)
                p.SetBW(x, y, static_cast<int>(v));
            else if (p.BitCount() == 4)
                p.SetNibble(x, y, static_cast<int>(v));
            else if (p.BitCount() == 8)
                p.SetIndex(x, y, static_cast<int>(v));
            else {
                std::uint8_t* q = p.MutableRow(y) + x * p.BytesPerPixel();
                q[0] = static_cast<std::uint8_t>(v);
                q[1] = static_cast<std::uint8_t>(v >> 8);
                q[2] = static_cast<std::uint8_t>(v >> 16);
            }
        }
    return p;
}

// A zero-filled block in the kept layout: 40-byte header, full colour table
// from `palette` up to 8 bits.
inline CMemBlock PlainBlock(int width, int height, int bitCount, const std::function<Rgb(int i)>& palette = nullptr)
{
    const int colors = bitCount <= 8 ? 1 << bitCount : 0;
    CMemBlock block = CMemBlock::Allocate(static_cast<std::size_t>(DibSize(width, height, bitCount, colors)));
    if (!block)
        return block;
    WriteInfoHeader(block.Data(), width, height, bitCount);
    for (int i = 0; palette && i < colors; ++i) {
        const Rgb c = palette(i);
        std::uint8_t* e = block.Data() + kInfoHeaderSize + 4 * i;
        e[0] = c.blue;
        e[1] = c.green;
        e[2] = c.red;
    }
    return block;
}

// A 24-bit (or 32-bit) Original, pixel (x, y) from `fn`.
inline CPicture MakeTrueColor(int width, int height, const RgbFn& fn, int bitCount = 24)
{
    return Filled(CPicture::FromDib(PlainBlock(width, height, bitCount)), [&](int x, int y) {
        const Rgb c = fn(x, y);
        return std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue;
    });
}

// A palette Original (1, 4 or 8 bits): `palette` gives the table entries,
// `index` the entry of pixel (x, y).
inline CPicture MakePaletted(int width, int height, int bitCount, const std::function<Rgb(int i)>& palette,
                             const std::function<int(int x, int y)>& index)
{
    return Filled(CPicture::FromDib(PlainBlock(width, height, bitCount, palette)),
                  [&](int x, int y) { return static_cast<std::uint32_t>(index(x, y)); });
}

enum class Output { TwoColor, Grey, TrueColor };

// A New Picture of the given kind without a block, as the document sets it up.
inline CPicture MakeTarget(Output kind)
{
    CPicture p;
    p.SetKind(kind == Output::TwoColor ? PictureKind::TwoColor
              : kind == Output::Grey   ? PictureKind::Grey
                                       : PictureKind::TrueColor);
    return p;
}

// A picture of a New Picture's kind and size as a render leaves it, pixel
// (x, y) from `value`: black 0 or white 1, a grey level, or 0xRRGGBB.
inline CPicture MakePicture(Output kind, int width, int height,
                            const std::function<std::uint32_t(int x, int y)>& value = nullptr)
{
    CPicture p = MakeTarget(kind);
    p.MakeEmpty(width, height);
    return Filled(std::move(p), value);
}

// The colour at (x, y) through the picture's own reader.
inline Rgb PixelAt(const CPicture& p, int x, int y)
{
    Rgb c{1, 2, 3};
    p.GetColor(x, y, 0, 0, c.red, c.green, c.blue);
    return c;
}

inline Rgb Grey(int v)
{
    auto b = static_cast<std::uint8_t>(v);
    return {b, b, b};
}

} // namespace lumacut::test
