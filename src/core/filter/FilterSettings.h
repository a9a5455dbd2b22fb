#pragma once
// The tone filter's settings: a plain record, copied whole between the
// document (current and undo copies) and the filter dialog.
#include <cstdint>

namespace lumacut {

// Filter kinds; their labels depend on the output type (see FilterKindLabel).
enum FilterKind : std::int32_t { kKindDefineBlack = 0, kKindDefineWhite = 1, kKindDefineFilter = 2, kKindDefineSharp = 3 };

// How a two-colour New Picture turns its tone into black and white. With a
// method other than None the tone is the byte a grey New Picture would hold.
enum DitherMethod : std::int32_t {
    kDitherNone = 0,
    kDitherFloydSteinberg = 1,
    kDitherAtkinson = 2,
    kDitherJarvisJudiceNinke = 3,
    kDitherOrdered = 4, // 8 x 8 Bayer
    kDitherBlueNoise = 5,
};
inline constexpr int kDitherMethodCount = 6;

struct FilterSettings {
    std::int32_t lightDark = 0;    // -100..100 "Light/Dark" (L)
    std::int32_t contrast = 100;   // 0..200, percent
    std::int32_t gamma = 50;       // 0..100, percent; 50 is neutral
    std::uint8_t activeRed = 1;    // channels that take part in comparing with `color`
    std::uint8_t activeGreen = 1;
    std::uint8_t activeBlue = 1;
    std::uint32_t color = 0x808080; // 0x00BBGGRR, red in the low byte
    std::uint8_t negative = 0;
    std::int32_t kind = 0;         // 0..3; the render loop refuses anything else
    std::int32_t sharpness = 0;    // -100..100
    // Two-colour output only; all off by default, and then nothing changes.
    std::int32_t dither = kDitherNone; // DitherMethod
    std::uint8_t linearLight = 0;  // diffuse the error in linear light (sRGB decoded)
    std::int32_t adaptiveRadius = 0; // 0 off; else the local window's radius in pixels
    double adaptiveK = 0.2;        // 0..1, the local threshold's sensitivity

    friend bool operator==(const FilterSettings& a, const FilterSettings& b)
    {
        return a.lightDark == b.lightDark && a.contrast == b.contrast && a.gamma == b.gamma &&
               a.activeRed == b.activeRed && a.activeGreen == b.activeGreen && a.activeBlue == b.activeBlue &&
               a.color == b.color && a.negative == b.negative && a.kind == b.kind && a.sharpness == b.sharpness &&
               a.dither == b.dither && a.linearLight == b.linearLight && a.adaptiveRadius == b.adaptiveRadius &&
               a.adaptiveK == b.adaptiveK;
    }
    friend bool operator!=(const FilterSettings& a, const FilterSettings& b) { return !(a == b); }
};

// Colour helpers for 0x00BBGGRR values.
inline constexpr std::uint8_t RedOf(std::uint32_t c) { return static_cast<std::uint8_t>(c & 0xFF); }
inline constexpr std::uint8_t GreenOf(std::uint32_t c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
inline constexpr std::uint8_t BlueOf(std::uint32_t c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }
inline constexpr std::uint32_t MakeColor(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return std::uint32_t{r} | (std::uint32_t{g} << 8) | (std::uint32_t{b} << 16);
}

} // namespace lumacut
