#pragma once
// The TIFF adapter over libtiff: the first page of a file to a 24-bit packed
// DIB, and 1-, 8- and 24-bit packed DIBs to files.
#include "picture/MemBlock.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumacut {

// What the reader saw besides the pixels; the caller tells the user.
struct TiffPageInfo {
    bool morePages = false; // the file holds pages after the first, which are not read
    int orientation = 0;    // the Orientation tag (1..8), 0 when absent; the pixels are NOT turned
};

// On 1 `block` holds a 24-bit bottom-up packed DIB of the first page in the
// file's stored row order, with its resolution in pixels per metre (0 when
// the file gives none in inches or centimetres). Samples of 16 bits are
// rounded to 8; a picture with alpha is laid over white. Grey, palette and
// RGB pictures are decoded here; other colour models (YCbCr, CMYK, Lab, ...)
// go through libtiff's RGBA reader, and what that refuses is refused with
// its text. On 0 the reader has shown its message and the block is empty.
// Pictures over the size limits (Limits.h) are refused before anything is
// decoded.
int ReadTiffFile(const std::string& path, CMemBlock& block, int& width, int& height, TiffPageInfo* info = nullptr);
// The same for a whole TIFF file already in memory; `path` is only used in
// the messages.
int ReadTiffBytes(const std::uint8_t* data, std::size_t size, const std::string& path, CMemBlock& block, int& width,
                  int& height, TiffPageInfo* info = nullptr);

// Writes a packed DIB with a 40-byte header: 1-bit as CCITT Group 4 (white
// is 0), 8-bit with a grey ramp as grey and with another table as palette,
// 24-bit as RGB, the last two Deflate-compressed; the resolution goes along
// when the header has one. Returns 1 on success; on failure shows a message,
// leaves the target as it was and returns 0.
int WriteTiffFile(const std::string& path, const CMemBlock& block);

} // namespace lumacut
