#pragma once
// Pictures for the render benchmarks: a photo-like true-colour Original
// (smooth gradients with some noise) and New Pictures of each kind.
#include "filter/RenderLoop.h"
#include "picture/CPicture.h"

#include <cmath>
#include <cstdint>

namespace lumacut::bench {

inline CPicture MakePhoto(int width, int height)
{
    CPicture p = CPicture::Empty(PictureKind::TrueColor, width, height);
    std::uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = p.MutableRow(y);
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            int noise = static_cast<int>(seed >> 28) - 8;
            auto clamp = [](int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
            row[3 * x + 0] = clamp(x * 255 / width + noise);
            row[3 * x + 1] = clamp(y * 255 / height + noise);
            row[3 * x + 2] = clamp(((x + y) * 255 / (width + height)) ^ (noise & 15));
        }
    }
    return p;
}

// The sampler cases every render benchmark reports, in this order.
struct SamplerCase {
    const char* name;
    double scale, footprint, tilt;
};
inline constexpr SamplerCase kSamplerCases[] = {{"scale 0.5 footprint 1", 0.5, 1, 0},
                                                {"scale 2 footprint 1", 2, 1, 0},
                                                {"scale 1 footprint 3", 1, 3, 0},
                                                {"tilt 3 degrees", 1, 1, 3 * M_PI / 180}};

enum class BenchOutput { TwoColor = 0, Grey = 1, TrueColor = 2 };

inline CPicture MakeNewPicture(BenchOutput kind)
{
    CPicture p;
    p.SetKind(kind == BenchOutput::TwoColor ? PictureKind::TwoColor
              : kind == BenchOutput::Grey   ? PictureKind::Grey
                                            : PictureKind::TrueColor);
    return p;
}

inline const char* OutputName(BenchOutput kind)
{
    return kind == BenchOutput::TwoColor ? "two" : kind == BenchOutput::Grey ? "grey" : "true";
}

} // namespace lumacut::bench
