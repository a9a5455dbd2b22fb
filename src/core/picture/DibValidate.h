#pragma once
// The one validated header parse for untrusted packed DIBs (BMP files after
// their file header, clipboard data): every size, offset and colour count is
// checked against the bytes really present before anything else is done.
#include "picture/Dib.h"
#include "picture/MemBlock.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumacut {

// What kind of fault refused a DIB, for the reader's message.
enum class DibProblem { None, CutShort, DamagedHeader, UnsupportedDepth, UnsupportedCompression, NoPixels, TooLarge };

struct DibCheck {
    bool ok = false;
    DibProblem problem = DibProblem::None;
    std::string why;            // for logs and tests; the user sees the program's message
    int headerSize = 0;         // 12, or 40 and the later Windows forms (52, 56, 108, 124)
    int width = 0;
    int height = 0;             // always positive; see topDown
    bool topDown = false;       // negative height in the file
    int bitCount = 0;           // 1, 4, 8, 24 or 32
    int compression = 0;        // 0, or 3 (32-bit with the usual masks)
    int colors = 0;             // colour-table entries present (0..256); 24 and 32 bits: a hint, skipped
    int entryBytes = 4;         // 4, or 3 for the core form
    std::size_t tableOffset = 0;  // from the start of the DIB
    std::size_t pixelOffset = 0;  // from the start of the DIB
    std::size_t rowBytes = 0;     // stored row length
};

// Checks a packed DIB of `size` bytes at `dib`. Refused (ok false, `problem`
// and `why` say why, every other field cleared): header sizes other than 12,
// 40, 52, 56, 108, 124; planes other than 1; bit counts other than 1, 4, 8,
// 24, 32; any compression except bit fields at 32 bits with the masks
// 0xFF0000, 0xFF00, 0xFF; more than 256 colours; sizes outside Limits.h; a
// header, masks, table or rows that are not all within `size`.
// `pixelOffset` (a BMP file's bfOffBits, relative to the DIB; 0 for none) is
// a hint: it is taken only when it lies after the table and all rows fit
// behind it, else the rows are taken to follow the table.
DibCheck ValidateDib(const std::uint8_t* dib, std::size_t size, std::size_t pixelOffset = 0);

} // namespace lumacut
