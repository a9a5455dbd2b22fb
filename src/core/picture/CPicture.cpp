#include "picture/CPicture.h"

#include "picture/Dib.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace lumacut {

bool CPalette::CreatePalette(const LogPalette& log, const PaletteEntry* entries)
{
    m_entries.assign(entries, entries + std::min<int>(log.palNumEntries, 256));
    return true;
}

bool CPicture::Lock()
{
    if (!m_hDib) {
        m_bits = nullptr;
        return false;
    }
    m_bits = PixelBits(m_hDib.Data(), 4 * m_colors);
    return true;
}

bool CPicture::MakeEmpty()
{
    std::int64_t size = DibSize(m_width, m_height, m_bitCount, m_colors);
    if (size <= 0) {
        m_hDib.Free();
        return false;
    }
    if (m_hDib && m_hDib.Size() < static_cast<std::size_t>(size))
        m_hDib.Free();
    if (!m_hDib)
        m_hDib = CMemBlock::Allocate(static_cast<std::size_t>(size));
    if (!m_hDib)
        return false;

    std::uint8_t* dib = m_hDib.Data();
    WriteInfoHeader(dib, m_width, m_height, m_bitCount);
    std::uint8_t* table = dib + kInfoHeaderSize;
    for (int i = 0; i < m_colors && i < 256; ++i) {
        table[4 * i + 0] = m_rgb[i].blue;
        table[4 * i + 1] = m_rgb[i].green;
        table[4 * i + 2] = m_rgb[i].red;
        table[4 * i + 3] = 0;
    }
    m_stride = RowStride(m_width, m_bitCount);
    m_pPalette = std::make_unique<CPalette>();
    PaletteFromDib(m_hDib, m_pPalette.get(), m_logPalette, m_rgb);
    return true;
}

// ---- writers ------------------------------------------------------------------

void CPicture::SetBW(int x, int y, int on)
{
    if (!Inside(x, y))
        return;
    std::uint8_t& byte = m_bits[std::int64_t{y} * m_stride + x / 8];
    std::uint8_t mask = static_cast<std::uint8_t>(1u << (7 - x % 8));
    if (on)
        byte |= mask;
    else
        byte &= static_cast<std::uint8_t>(~mask);
}

void CPicture::SetNibble(int x, int y, int value)
{
    if (!Inside(x, y))
        return;
    std::uint8_t& byte = m_bits[std::int64_t{y} * m_stride + x / 2];
    if (x % 2 == 0)
        byte = static_cast<std::uint8_t>((byte & 0x0F) | ((value & 15) << 4));
    else
        byte = static_cast<std::uint8_t>((byte & 0xF0) | (value & 15));
}

void CPicture::SetIndex(int x, int y, int value)
{
    if (!Inside(x, y))
        return;
    m_bits[std::int64_t{y} * m_stride + x] = static_cast<std::uint8_t>(value);
}

void CPicture::SetRGB(int x, int y, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    if (!Inside(x, y))
        return;
    std::uint8_t* p = m_bits + std::int64_t{y} * m_stride + 3 * std::int64_t{x};
    p[0] = blue;
    p[1] = green;
    p[2] = red;
}

// ---- readers ------------------------------------------------------------------

void CPicture::GetBW(int x, int y, int dx, int dy, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) const
{
    x += dx;
    y += dy;
    if (!Inside(x, y))
        return;
    bool set = (m_bits[std::int64_t{y} * m_stride + x / 8] >> (7 - x % 8)) & 1;
    red = green = blue = set ? 255 : 0;
}

void CPicture::GetNibble(int x, int y, int dx, int dy, std::uint8_t& red, std::uint8_t& green,
                         std::uint8_t& blue) const
{
    x += dx;
    y += dy;
    if (!Inside(x, y))
        return;
    std::uint8_t byte = m_bits[std::int64_t{y} * m_stride + x / 2];
    const PaletteEntry& e = m_rgb[(x % 2) ? (byte & 15) : (byte >> 4)];
    red = e.red;
    green = e.green;
    blue = e.blue;
}

void CPicture::GetIndex(int x, int y, int dx, int dy, std::uint8_t& red, std::uint8_t& green,
                        std::uint8_t& blue) const
{
    x += dx;
    y += dy;
    if (!Inside(x, y))
        return;
    const PaletteEntry& e = m_rgb[m_bits[std::int64_t{y} * m_stride + x]];
    red = e.red;
    green = e.green;
    blue = e.blue;
}

void CPicture::GetRGB(int x, int y, int dx, int dy, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) const
{
    x += dx;
    y += dy;
    if (!Inside(x, y))
        return;
    const std::uint8_t* p = m_bits + std::int64_t{y} * m_stride + std::int64_t{x} * m_bytesPerPixel;
    blue = p[0];
    green = p[1];
    red = p[2];
}

void CPicture::GetColor(int x, int y, int dx, int dy, std::uint8_t& red, std::uint8_t& green,
                        std::uint8_t& blue) const
{
    switch (m_colors) {
    case 0: GetRGB(x, y, dx, dy, red, green, blue); break;
    case 2: GetBW(x, y, dx, dy, red, green, blue); break;
    case 256: GetIndex(x, y, dx, dy, red, green, blue); break;
    case 16: GetNibble(x, y, dx, dy, red, green, blue); break;
    default: break;
    }
}

// ---- block and palette helpers --------------------------------------------------

bool PaletteFromDib(const CMemBlock& block, CPalette* palette, LogPalette& log, PaletteEntry (&rgb)[256])
{
    if (!block)
        return false;
    const std::uint8_t* dib = block.Data();
    DibHeaderInfo info = ParseDibHeader(dib);
    int n = std::min(info.colors, 256);
    if (n <= 0)
        return false;
    int entryBytes = info.isWindowsForm ? 4 : 3;
    std::size_t tableEnd = static_cast<std::size_t>(info.colorTable - dib) + static_cast<std::size_t>(n) * entryBytes;
    if (tableEnd > block.Size())
        return false; // a lying header: the table is not all there
    log.palVersion = 0x300;
    log.palNumEntries = static_cast<std::uint16_t>(n);
    for (int i = 0; i < n; ++i) {
        const std::uint8_t* e = info.colorTable + i * entryBytes;
        rgb[i] = PaletteEntry{e[2], e[1], e[0], 0};
    }
    return palette ? palette->CreatePalette(log, rgb) : false;
}

CMemBlock AllocTrueColorDib(int width, int height)
{
    std::int64_t stride = RowBytes(24 * std::int64_t{width});
    std::int64_t size = stride * height + kInfoHeaderSize;
    if (width <= 0 || height <= 0)
        return {};
    CMemBlock block = CMemBlock::Allocate(static_cast<std::size_t>(size));
    if (block)
        WriteInfoHeader(block.Data(), width, height, 24);
    return block;
}

bool ConvertToTrueColor(CPicture& picture, CMemBlock& target)
{
    if (!target || !picture.Lock())
        return false;
    int stride = RowBytes(24 * std::int64_t{picture.m_width});
    std::size_t needed = static_cast<std::size_t>(stride) * picture.m_height + kInfoHeaderSize;
    if (target.Size() < needed) {
        picture.Unlock();
        return false;
    }
    std::uint8_t* rows = target.Data() + kInfoHeaderSize;
    for (int y = 0; y < picture.m_height; ++y) {
        std::uint8_t* row = rows + std::int64_t{y} * stride;
        for (int x = 0; x < picture.m_width; ++x) {
            std::uint8_t r = 0, g = 0, b = 0;
            picture.GetColor(x, y, 0, 0, r, g, b);
            row[3 * x + 0] = b;
            row[3 * x + 1] = g;
            row[3 * x + 2] = r;
        }
    }
    picture.Unlock();
    return true;
}

void CopyPictureFields(const CPicture& from, CPicture& to)
{
    to.m_width = from.m_width;
    to.m_height = from.m_height;
    to.m_stride = from.m_stride;
    to.m_colors = from.m_colors;
    to.m_bytesPerPixel = from.m_bytesPerPixel;
    to.m_logPalette = from.m_logPalette;
    std::copy(std::begin(from.m_rgb), std::end(from.m_rgb), std::begin(to.m_rgb));
    to.m_bitCount = from.m_bitCount;
}

void ClearRowPadding(CPicture& picture)
{
    const std::int64_t size = DibSize(picture.m_width, picture.m_height, picture.m_bitCount, picture.m_colors);
    const int stride = RowStride(picture.m_width, picture.m_bitCount);
    if (!picture.m_hDib || picture.m_width <= 0 || picture.m_height <= 0 || size > std::int64_t(picture.m_hDib.Size()))
        return;
    const std::int64_t bits = std::int64_t{picture.m_width} * picture.m_bitCount;
    const auto used = static_cast<int>((bits + 7) / 8);
    const int lastBits = static_cast<int>(bits % 8); // bits used in the last byte, 0 for all
    std::uint8_t* row = picture.m_hDib.Data() + kInfoHeaderSize + 4 * std::int64_t{picture.m_colors};
    for (int y = 0; y < picture.m_height; ++y, row += stride) {
        if (lastBits != 0)
            row[used - 1] &= static_cast<std::uint8_t>(0xFF << (8 - lastBits)); // the first pixel is the top bit
        std::memset(row + used, 0, static_cast<std::size_t>(stride - used));
    }
}

static void SetUpKind(CPicture& picture, int colors, int bitCount)
{
    picture.m_colors = colors;
    picture.m_bitCount = bitCount;
    picture.m_bytesPerPixel = bitCount / 8;
    picture.m_logPalette.palVersion = 0x300;
    picture.m_logPalette.palNumEntries = static_cast<std::uint16_t>(colors);
}

void SetUpTwoColor(CPicture& picture)
{
    SetUpKind(picture, 2, 1);
    picture.m_rgb[0] = PaletteEntry{0, 0, 0, 0};
    picture.m_rgb[1] = PaletteEntry{255, 255, 255, 0};
}

void SetUpGrey(CPicture& picture)
{
    SetUpKind(picture, 256, 8);
    for (int i = 0; i < 256; ++i) {
        auto v = static_cast<std::uint8_t>(i);
        picture.m_rgb[i] = PaletteEntry{v, v, v, 0};
    }
}

void SetUpTrueColor(CPicture& picture)
{
    SetUpKind(picture, 0, 24);
}

// ---- memory block helpers ---------------------------------------------------------

CMemBlock DuplicateBlock(const CMemBlock& source)
{
    if (!source)
        return {};
    CMemBlock copy = CMemBlock::Allocate(source.Size());
    if (copy)
        std::memcpy(copy.Data(), source.Data(), source.Size());
    return copy;
}

bool CopyBlockInto(CMemBlock& target, const CMemBlock& source)
{
    if (!target || !source || target.Size() < source.Size())
        return false;
    std::memcpy(target.Data(), source.Data(), source.Size());
    return true;
}

} // namespace lumacut
