#pragma once
// BMP files: read into a 24-bit packed DIB, written as held behind a 14-byte
// file header. Both report their failures through the prompt seam and
// return 1 or 0.
#include "picture/MemBlock.h"

#include <string>

namespace lumacut {

// On 1 `block` holds a 24-bit packed DIB (40-byte header, bottom-up) and width
// and height are set. On 0 a message has been shown and `block` is empty,
// except that a file shorter than 14 bytes or not starting with "BM" leaves a
// block passed in untouched, without a message.
int ReadBmpFile(const std::string& path, CMemBlock& block, int& width, int& height);

// Writes the block (40-byte header, `tableBytes` of colour table, the rows)
// behind a file header. The file is written beside the target and renamed
// over it only when complete, so a failed save leaves an existing file as it was.
int WriteBmpFile(const std::string& path, CMemBlock& block, int tableBytes);

} // namespace lumacut
