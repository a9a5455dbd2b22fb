#pragma once
// The few Exif tags a photo needs to be shown upright and at its size: the
// orientation and the resolution of the first picture directory (IFD0),
// read from the payload of a JPEG APP1 marker. Our own small reader: every
// offset and count is checked against the payload before it is used, and
// nothing outside the given bytes is ever read.
#include <cstddef>
#include <cstdint>

namespace lumacut {

struct ExifTags {
    // 1..8 as the Orientation tag says; 0 when it is absent or not valid.
    int orientation = 0;
    // Pixels per metre from XResolution/YResolution and ResolutionUnit
    // (inch when absent); both 0 unless both are valid and not unitless.
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
};

// `data` is the marker's payload after its length: "Exif\0\0", then a TIFF
// header (II or MM, 42, offset of IFD0). A payload that is not Exif, is cut
// short or is inconsistent anywhere on the way to a tag gives that tag's
// "none" value.
ExifTags ReadExifTags(const std::uint8_t* data, std::size_t size);

inline int ReadExifOrientation(const std::uint8_t* data, std::size_t size)
{
    return ReadExifTags(data, size).orientation;
}

} // namespace lumacut
