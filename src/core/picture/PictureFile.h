#pragma once
// Picture files of every type the program reads and writes: the type from a
// file's name or from its first bytes, reading into a packed DIB, and
// writing the New Picture.
#include "picture/CPicture.h"
#include "picture/MemBlock.h"
#include "picture/RowStream.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumacut {

enum FileType : int { kFileTypeNone = -1, kFileTypeBmp = 1, kFileTypeJpeg = 2, kFileTypePng = 3, kFileTypeTiff = 4 };

// By the name's ending, in any letter case: .bmp; .jpg or .jpeg; .png; .tif
// or .tiff. kFileTypeNone for anything else.
int FileTypeOf(const std::string& path);
// By the first bytes: "BM", FF D8 FF, the PNG signature, "II*\0" or "MM\0*".
int FileTypeOfContent(const std::uint8_t* data, std::size_t size);
// The ending a file of the type is written with: ".bmp", ".jpg", ".png", ".tif".
const char* EndingOf(int type);

// A file of `type` into a packed DIB: a BMP in its own depth, the others
// as 24 bits. A photo whose orientation tag asks for it is turned upright.
// `note` gets what the reader did beyond the pixels, a line for the
// information box ("" when nothing). 1 on success; 0 after the reader's
// message, the block empty.
int ReadPictureFile(const std::string& path, int type, CMemBlock& block, std::string& note);
// The same for a whole file in memory; `name` is used in the messages.
int ReadPictureBytes(const std::uint8_t* data, std::size_t size, int type, const std::string& name,
                     CMemBlock& block, std::string& note);

// The picture into a file of `type`: BMP, PNG and TIFF in its own kind (1,
// 8 or 24 bits), JPEG through true colour at `jpegQuality`. 1 on success; 0
// after the writer's message, an existing file left as it was.
int WritePictureFile(const std::string& path, int type, const CPicture& picture, int jpegQuality);

// A stream of the rows of a file of `type` (RowStream.h); null for a type
// that does not stream.
std::unique_ptr<CRowStream> MakeRowStream(int type);

} // namespace lumacut
