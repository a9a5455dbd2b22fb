#pragma once
// Paints a packed DIB block into a rectangle with QPainter: unscaled when the
// destination and source rectangles have the same size, stretched otherwise,
// always without smoothing (nearest pixel: rows and columns are repeated or
// dropped, never blended). 1-, 4-, 8-, 24- and 32-bit blocks; the colour
// table gives the colours of 1, 4 and 8 bits.
#include "picture/MemBlock.h"
#include "picture/Rect.h"

#include <QImage>

class QPainter;

namespace lumacut {

class CPalette;

// `tableBytes` is the colour table's size (4 x colour count), `scanLines` the
// number of rows to draw (the picture's height), `source` the part of the
// picture (top-down) to draw. Returns the number of scan lines drawn, 0 when
// nothing was drawn (no block, a block that does not hold what its header
// says, an empty rectangle). The palette falls away on true-colour displays.
int PaintDib(QPainter& painter, const Rect& dest, const CMemBlock& block, int tableBytes, int scanLines,
             const Rect& source, const CPalette* palette);

// A QImage showing the block, top row first. Shares the block's rows when the
// depth allows (1, 8, 24 bits): the image is then valid only while the block
// lives and keeps its size; bottom-up rows make it upside down, which
// `flipped` reports. A null image when the block cannot be shown.
struct DibImage {
    QImage image;
    bool flipped = false;
};
DibImage DibToImage(const CMemBlock& block, int tableBytes);

} // namespace lumacut
