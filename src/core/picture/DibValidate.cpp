#include "picture/DibValidate.h"

#include "picture/Limits.h"

namespace lumacut {

namespace {

bool KnownHeaderSize(std::uint32_t size)
{
    // 12: the core form; 40: the Windows form; 52, 56, 108, 124: later Windows
    // forms that begin with the same 40 bytes.
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

DibCheck Refuse(DibProblem problem, const char* why)
{
    DibCheck check;
    check.problem = problem;
    check.why = why;
    return check;
}

} // namespace

DibCheck ValidateDib(const std::uint8_t* dib, std::size_t size, std::size_t pixelOffset)
{
    if (!dib || size < 4)
        return Refuse(DibProblem::CutShort, "no room for a header");
    const std::uint32_t headerSize = ReadLE32(dib);
    if (!KnownHeaderSize(headerSize))
        return Refuse(DibProblem::DamagedHeader, "unknown header size");
    if (size < headerSize)
        return Refuse(DibProblem::CutShort, "header cut short");

    const bool core = headerSize == kCoreHeaderSize;
    std::int64_t width, height;
    int planes, bitCount;
    std::uint32_t compression = 0, clrUsed = 0;
    if (core) {
        width = ReadLE16(dib + 4);
        height = ReadLE16(dib + 6);
        planes = ReadLE16(dib + 8);
        bitCount = ReadLE16(dib + 10);
    } else {
        width = ReadLE32s(dib + dib::kWidth);
        height = ReadLE32s(dib + dib::kHeight);
        planes = ReadLE16(dib + dib::kPlanes);
        bitCount = ReadLE16(dib + dib::kBitCount);
        compression = ReadLE32(dib + dib::kCompression);
        clrUsed = ReadLE32(dib + dib::kClrUsed);
    }
    if (planes != 1)
        return Refuse(DibProblem::DamagedHeader, "planes is not 1");
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return Refuse(DibProblem::UnsupportedDepth, "unsupported bit count");

    DibCheck check;
    check.topDown = height < 0;
    if (check.topDown)
        height = -height; // from a signed 32-bit field, so it cannot overflow in 64 bits
    if (width <= 0 || height == 0)
        return Refuse(DibProblem::NoPixels, "width or height zero or negative");
    if (!SizeWithinLimits(width, height))
        return Refuse(DibProblem::TooLarge, "more pixels than the size limits");

    std::size_t tableOffset = headerSize;
    if (compression == 3 && bitCount == 32) {
        // Bit-field masks: right after a 40-byte header, inside the later forms.
        if (headerSize == kInfoHeaderSize) {
            if (size < kInfoHeaderSize + 12)
                return Refuse(DibProblem::CutShort, "masks cut short");
            tableOffset += 12;
        }
        const std::uint8_t* masks = dib + kInfoHeaderSize;
        if (ReadLE32(masks) != 0x00FF0000u || ReadLE32(masks + 4) != 0x0000FF00u || ReadLE32(masks + 8) != 0x000000FFu)
            return Refuse(DibProblem::UnsupportedCompression, "unusual bit-field masks");
    } else if (compression != 0) {
        return Refuse(DibProblem::UnsupportedCompression, "compressed pixels");
    }

    int colors;
    if (!core && clrUsed != 0) {
        if (clrUsed > 256)
            return Refuse(DibProblem::DamagedHeader, "more than 256 colours");
        colors = static_cast<int>(clrUsed);
    } else {
        colors = bitCount <= 8 ? 1 << bitCount : 0;
    }
    const int entryBytes = core ? 3 : 4;
    const std::size_t tableEnd = tableOffset + static_cast<std::size_t>(colors) * entryBytes;
    if (tableEnd > size)
        return Refuse(DibProblem::CutShort, "colour table cut short");

    const std::uint64_t rowBytes = static_cast<std::uint64_t>(RowBytes(bitCount * width));
    const std::uint64_t pixelBytes = rowBytes * static_cast<std::uint64_t>(height);
    // The offset handed in comes from the file and may lie: it is taken only
    // when it leaves the table whole and all rows fit behind it.
    std::size_t start = tableEnd;
    if (pixelOffset >= tableEnd && pixelOffset <= size && size - pixelOffset >= pixelBytes)
        start = pixelOffset;
    if (size - start < pixelBytes)
        return Refuse(DibProblem::CutShort, "pixel data cut short");

    check.ok = true;
    check.headerSize = static_cast<int>(headerSize);
    check.width = static_cast<int>(width);
    check.height = static_cast<int>(height);
    check.bitCount = bitCount;
    check.compression = static_cast<int>(compression);
    check.colors = colors;
    check.entryBytes = entryBytes;
    check.tableOffset = tableOffset;
    check.pixelOffset = start;
    check.rowBytes = static_cast<std::size_t>(rowBytes);
    return check;
}

} // namespace lumacut
