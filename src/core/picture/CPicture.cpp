#include "picture/CPicture.h"

#include "picture/Dib.h"
#include "picture/DibValidate.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace lumacut {

namespace {

// Colour-table entries of the kept layout: the whole range of the indices
// at 1, 4 and 8 bits, none at other depths.
int FullTableColors(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 ? 1 << bitCount : 0;
}

} // namespace

bool CPalette::CreatePalette(const LogPalette& log, const PaletteEntry* entries)
{
    m_entries.assign(entries, entries + std::min<int>(log.palNumEntries, 256));
    return true;
}

// ---- making pictures ----------------------------------------------------------

bool InKeptLayout(const DibCheck& check)
{
    const int colors = FullTableColors(check.bitCount);
    return check.ok && check.headerSize == kInfoHeaderSize && check.compression == 0 && !check.topDown &&
           check.colors == colors && check.tableOffset == static_cast<std::size_t>(kInfoHeaderSize) &&
           check.pixelOffset == static_cast<std::size_t>(kInfoHeaderSize + 4 * colors);
}

CPicture CPicture::FromDib(CMemBlock block)
{
    CPicture picture;
    if (!block)
        return picture;
    const DibCheck check = ValidateDib(block.Data(), block.Size());
    if (!InKeptLayout(check))
        return picture;
    picture.m_hDib = std::move(block);
    picture.m_pixelOffset = check.pixelOffset;
    picture.m_width = check.width;
    picture.m_height = check.height;
    picture.m_colors = check.colors;
    picture.m_bitCount = check.bitCount;
    picture.m_bytesPerPixel = check.bitCount / 8;
    picture.m_stride = RowStride(check.width, check.bitCount);
    // A true-colour picture gets a palette object that holds no palette.
    picture.LoadPalette(check.tableOffset, check.colors, check.entryBytes);
    return picture;
}

CPicture CPicture::Empty(PictureKind kind, int width, int height)
{
    CPicture picture;
    picture.SetKind(kind);
    picture.MakeEmpty(width, height);
    return picture;
}

CPicture CPicture::NoPicture()
{
    CPicture picture;
    picture.m_colors = 16;
    return picture;
}

CPicture CPicture::SameKind(CMemBlock reuse) const
{
    CPicture copy;
    copy.m_width = m_width;
    copy.m_height = m_height;
    copy.m_stride = m_stride;
    copy.m_colors = m_colors;
    copy.m_bytesPerPixel = m_bytesPerPixel;
    copy.m_logPalette = m_logPalette;
    std::copy(std::begin(m_rgb), std::end(m_rgb), std::begin(copy.m_rgb));
    copy.m_bitCount = m_bitCount;
    copy.m_hDib = std::move(reuse);
    copy.m_pixelOffset = m_pixelOffset;
    return copy;
}

CPicture CPicture::Duplicate() const
{
    CPicture copy = SameKind(DuplicateBlock(m_hDib));
    if (copy.m_hDib) {
        copy.m_pPalette = std::make_unique<CPalette>();
        if (m_pPalette)
            *copy.m_pPalette = *m_pPalette;
    }
    return copy;
}

void CPicture::SetKind(PictureKind kind)
{
    auto setUp = [this](int colors, int bitCount) {
        m_colors = colors;
        m_bitCount = bitCount;
        m_bytesPerPixel = bitCount / 8;
        m_logPalette.palVersion = 0x300;
        m_logPalette.palNumEntries = static_cast<std::uint16_t>(colors);
    };
    switch (kind) {
    case PictureKind::TwoColor:
        setUp(2, 1);
        m_rgb[0] = PaletteEntry{0, 0, 0, 0};
        m_rgb[1] = PaletteEntry{255, 255, 255, 0};
        break;
    case PictureKind::Grey:
        setUp(256, 8);
        for (int i = 0; i < 256; ++i) {
            auto v = static_cast<std::uint8_t>(i);
            m_rgb[i] = PaletteEntry{v, v, v, 0};
        }
        break;
    case PictureKind::TrueColor: setUp(0, 24); break;
    }
}

bool CPicture::MakeEmpty(int width, int height)
{
    m_width = width;
    m_height = height;
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
    m_pixelOffset = kInfoHeaderSize + 4 * static_cast<std::size_t>(m_colors);
    // The table as the header just written counts it (no biClrUsed).
    LoadPalette(kInfoHeaderSize, FullTableColors(m_bitCount), 4);
    return true;
}

CMemBlock CPicture::TakeBlock()
{
    return std::move(m_hDib);
}

void CPicture::Release()
{
    m_hDib.Free();
    m_pPalette.reset();
    m_width = 0;
    m_height = 0;
    m_stride = 0;
}

void CPicture::LoadPalette(std::size_t tableOffset, int count, int entryBytes)
{
    m_pPalette = std::make_unique<CPalette>();
    const int n = std::min(count, 256);
    if (!m_hDib || n <= 0)
        return;
    if (tableOffset + static_cast<std::size_t>(n) * entryBytes > m_hDib.Size())
        return; // the table is not all there
    m_logPalette.palVersion = 0x300;
    m_logPalette.palNumEntries = static_cast<std::uint16_t>(n);
    const std::uint8_t* table = m_hDib.Data() + tableOffset;
    for (int i = 0; i < n; ++i) {
        const std::uint8_t* e = table + i * entryBytes;
        m_rgb[i] = PaletteEntry{e[2], e[1], e[0], 0};
    }
    m_pPalette->CreatePalette(m_logPalette, m_rgb);
}

// ---- writers ------------------------------------------------------------------

void CPicture::SetBW(int x, int y, int on)
{
    if (!Inside(x, y))
        return;
    std::uint8_t& byte = MutableRow(y)[x / 8];
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
    std::uint8_t& byte = MutableRow(y)[x / 2];
    if (x % 2 == 0)
        byte = static_cast<std::uint8_t>((byte & 0x0F) | ((value & 15) << 4));
    else
        byte = static_cast<std::uint8_t>((byte & 0xF0) | (value & 15));
}

void CPicture::SetIndex(int x, int y, int value)
{
    if (!Inside(x, y))
        return;
    MutableRow(y)[x] = static_cast<std::uint8_t>(value);
}

void CPicture::SetRGB(int x, int y, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    if (!Inside(x, y))
        return;
    std::uint8_t* p = MutableRow(y) + 3 * std::int64_t{x};
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
    bool set = (Row(y)[x / 8] >> (7 - x % 8)) & 1;
    red = green = blue = set ? 255 : 0;
}

void CPicture::GetNibble(int x, int y, int dx, int dy, std::uint8_t& red, std::uint8_t& green,
                         std::uint8_t& blue) const
{
    x += dx;
    y += dy;
    if (!Inside(x, y))
        return;
    std::uint8_t byte = Row(y)[x / 2];
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
    const PaletteEntry& e = m_rgb[Row(y)[x]];
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
    const std::uint8_t* p = Row(y) + std::int64_t{x} * m_bytesPerPixel;
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

bool ConvertToTrueColor(const CPicture& picture, CMemBlock& target)
{
    if (!target || !picture.HasBlock())
        return false;
    int stride = RowBytes(24 * std::int64_t{picture.Width()});
    std::size_t needed = static_cast<std::size_t>(stride) * picture.Height() + kInfoHeaderSize;
    if (target.Size() < needed)
        return false;
    std::uint8_t* rows = target.Data() + kInfoHeaderSize;
    for (int y = 0; y < picture.Height(); ++y) {
        std::uint8_t* row = rows + std::int64_t{y} * stride;
        for (int x = 0; x < picture.Width(); ++x) {
            std::uint8_t r = 0, g = 0, b = 0;
            picture.GetColor(x, y, 0, 0, r, g, b);
            row[3 * x + 0] = b;
            row[3 * x + 1] = g;
            row[3 * x + 2] = r;
        }
    }
    return true;
}

void CPicture::ClearRowPadding()
{
    const std::int64_t size = DibSize(m_width, m_height, m_bitCount, m_colors);
    const int stride = RowStride(m_width, m_bitCount);
    if (!m_hDib || m_width <= 0 || m_height <= 0 || size > std::int64_t(m_hDib.Size()))
        return;
    const std::int64_t bits = std::int64_t{m_width} * m_bitCount;
    const auto used = static_cast<int>((bits + 7) / 8);
    const int lastBits = static_cast<int>(bits % 8); // bits used in the last byte, 0 for all
    std::uint8_t* row = MutableRow(0);
    for (int y = 0; y < m_height; ++y, row += stride) {
        if (lastBits != 0)
            row[used - 1] &= static_cast<std::uint8_t>(0xFF << (8 - lastBits)); // the first pixel is the top bit
        std::memset(row + used, 0, static_cast<std::size_t>(stride - used));
    }
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
