#pragma once
// The PNG adapter over libspng: files to 24-bit packed DIBs, and the New
// Picture's three kinds to PNG files.
#include "picture/MemBlock.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumacut {

// On 1 `block` holds a 24-bit bottom-up packed DIB of the picture; a pHYs
// resolution in pixels per metre is in biXPelsPerMeter/biYPelsPerMeter (0
// when the file has none or gives only an aspect ratio).
// Every standard kind is read: grey of 1 to 16 bits, palette, RGB, with or
// without alpha or tRNS, interlaced or not. Colour-space chunks (gAMA, cHRM,
// sRGB, iCCP) are ignored: the pixels are taken as stored. 16-bit samples,
// alpha included, are first reduced to 8 bits by rounding,
// round(v * 255 / 65535); then the picture is laid over white in 8 bits,
// each channel c with alpha a becoming round((c * a + 255 * (255 - a)) / 255).
// On 0 the reader has shown its message and the block is empty: pictures
// over the size limits (Limits.h) are refused from the header, before any
// pixel memory is taken; damaged files (bad CRC of a critical chunk, bad
// compressed data, a file cut short anywhere before its end marker) with
// "PNG read failed: " + path + ": " + the library's reason. An ancillary
// chunk with a bad CRC is dropped, as the library does by default.
int ReadPngFile(const std::string& path, CMemBlock& block, int& width, int& height);
// The same for a whole PNG file already in memory; `path` is only used in
// the messages.
int ReadPngBytes(const std::uint8_t* data, std::size_t size, const std::string& path, CMemBlock& block, int& width,
                 int& height);

// Writes a packed DIB (40-byte header) as PNG in its own kind: 1 bit as 1-bit
// grey (each colour-table entry black or white, whichever is nearer), 8 bits
// as 8-bit grey (each index through its table entry's grey level), 24 bits
// as 8-bit RGB. A non-zero resolution in the header is written as pHYs in
// pixels per metre. Returns 1 on success; on failure shows a message, leaves
// no partial file and returns 0. The block is left as it was in every case.
int WritePngFile(const std::string& path, const CMemBlock& block);

} // namespace lumacut
