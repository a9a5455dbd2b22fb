#include "document/OriginalForm.h"

#include "picture/Dib.h"

#include <cstring>

namespace lumacut {

int OriginalFormColors(int bitCount)
{
    return bitCount <= 8 ? 1 << bitCount : 0;
}

bool IsOriginalForm(const DibCheck& check)
{
    const int colors = OriginalFormColors(check.bitCount);
    return check.ok && check.headerSize == kInfoHeaderSize && check.compression == 0 && !check.topDown &&
           check.colors == colors && check.tableOffset == static_cast<std::size_t>(kInfoHeaderSize) &&
           check.pixelOffset == static_cast<std::size_t>(kInfoHeaderSize + 4 * colors);
}

CMemBlock ToOriginalForm(CMemBlock dib, const DibCheck& check)
{
    if (!dib || !check.ok)
        return {};
    if (IsOriginalForm(check))
        return dib;

    const int colors = OriginalFormColors(check.bitCount);
    const std::size_t tableBytes = 4 * static_cast<std::size_t>(colors);
    const std::size_t pixelBytes = check.rowBytes * static_cast<std::size_t>(check.height);
    CMemBlock out = CMemBlock::Allocate(kInfoHeaderSize + tableBytes + pixelBytes);
    if (!out)
        return {};

    std::uint8_t* dst = out.Data();
    const std::uint8_t* src = dib.Data();
    WriteInfoHeader(dst, check.width, check.height, check.bitCount);
    // Entries the arriving table does not hold stay black (the block is
    // zero-filled), so every index a row can carry reads as some colour.
    std::uint8_t* table = dst + kInfoHeaderSize;
    const std::uint8_t* entry = src + check.tableOffset;
    for (int i = 0; i < check.colors && i < colors; ++i, entry += check.entryBytes) {
        table[4 * i + 0] = entry[0];
        table[4 * i + 1] = entry[1];
        table[4 * i + 2] = entry[2];
    }
    std::uint8_t* rows = table + tableBytes;
    const std::uint8_t* srcRows = src + check.pixelOffset;
    if (!check.topDown) {
        std::memcpy(rows, srcRows, pixelBytes);
    } else {
        for (int y = 0; y < check.height; ++y)
            std::memcpy(rows + static_cast<std::size_t>(y) * check.rowBytes,
                        srcRows + static_cast<std::size_t>(check.height - 1 - y) * check.rowBytes, check.rowBytes);
    }
    return out;
}

} // namespace lumacut
