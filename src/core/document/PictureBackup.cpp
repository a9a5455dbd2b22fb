#include "document/PictureBackup.h"

#include <memory>
#include <utility>

namespace lumacut {

PictureBackup::PictureBackup(const CPicture& picture)
{
    CopyPictureFields(picture, m_kept);
    m_kept.m_hDib = DuplicateBlock(picture.m_hDib);
}

bool PictureBackup::RestoreInto(CPicture& picture)
{
    if (IsEmpty())
        return false;
    // The kept block takes the place of the current one whatever their sizes.
    picture = std::move(m_kept);
    m_kept = CPicture();
    picture.m_bits = nullptr;
    picture.m_pPalette = std::make_unique<CPalette>();
    PaletteFromDib(picture.m_hDib, picture.m_pPalette.get(), picture.m_logPalette, picture.m_rgb);
    return true;
}

} // namespace lumacut
