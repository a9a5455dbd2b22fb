// libFuzzer target: whole TIFF files through the reader, in memory.
#include "picture/TiffFile.h"
#include "support/RecordingPrompt.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
// A directory may claim up to the size limits in a few bytes, and the reader
// then allocates and fills the whole picture. Pictures of more than a
// megapixel only make the fuzzer slow, so they are skipped here; the size
// limit itself is covered by the tests. Only the first directory of a
// classic TIFF is looked at; anything else goes to the reader.
bool ClaimsAHugePicture(const std::uint8_t* data, std::size_t size)
{
    if (size < 8 || !((data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M')))
        return false;
    const bool little = data[0] == 'I';
    auto get = [&](std::size_t at, int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= std::uint32_t{data[at + (little ? i : n - 1 - i)]} << 8 * i;
        return v;
    };
    const std::size_t ifd = get(4, 4);
    if (ifd > size || size - ifd < 2)
        return false;
    const std::uint32_t count = get(ifd, 2);
    std::uint64_t width = 0, height = 0;
    for (std::uint32_t i = 0; i < count && ifd + 2 + 12 * (std::size_t{i} + 1) <= size; ++i) {
        const std::size_t entry = ifd + 2 + 12 * std::size_t{i};
        const std::uint32_t tag = get(entry, 2), type = get(entry + 2, 2);
        const std::uint32_t value = type == 3 ? get(entry + 8, 2) : get(entry + 8, 4);
        // the largest of repeated tags, whichever of them the library keeps
        if (tag == 256)
            width = std::max<std::uint64_t>(width, value);
        else if (tag == 257)
            height = std::max<std::uint64_t>(height, value);
    }
    return width * height > (1u << 20);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (ClaimsAHugePicture(data, size))
        return 0;
    lumacut::RecordingPrompt prompt;
    lumacut::ScopedPrompt scope(prompt);
    lumacut::CMemBlock block;
    int width = 0, height = 0;
    lumacut::TiffPageInfo info;
    const int ok = lumacut::ReadTiffBytes(data, size, "fuzz.tif", block, width, height, &info);
    if (ok && (!block || width <= 0 || height <= 0 || info.orientation < 0 || info.orientation > 8))
        std::abort();
    if (!ok && (block || prompt.messages.size() != 1))
        std::abort();
    return 0;
}
