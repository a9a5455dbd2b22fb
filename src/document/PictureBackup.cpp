#include "document/PictureBackup.h"

#include <algorithm>
#include <iterator>

namespace lumacut {

PictureBackup::PictureBackup(const CPicture& p)
    : m_block(DuplicateBlock(p.m_hDib)),
      m_width(p.m_width),
      m_height(p.m_height),
      m_stride(p.m_stride),
      m_colors(p.m_colors),
      m_bytesPerPixel(p.m_bytesPerPixel),
      m_bitCount(p.m_bitCount),
      m_logPalette(p.m_logPalette)
{
    std::copy(std::begin(p.m_rgb), std::end(p.m_rgb), std::begin(m_rgb));
}

bool PictureBackup::RestoreInto(CPicture& p)
{
    if (!m_block)
        return false;
    // The kept block takes the place of the current one whatever their sizes.
    p.m_hDib = std::move(m_block);
    p.m_bits = nullptr;
    p.m_width = m_width;
    p.m_height = m_height;
    p.m_stride = m_stride;
    p.m_colors = m_colors;
    p.m_bytesPerPixel = m_bytesPerPixel;
    p.m_bitCount = m_bitCount;
    p.m_logPalette = m_logPalette;
    std::copy(std::begin(m_rgb), std::end(m_rgb), std::begin(p.m_rgb));
    p.m_pPalette = std::make_unique<CPalette>();
    PaletteFromDib(p.m_hDib, p.m_pPalette.get(), p.m_logPalette, p.m_rgb);
    return true;
}

} // namespace lumacut
