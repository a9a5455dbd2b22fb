#pragma once
// The JPEG adapter over libjpeg(-turbo): files to and from 24-bit packed DIBs.
#include "picture/MemBlock.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumacut {

// On 1 `block` holds a 24-bit bottom-up packed DIB of the decoded picture,
// with the JFIF density (or else the Exif resolution) as its resolution;
// when the library decoded past damaged data (a file cut short: the rest is
// grey) its first warning has been shown ("JPEG file damaged: ").
// On 0 the reader has shown its message (or the library's text went to
// standard error) and the block is empty.
// Pictures over the size limits (Limits.h) are refused after the header is
// read, before anything is decoded. Greyscale and CMYK files are refused
// with the block maker's two messages; a library error shows the library's
// text.
// `notes`, when given, gets what the file says beyond its pixels.
struct JpegNotes {
    int orientation = 0; // the Exif orientation (1..8), 0 when none; the pixels are not turned
};
int ReadJpegFile(const std::string& path, CMemBlock& block, int& width, int& height, JpegNotes* notes = nullptr);
// The same for a whole JPEG file already in memory; `path` is only used in
// the messages.
int ReadJpegBytes(const std::uint8_t* data, std::size_t size, const std::string& path, CMemBlock& block, int& width,
                  int& height, JpegNotes* notes = nullptr);

// Writes a 24-bit packed DIB (40-byte header, no table) at `quality` 0..100.
// Returns 1 on success; on failure shows a message, leaves no partial file
// and returns 0. The block is left as it was in every case.
int WriteJpegFile(const std::string& path, const CMemBlock& block, int quality);

// The reader's block maker: a 40-byte 24-bit header for width x height.
bool MakeBitmapColors0(CMemBlock& block, int components, int width, int height);
// Exchanges bytes 0 and 2 of `count` 3-byte pixels.
void SwapRedBlue(std::uint8_t* row, int count);

} // namespace lumacut
