#pragma once
// The packed device-independent bitmap (DIB): a 40-byte information header
// (or the 12-byte core header of old files), a colour table and bottom-up
// pixel rows padded to 4 bytes, exactly as a BMP file holds them after its
// 14-byte file header. All integers little-endian.
//
// Headers are read in one place only: ValidateDib (DibValidate.h) checks
// them, and a picture keeps what it found (CPicture::FromDib).
#include <cstdint>

namespace lumacut {

inline constexpr int kInfoHeaderSize = 40;
inline constexpr int kCoreHeaderSize = 12;
inline constexpr int kFileHeaderSize = 14;

// Offsets of the fields of the 40-byte header.
namespace dib {
inline constexpr int kSize = 0, kWidth = 4, kHeight = 8, kPlanes = 12, kBitCount = 14, kCompression = 16,
                     kSizeImage = 20, kXPelsPerMeter = 24, kYPelsPerMeter = 28, kClrUsed = 32, kClrImportant = 36;
}

// ---- little-endian access -----------------------------------------------------
inline std::uint16_t ReadLE16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t ReadLE32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t ReadLE32s(const std::uint8_t* p) { return static_cast<std::int32_t>(ReadLE32(p)); }
inline void WriteLE16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void WriteLE32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

// ---- sizes -------------------------------------------------------------------
// Bytes per stored row, a multiple of 4. A bit count other than 1, 4, 8, 24
// or 32 shows "Error in color data" and takes `width` bytes.
int RowStride(int width, int bitCount);
// The same for bits = width x bit count: (bits + 31) / 32 x 4.
int RowBytes(std::int64_t bits);
// height x RowStride + 4 x colours + 40.
std::int64_t DibSize(int width, int height, int bitCount, int colors);

// ---- resolution -----------------------------------------------------------------
// A picture's resolution in pixels per metre across and down, as the 40-byte
// header holds it; 0 where unknown (a negative field counts as unknown).
struct Resolution {
    int x = 0, y = 0;
    bool Known() const { return x > 0 && y > 0; }
    bool operator==(const Resolution&) const = default;
};
Resolution ReadResolution(const std::uint8_t* dib);
void WriteResolution(std::uint8_t* dib, Resolution r);
// The resolution of a picture resized by `scale`, so that it prints at the
// same size: pixels per metre times the scale, rounded.
Resolution ScaledResolution(Resolution r, double scale);
// Dots per inch from pixels per metre and back, rounded.
int DotsPerInch(int pixelsPerMetre);
int PixelsPerMetre(double dotsPerInch);

// ---- headers ----------------------------------------------------------------------
// Writes a 40-byte header: 1 plane, no compression, biSizeImage = height x
// RowStride, resolution and colour counts 0.
void WriteInfoHeader(std::uint8_t* dib, int width, int height, int bitCount);

} // namespace lumacut
