// libFuzzer target: whole BMP files through the reader, in memory.
#include "picture/BmpFile.h"
#include "support/RecordingPrompt.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lumacut::RecordingPrompt prompt;
    lumacut::ScopedPrompt scope(prompt);
    lumacut::CMemBlock block;
    int width = 0, height = 0;
    const int ok = lumacut::ReadBmpBytes(data, size, "fuzz.bmp", block, width, height);
    // The two promises of the reader: a picture of exactly the computed size,
    // or no picture and a message.
    if (ok && (!block || width <= 0 || height <= 0 || !prompt.messages.empty()))
        std::abort();
    if (!ok && (block || prompt.messages.size() != 1))
        std::abort();
    return 0;
}
