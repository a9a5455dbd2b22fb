#include "picture/ClipboardDib.h"

#include "picture/CPicture.h"
#include "picture/Dib.h"
#include "picture/DibValidate.h"
#include "picture/Limits.h"

#include <algorithm>
#include <cstring>

namespace lumacut {

namespace {

bool KnownDepth(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32;
}

// Colour-table entries of the plain layout: the whole range of the indices.
int FullTableColors(int bitCount)
{
    return bitCount <= 8 ? 1 << bitCount : 0;
}

// A zero-filled packed DIB with a 40-byte header and a full colour table.
CMemBlock AllocPlainDib(int width, int height, int bitCount)
{
    if (!KnownDepth(bitCount) || !SizeWithinLimits(width, height))
        return {};
    const std::int64_t size = DibSize(width, height, bitCount, FullTableColors(bitCount));
    CMemBlock block = CMemBlock::Allocate(static_cast<std::size_t>(size));
    if (block)
        WriteInfoHeader(block.Data(), width, height, bitCount);
    return block;
}

// Two-colour pictures are read without their table (a set bit is white), so
// the lighter entry must be entry 1: otherwise the table is swapped and the
// bits turned over, which leaves the picture as it looks.
void PutLighterColorSecond(CMemBlock& dib)
{
    std::uint8_t* table = dib.Data() + kInfoHeaderSize;
    auto lightness = [](const std::uint8_t* bgr) { return 114 * bgr[0] + 587 * bgr[1] + 299 * bgr[2]; };
    if (lightness(table) <= lightness(table + 4))
        return;
    for (int i = 0; i < 4; ++i)
        std::swap(table[i], table[4 + i]);
    for (std::uint8_t* p = table + 8; p < dib.Data() + dib.Size(); ++p)
        *p = static_cast<std::uint8_t>(~*p);
}

// `pixelOffset` as for ValidateDib: a hint that is used only when it fits.
CMemBlock DibFromPacked(const std::uint8_t* dib, std::size_t size, std::size_t pixelOffset, std::string& why)
{
    if (!dib) {
        why = "no data";
        return {};
    }
    const DibCheck check = ValidateDib(dib, size, pixelOffset);
    if (!check.ok) {
        why = check.why.empty() ? "refused" : check.why;
        return {};
    }
    // Checked once more where the copy below relies on it.
    const std::size_t rowsBytes = check.rowBytes * static_cast<std::size_t>(check.height);
    if (check.pixelOffset > size || size - check.pixelOffset < rowsBytes ||
        check.tableOffset + static_cast<std::size_t>(check.entryBytes) * check.colors > size) {
        why = "pixel rows beyond the data";
        return {};
    }
    CMemBlock out = AllocPlainDib(check.width, check.height, check.bitCount);
    if (!out) {
        why = "too large";
        return {};
    }

    std::uint8_t* dst = out.Data();
    if (check.headerSize >= kInfoHeaderSize)
        WriteResolution(dst, ReadResolution(dib));
    const int tableColors = FullTableColors(check.bitCount);
    const int colors = std::min(check.colors, tableColors);
    for (int i = 0; i < colors; ++i)
        std::memcpy(dst + kInfoHeaderSize + 4 * i, dib + check.tableOffset + check.entryBytes * i, 3);

    const std::size_t stride = static_cast<std::size_t>(RowStride(check.width, check.bitCount));
    const std::size_t copy = std::min(stride, check.rowBytes);
    std::uint8_t* rows = dst + kInfoHeaderSize + 4 * static_cast<std::size_t>(tableColors);
    for (int y = 0; y < check.height; ++y) {
        const std::size_t from = static_cast<std::size_t>(check.topDown ? check.height - 1 - y : y);
        std::memcpy(rows + stride * y, dib + check.pixelOffset + check.rowBytes * from, copy);
    }
    if (check.bitCount == 1)
        PutLighterColorSecond(out);
    return out;
}

} // namespace

CMemBlock PackedDibOf(const CPicture& picture)
{
    const CMemBlock& source = picture.Block();
    const int colors = picture.Colors();
    if (!source || !KnownDepth(picture.BitCount()) || colors != FullTableColors(picture.BitCount()))
        return {};
    CMemBlock out = AllocPlainDib(picture.Width(), picture.Height(), picture.BitCount());
    if (!out)
        return out;

    // A picture's block is in the plain layout already: table and rows are
    // copied as they are.
    const std::size_t rowsBytes = static_cast<std::size_t>(picture.Stride()) * static_cast<std::size_t>(picture.Height());
    std::uint8_t* dst = out.Data();
    for (int i = 0; i < colors; ++i)
        std::memcpy(dst + kInfoHeaderSize + 4 * i, source.Data() + kInfoHeaderSize + 4 * i, 3);
    std::memcpy(dst + kInfoHeaderSize + 4 * static_cast<std::size_t>(colors), picture.Row(0), rowsBytes);
    return out;
}

std::vector<std::uint8_t> BmpFileBytes(const CMemBlock& packedDib)
{
    std::vector<std::uint8_t> file;
    if (!packedDib || packedDib.Size() < kInfoHeaderSize)
        return file;
    const DibCheck check = ValidateDib(packedDib.Data(), packedDib.Size());
    // Plain 32-bit DIBs made here carry no bit fields: the rows follow the table.
    const std::size_t tableBytes = 4 * static_cast<std::size_t>(check.colors);
    file.resize(kFileHeaderSize + packedDib.Size());
    std::uint8_t* p = file.data();
    p[0] = 'B';
    p[1] = 'M';
    WriteLE32(p + 2, static_cast<std::uint32_t>(file.size()));
    WriteLE32(p + 10, static_cast<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize + tableBytes));
    std::memcpy(p + kFileHeaderSize, packedDib.Data(), packedDib.Size());
    return file;
}

CMemBlock DibFromBmpFileBytes(const std::uint8_t* data, std::size_t size, std::string& why)
{
    if (!data || size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M') {
        why = "not a BMP file";
        return {};
    }
    // bfOffBits may lie; ValidateDib takes it only when the rows fit behind it.
    const std::uint32_t offBits = ReadLE32(data + 10);
    const std::size_t pixelOffset = offBits > kFileHeaderSize ? offBits - kFileHeaderSize : 0;
    return DibFromPacked(data + kFileHeaderSize, size - kFileHeaderSize, pixelOffset, why);
}

CMemBlock DibFromPackedBytes(const std::uint8_t* dib, std::size_t size, std::string& why)
{
    return DibFromPacked(dib, size, 0, why);
}

} // namespace lumacut
