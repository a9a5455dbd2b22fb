// libFuzzer target: APP1 payloads through the Exif tag reader, each in a
// buffer of exactly its size so any read past the end is caught.
#include "picture/ExifOrientation.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const lumacut::ExifTags tags = lumacut::ReadExifTags(data, size);
    if (tags.orientation < 0 || tags.orientation > 8)
        std::abort();
    if ((tags.xPelsPerMeter == 0) != (tags.yPelsPerMeter == 0) || tags.xPelsPerMeter < 0 || tags.yPelsPerMeter < 0)
        std::abort();
    return 0;
}
