// libFuzzer target: whole PNG files through the reader, in memory.
#include "picture/PngFile.h"
#include "support/RecordingPrompt.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
// A header may claim a picture of up to 2^28 pixels in a few bytes, whose
// rows the library then unfilters from almost nothing. Pictures of more
// than a megapixel only make the fuzzer slow, so they are skipped here; the
// size limit itself is covered by the tests.
bool ClaimsAHugePicture(const std::uint8_t* data, std::size_t size)
{
    if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return false;
    auto be32 = [&](std::size_t at) {
        return std::uint32_t{data[at]} << 24 | std::uint32_t{data[at + 1]} << 16 | std::uint32_t{data[at + 2]} << 8 |
               data[at + 3];
    };
    return std::uint64_t{be32(16)} * be32(20) > (1u << 20);
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
    const int ok = lumacut::ReadPngBytes(data, size, "fuzz.png", block, width, height);
    if (ok && (!block || width <= 0 || height <= 0 || !prompt.messages.empty()))
        std::abort();
    if (!ok && (block || prompt.messages.size() != 1))
        std::abort();
    return 0;
}
