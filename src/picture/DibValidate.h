#pragma once
// The one validated header parse for untrusted packed DIBs (BMP files after
// their file header, clipboard data): every size, offset and colour count is
// checked against the bytes really present before anything else is done.
#include "picture/Dib.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumacut {

struct DibCheck {
    bool ok = false;
    std::string why;            // for logs and tests; the user sees the program's message
    int headerSize = 0;         // 12, or 40 and the later Windows forms (52, 56, 108, 124)
    int width = 0;
    int height = 0;             // always positive; see topDown
    bool topDown = false;       // negative height in the file
    int bitCount = 0;           // 1, 4, 8, 24 or 32
    int compression = 0;        // 0, or 3 (32-bit with the usual masks)
    int colors = 0;             // colour-table entries present (0..256)
    int entryBytes = 4;         // 4, or 3 for the core form
    std::size_t tableOffset = 0;  // from the start of the DIB
    std::size_t pixelOffset = 0;  // from the start of the DIB
    std::size_t rowBytes = 0;     // stored row length
};

// Checks a packed DIB of `size` bytes at `dib`. `pixelOffset` may be given
// (from a BMP file's bfOffBits, relative to the DIB) when the caller trusts it
// more than the header; pass 0 to compute it from the header.
DibCheck ValidateDib(const std::uint8_t* dib, std::size_t size, std::size_t pixelOffset = 0);

} // namespace lumacut
