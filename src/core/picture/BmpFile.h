#pragma once
// BMP files: read into a 24-bit packed DIB, written as held behind a 14-byte
// file header. Both report their failures through the prompt seam and
// return 1 or 0.
#include "picture/MemBlock.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumacut {

// On 1 `block` holds a 24-bit packed DIB (40-byte header, bottom-up) and width
// and height are set. On 0 a message has been shown and `block` is empty (a
// refused file: "Failed to read 2: ", the path and what is wrong with it),
// except that a file shorter than 14 bytes or not starting with "BM" leaves a
// block passed in untouched, without a message.
//
// Every file is checked (ValidateDib) before a pixel is read: 1, 4, 8, 24 and
// 32 bits (32 only plain or with the usual blue-green-red masks), the 12-byte
// core header and the 40, 52, 56, 108 and 124-byte Windows headers,
// uncompressed, at most 256 colours, within the size limits (Limits.h).
// Every picture comes back in the same form whatever the file held: 40-byte
// header, no colour table, bottom-up rows, exactly the computed size.
int ReadBmpFile(const std::string& path, CMemBlock& block, int& width, int& height);

// The same for a whole BMP file already in memory; `path` is only used in
// the messages.
int ReadBmpBytes(const std::uint8_t* data, std::size_t size, const std::string& path, CMemBlock& block, int& width,
                 int& height);

// Writes the block (40-byte header, `tableBytes` of colour table, the rows)
// behind a file header. The file is written beside the target and renamed
// over it only when complete, so a failed save leaves an existing file as it was.
// A block whose header is not the 40-byte form, or that is smaller than its
// header says, is refused with a message and nothing is written.
int WriteBmpFile(const std::string& path, const CMemBlock& block, int tableBytes);

} // namespace lumacut
