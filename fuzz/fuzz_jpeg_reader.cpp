// libFuzzer target: whole JPEG files through the reader, in memory.
#include "picture/JpegFile.h"
#include "support/RecordingPrompt.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
// A frame header may claim up to 65500 x 65500 pixels in a few bytes, and
// the library then fills every row from nothing. Pictures of more than a
// megapixel only make the fuzzer slow, so they are skipped here; the size
// limit itself is covered by the tests.
bool ClaimsAHugeFrame(const std::uint8_t* data, std::size_t size)
{
    for (std::size_t i = 0; i + 8 < size; ++i) {
        if (data[i] != 0xFF || data[i + 1] < 0xC0 || data[i + 1] > 0xCF || data[i + 1] == 0xC4 ||
            data[i + 1] == 0xC8 || data[i + 1] == 0xCC)
            continue;
        const std::uint32_t height = std::uint32_t{data[i + 5]} << 8 | data[i + 6];
        const std::uint32_t width = std::uint32_t{data[i + 7]} << 8 | data[i + 8];
        if (std::uint64_t{width} * height > (1u << 20))
            return true;
    }
    return false;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (ClaimsAHugeFrame(data, size))
        return 0;
    lumacut::RecordingPrompt prompt;
    lumacut::ScopedPrompt scope(prompt);
    lumacut::CMemBlock block;
    int width = 0, height = 0;
    const int ok = lumacut::ReadJpegBytes(data, size, "fuzz.jpg", block, width, height);
    if (ok && (!block || width <= 0 || height <= 0))
        std::abort();
    if (!ok && (block || prompt.messages.empty()))
        std::abort();
    return 0;
}
