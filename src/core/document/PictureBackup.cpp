#include "document/PictureBackup.h"

#include <utility>

namespace lumacut {

PictureBackup::PictureBackup(const CPicture& picture) : m_kept(picture.Duplicate())
{
}

bool PictureBackup::RestoreInto(CPicture& picture)
{
    if (IsEmpty())
        return false;
    // The kept block takes the place of the current one whatever their sizes.
    picture = std::move(m_kept);
    m_kept = CPicture();
    return true;
}

} // namespace lumacut
