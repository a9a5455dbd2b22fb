#pragma once
// A whole picture kept aside while a dialog may re-render it: the block
// (header, colour table, pixels) and the fields that describe it, so that a
// restore leaves block, size and kind agreeing again even when the dialog
// rendered a picture of another size meanwhile.
#include "picture/CPicture.h"

namespace lumacut {

class PictureBackup {
public:
    // Copies the picture's block and fields. Without memory (or without a
    // block) the backup is empty and a restore changes nothing.
    explicit PictureBackup(const CPicture& picture);

    bool IsEmpty() const { return !m_kept.HasBlock(); }
    // Puts the kept picture back in place of the current one; the backup is
    // empty afterwards. False when it was empty.
    bool RestoreInto(CPicture& picture);

private:
    CPicture m_kept;
};

} // namespace lumacut
