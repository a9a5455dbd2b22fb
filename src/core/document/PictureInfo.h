#pragma once
// The picture information text shown when a picture arrives (opened or
// pasted): four lines describing its header, and a fifth with its
// resolution in dots per inch when it has one.
#include <cstdint>
#include <string>

namespace lumacut {

struct DibCheck;

// `dib` is the header as it arrived, already validated (`check`); `colors` is
// the colour count the program reads the picture with (0 for true colour).
// A 12-byte core header has no compression, image-size or resolution fields:
// they read as 0.
std::string PictureInformationText(const std::uint8_t* dib, const DibCheck& check, int colors);

} // namespace lumacut
