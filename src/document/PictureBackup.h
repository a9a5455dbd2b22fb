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

    bool IsEmpty() const { return !m_block; }
    // Puts the kept picture back in place of the current one; the backup is
    // empty afterwards. False when it was empty.
    bool RestoreInto(CPicture& picture);

private:
    CMemBlock m_block;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    int m_colors = 0;
    int m_bytesPerPixel = 0;
    int m_bitCount = 0;
    LogPalette m_logPalette;
    PaletteEntry m_rgb[256] = {};
};

} // namespace lumacut
