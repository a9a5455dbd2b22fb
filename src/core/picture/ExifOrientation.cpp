#include "picture/ExifOrientation.h"

#include <cstring>
#include <limits>

namespace lumacut {

namespace {

constexpr std::uint16_t kTagOrientation = 0x0112;
constexpr std::uint16_t kTagXResolution = 0x011A;
constexpr std::uint16_t kTagYResolution = 0x011B;
constexpr std::uint16_t kTagResolutionUnit = 0x0128;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeRational = 5;
constexpr std::size_t kEntrySize = 12;

// The TIFF block after "Exif\0\0"; every read is bounds-checked by the
// caller through Fits().
struct Tiff {
    const std::uint8_t* p;
    std::size_t size;
    bool bigEndian;

    bool Fits(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= size && length <= size - offset;
    }
    std::uint16_t U16(std::size_t at) const
    {
        return bigEndian ? static_cast<std::uint16_t>(p[at] << 8 | p[at + 1])
                         : static_cast<std::uint16_t>(p[at] | p[at + 1] << 8);
    }
    std::uint32_t U32(std::size_t at) const
    {
        return bigEndian ? std::uint32_t{U16(at)} << 16 | U16(at + 2) : U16(at) | std::uint32_t{U16(at + 2)} << 16;
    }
};

// A RATIONAL tag's value (count 1, stored at an offset since 8 bytes never
// fit the entry) as numerator and denominator; false when it is not one.
bool ReadRational(const Tiff& tiff, std::size_t entry, std::uint32_t& num, std::uint32_t& den)
{
    if (tiff.U16(entry + 2) != kTypeRational || tiff.U32(entry + 4) != 1)
        return false;
    const std::uint32_t at = tiff.U32(entry + 8);
    if (at < 8 || !tiff.Fits(at, 8))
        return false;
    num = tiff.U32(at);
    den = tiff.U32(at + 4);
    return den != 0;
}

// A SHORT tag with count 1 keeps its value in the first two bytes of the
// value field; 0 when the entry is not one (0 is no valid value of any of
// the SHORT tags read here).
std::uint16_t ReadShort(const Tiff& tiff, std::size_t entry)
{
    if (tiff.U16(entry + 2) != kTypeShort || tiff.U32(entry + 4) != 1)
        return 0;
    return tiff.U16(entry + 8);
}

// num/den dots per inch (unit 2) or per centimetre (unit 3) as pixels per
// metre, rounded; 0 when it does not fit the header field.
std::int32_t PelsPerMeter(std::uint32_t num, std::uint32_t den, int unit)
{
    // per inch: num / den / 0.0254 = num * 5000 / (den * 127)
    const std::uint64_t scale = unit == 2 ? 5000 : 100;
    const std::uint64_t divisor = unit == 2 ? std::uint64_t{den} * 127 : den;
    const std::uint64_t value = (std::uint64_t{num} * scale + divisor / 2) / divisor;
    return value <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())
               ? static_cast<std::int32_t>(value)
               : 0;
}

} // namespace

ExifTags ReadExifTags(const std::uint8_t* data, std::size_t size)
{
    ExifTags tags;
    static constexpr std::uint8_t kSignature[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (!data || size < sizeof kSignature + 8 || std::memcmp(data, kSignature, sizeof kSignature) != 0)
        return tags;
    Tiff tiff{data + sizeof kSignature, size - sizeof kSignature, false};
    if (tiff.p[0] == 'M' && tiff.p[1] == 'M')
        tiff.bigEndian = true;
    else if (tiff.p[0] != 'I' || tiff.p[1] != 'I')
        return tags;
    if (tiff.U16(2) != 42)
        return tags;
    const std::uint32_t ifd = tiff.U32(4);
    if (ifd < 8 || !tiff.Fits(ifd, 2))
        return tags;
    const std::uint16_t count = tiff.U16(ifd);
    // The whole directory must be there: a count that runs past the end
    // means the directory is damaged, and nothing in it is trusted.
    if (!tiff.Fits(std::uint64_t{ifd} + 2, std::uint64_t{count} * kEntrySize))
        return tags;

    int orientation = 0, orientationSeen = 0;
    int unit = 2, unitSeen = 0;
    std::uint32_t xNum = 0, xDen = 0, yNum = 0, yDen = 0;
    bool xValid = false, yValid = false;
    int xSeen = 0, ySeen = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = ifd + 2 + i * kEntrySize;
        switch (tiff.U16(entry)) {
        case kTagOrientation:
            ++orientationSeen;
            orientation = ReadShort(tiff, entry);
            break;
        case kTagResolutionUnit:
            ++unitSeen;
            unit = ReadShort(tiff, entry);
            break;
        case kTagXResolution:
            ++xSeen;
            xValid = ReadRational(tiff, entry, xNum, xDen);
            break;
        case kTagYResolution:
            ++ySeen;
            yValid = ReadRational(tiff, entry, yNum, yDen);
            break;
        default: break;
        }
    }
    // A tag given twice is as doubtful as a damaged one.
    if (orientationSeen == 1 && orientation >= 1 && orientation <= 8)
        tags.orientation = orientation;
    if (xSeen == 1 && ySeen == 1 && unitSeen <= 1 && xValid && yValid && (unit == 2 || unit == 3)) {
        const std::int32_t x = PelsPerMeter(xNum, xDen, unit);
        const std::int32_t y = PelsPerMeter(yNum, yDen, unit);
        if (x > 0 && y > 0) {
            tags.xPelsPerMeter = x;
            tags.yPelsPerMeter = y;
        }
    }
    return tags;
}

} // namespace lumacut
