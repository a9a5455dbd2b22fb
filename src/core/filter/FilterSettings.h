#pragma once
// The tone filter's settings: a plain record, copied whole between the
// document (current and undo copies) and the filter dialog.
#include <cstdint>

namespace lumacut {

// Filter kinds; their labels depend on the output type (see FilterKindLabel).
enum FilterKind : std::int32_t { kKindDefineBlack = 0, kKindDefineWhite = 1, kKindDefineFilter = 2, kKindDefineSharp = 3 };

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

    friend bool operator==(const FilterSettings& a, const FilterSettings& b)
    {
        return a.lightDark == b.lightDark && a.contrast == b.contrast && a.gamma == b.gamma &&
               a.activeRed == b.activeRed && a.activeGreen == b.activeGreen && a.activeBlue == b.activeBlue &&
               a.color == b.color && a.negative == b.negative && a.kind == b.kind && a.sharpness == b.sharpness;
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
