#include "picture/BmpFile.h"

#include "picture/AtomicFile.h"
#include "picture/Dib.h"
#include "picture/DibValidate.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cstdio>

namespace lumacut {

namespace {

std::string FileErrorText(int number)
{
    char text[64];
    std::snprintf(text, sizeof text, std::string(msg::kFileErrorFormat).c_str(), number);
    return text;
}

// Bytes of the DIB part to write (header, table, rows), or -1 when the block
// is smaller than its own header says. `infoHeader` gets the header to write,
// its image size set.
std::int64_t DibPartSize(const CMemBlock& block, int tableBytes, std::uint8_t (&infoHeader)[kInfoHeaderSize])
{
    const std::uint8_t* dib = block.Data();
    const std::int64_t width = ReadLE32s(dib + dib::kWidth);
    const std::int64_t height = ReadLE32s(dib + dib::kHeight);
    const int bitCount = ReadLE16(dib + dib::kBitCount);
    const std::uint32_t compression = ReadLE32(dib + dib::kCompression);
    if (tableBytes < 0 || width <= 0 || height <= 0 || bitCount <= 0)
        return -1;
    std::int64_t pixelBytes;
    if (compression == 1 || compression == 2) {
        pixelBytes = ReadLE32(dib + dib::kSizeImage);
    } else {
        pixelBytes = std::int64_t{RowBytes(bitCount * width)} * height;
        if (pixelBytes > 0xFFFFFFFFll)
            return -1;
    }
    const std::int64_t size = kInfoHeaderSize + std::int64_t{tableBytes} + pixelBytes;
    if (size > static_cast<std::int64_t>(block.Size()) || size + kFileHeaderSize > 0xFFFFFFFFll)
        return -1;
    std::copy(dib, dib + kInfoHeaderSize, infoHeader);
    if (compression != 1 && compression != 2)
        WriteLE32(infoHeader + dib::kSizeImage, static_cast<std::uint32_t>(pixelBytes));
    return size;
}

} // namespace

int WriteBmpFile(const std::string& path, const CMemBlock& block, int tableBytes)
{
    if (!WritableHeader(path, block))
        return 0;
    std::uint8_t infoHeader[kInfoHeaderSize];
    const std::int64_t size = DibPartSize(block, tableBytes, infoHeader);
    if (size < 0) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return 0;
    }

    CAtomicFile file;
    if (!file.Open(path)) {
        ShowMessage(path + std::string(msg::kFailedToOpen1a) + FileErrorText(0));
        return 0;
    }
    std::uint8_t header[kFileHeaderSize] = {'B', 'M'};
    WriteLE32(header + 2, static_cast<std::uint32_t>(size + kFileHeaderSize));
    WriteLE32(header + 10, static_cast<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize + tableBytes));
    file.Write(header, sizeof header);
    file.Write(infoHeader, sizeof infoHeader);
    file.Write(block.Data() + kInfoHeaderSize, static_cast<std::size_t>(size - kInfoHeaderSize));
    if (!file.Commit()) {
        ShowMessage(path + std::string(msg::kFailedToProcess));
        return 0;
    }
    return 1;
}

} // namespace lumacut
