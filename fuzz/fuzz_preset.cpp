// libFuzzer target: preset files. Whatever is accepted must write a text
// that reads back to the same text; a refusal must leave the preset as it was.
#include "document/Preset.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    lumacut::Preset preset;
    preset.quality = -1; // no text sets this
    std::string error;
    if (!lumacut::ParsePresetText(text, "fuzz", preset, error)) {
        if (preset.quality != -1 || error.rfind("fuzz", 0) != 0)
            std::abort();
        return 0;
    }
    const std::string written = lumacut::WritePresetText(preset);
    lumacut::Preset back;
    if (!lumacut::ParsePresetText(written, "again", back, error) || lumacut::WritePresetText(back) != written)
        std::abort();
    return 0;
}
