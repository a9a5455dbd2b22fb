#include "picture/DibConvert.h"

#include "picture/CPicture.h"

#include <cstring>

namespace lumacut {

namespace {

struct Bgr {
    std::uint8_t b, g, r;
};

// The table as 256 entries: entries the file does not hold stay black, so
// any index a row can carry is safe to look up.
void LoadTable(const std::uint8_t* dib, const DibCheck& check, Bgr (&table)[256])
{
    std::memset(table, 0, sizeof table);
    const std::uint8_t* entry = dib + check.tableOffset;
    for (int i = 0; i < check.colors && i < 256; ++i, entry += check.entryBytes)
        table[i] = Bgr{entry[0], entry[1], entry[2]};
}

void ConvertRow(const std::uint8_t* src, std::uint8_t* out, int width, int bitCount, const Bgr (&table)[256])
{
    switch (bitCount) {
    case 24: std::memcpy(out, src, 3 * static_cast<std::size_t>(width)); return;
    case 32:
        for (int x = 0; x < width; ++x, src += 4, out += 3) {
            out[0] = src[0];
            out[1] = src[1];
            out[2] = src[2];
        }
        return;
    default: break;
    }
    for (int x = 0; x < width; ++x, out += 3) {
        int index;
        if (bitCount == 8)
            index = src[x];
        else if (bitCount == 4)
            index = (x & 1) ? (src[x >> 1] & 15) : (src[x >> 1] >> 4);
        else
            index = (src[x >> 3] >> (7 - (x & 7))) & 1;
        const Bgr& c = table[index];
        out[0] = c.b;
        out[1] = c.g;
        out[2] = c.r;
    }
}

} // namespace

CMemBlock DibToTrueColor(const std::uint8_t* dib, const DibCheck& check)
{
    if (!check.ok)
        return {};
    CMemBlock block = AllocTrueColorDib(check.width, check.height);
    if (!block)
        return {};
    Bgr table[256];
    LoadTable(dib, check, table);
    const std::size_t outStride = static_cast<std::size_t>(RowBytes(24 * std::int64_t{check.width}));
    std::uint8_t* outRows = block.Data() + kInfoHeaderSize;
    const std::uint8_t* inRows = dib + check.pixelOffset;
    for (int y = 0; y < check.height; ++y) {
        const int sourceRow = check.topDown ? check.height - 1 - y : y;
        ConvertRow(inRows + static_cast<std::size_t>(sourceRow) * check.rowBytes, outRows + y * outStride,
                   check.width, check.bitCount, table);
    }
    return block;
}

} // namespace lumacut
