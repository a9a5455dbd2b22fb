#pragma once
// Small pictures for the filter and sampler tests: Originals of every depth
// filled from a function, New Pictures of the three kinds, and pixel reads.
#include "filter/FilterFormulas.h"
#include "picture/CPicture.h"

#include <cstdint>
#include <functional>

namespace lumacut::testing {

using PixelFn = std::function<Rgb(int x, int y)>;

// A 24-bit (or 32-bit) Original, pixel (x, y) from `fn` (y a stored row).
inline CPicture MakeTrueColor(int width, int height, const PixelFn& fn, int bitCount = 24)
{
    CPicture p;
    p.m_width = width;
    p.m_height = height;
    p.m_colors = 0;
    p.m_bitCount = bitCount;
    p.m_bytesPerPixel = bitCount / 8;
    p.MakeEmpty();
    p.Lock();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Rgb c = fn(x, y);
            std::uint8_t* q = p.m_bits + y * p.m_stride + x * p.m_bytesPerPixel;
            q[0] = c.blue;
            q[1] = c.green;
            q[2] = c.red;
        }
    p.Unlock();
    return p;
}

// A palette Original (1, 4 or 8 bits): `palette` gives the table entries,
// `index` the entry of pixel (x, y).
inline CPicture MakePaletted(int width, int height, int bitCount, const std::function<Rgb(int i)>& palette,
                             const std::function<int(int x, int y)>& index)
{
    CPicture p;
    p.m_width = width;
    p.m_height = height;
    p.m_colors = 1 << bitCount;
    p.m_bitCount = bitCount;
    p.m_bytesPerPixel = bitCount / 8;
    for (int i = 0; i < p.m_colors; ++i) {
        Rgb c = palette(i);
        p.m_rgb[i] = PaletteEntry{c.red, c.green, c.blue, 0};
    }
    p.MakeEmpty();
    p.Lock();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int v = index(x, y);
            if (bitCount == 1)
                p.SetBW(x, y, v);
            else if (bitCount == 4)
                p.SetNibble(x, y, v);
            else
                p.SetIndex(x, y, v);
        }
    p.Unlock();
    return p;
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

} // namespace lumacut::testing
