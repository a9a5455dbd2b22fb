#pragma once
// Pictures in memory for tests: Originals of every depth and New Pictures of
// the three kinds, every pixel from a function, and pixel reads. Positions
// are as in CPicture: column x, stored row y (0 = the bottom row).
#include "filter/FilterFormulas.h"
#include "picture/CPicture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

namespace lumacut::test {

using RgbFn = std::function<Rgb(int x, int y)>;

// Gives `p` (its kind and colour table set) a block of width x height and
// sets every pixel from `value(x, y)`: a table index up to 8 bits, else
// 0xRRGGBB. Without `value` the pixels stay zero.
inline CPicture Filled(CPicture p, int width, int height, const std::function<std::uint32_t(int x, int y)>& value)
{
    p.m_width = width;
    p.m_height = height;
    if (!p.MakeEmpty() || !p.Lock()) {
        ADD_FAILURE() << "no block for a " << width << " x " << height << " picture";
        return p;
    }
    for (int y = 0; value && y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = value(x, y);
            if (p.m_bitCount == 1)
                p.SetBW(x, y, static_cast<int>(v));
            else if (p.m_bitCount == 4)
                p.SetNibble(x, y, static_cast<int>(v));
            else if (p.m_bitCount == 8)
                p.SetIndex(x, y, static_cast<int>(v));
            else {
                std::uint8_t* q = p.m_bits + y * p.m_stride + x * p.m_bytesPerPixel;
                q[0] = static_cast<std::uint8_t>(v);
                q[1] = static_cast<std::uint8_t>(v >> 8);
                q[2] = static_cast<std::uint8_t>(v >> 16);
            }
        }
    p.Unlock();
    return p;
}

// A 24-bit (or 32-bit) Original, pixel (x, y) from `fn`.
inline CPicture MakeTrueColor(int width, int height, const RgbFn& fn, int bitCount = 24)
{
    CPicture p;
    p.m_colors = 0;
    p.m_bitCount = bitCount;
    p.m_bytesPerPixel = bitCount / 8;
    return Filled(std::move(p), width, height, [&](int x, int y) {
        const Rgb c = fn(x, y);
        return std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue;
    });
}

// A palette Original (1, 4 or 8 bits): `palette` gives the table entries,
// `index` the entry of pixel (x, y).
inline CPicture MakePaletted(int width, int height, int bitCount, const std::function<Rgb(int i)>& palette,
                             const std::function<int(int x, int y)>& index)
{
    CPicture p;
    p.m_colors = 1 << bitCount;
    p.m_bitCount = bitCount;
    p.m_bytesPerPixel = bitCount / 8;
    for (int i = 0; i < p.m_colors; ++i) {
        Rgb c = palette(i);
        p.m_rgb[i] = PaletteEntry{c.red, c.green, c.blue, 0};
    }
    return Filled(std::move(p), width, height, [&](int x, int y) { return static_cast<std::uint32_t>(index(x, y)); });
}

enum class Output { TwoColor, Grey, TrueColor };

// A New Picture of the given kind without a block, as the document sets it up.
inline CPicture MakeTarget(Output kind)
{
    CPicture p;
    if (kind == Output::TwoColor)
        SetUpTwoColor(p);
    else if (kind == Output::Grey)
        SetUpGrey(p);
    else
        SetUpTrueColor(p);
    return p;
}

// A picture of a New Picture's kind and size as a render leaves it, pixel
// (x, y) from `value`: black 0 or white 1, a grey level, or 0xRRGGBB.
inline CPicture MakePicture(Output kind, int width, int height,
                            const std::function<std::uint32_t(int x, int y)>& value = nullptr)
{
    return Filled(MakeTarget(kind), width, height, value);
}

// The colour at (x, y) through the picture's own reader.
inline Rgb PixelAt(CPicture& p, int x, int y)
{
    Rgb c{1, 2, 3};
    p.Lock();
    p.GetColor(x, y, 0, 0, c.red, c.green, c.blue);
    p.Unlock();
    return c;
}

inline Rgb Grey(int v)
{
    auto b = static_cast<std::uint8_t>(v);
    return {b, b, b};
}

} // namespace lumacut::test
