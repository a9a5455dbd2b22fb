#pragma once
// Paints a picture into a rectangle with QPainter: unscaled when the
// destination and source rectangles have the same size, stretched otherwise,
// always without smoothing (nearest pixel: rows and columns are repeated or
// dropped, never blended). 1-, 4-, 8-, 24- and 32-bit pictures; the colour
// table gives the colours of 1, 4 and 8 bits.
#include "picture/Rect.h"

#include <QImage>

class QPainter;

namespace lumacut {

class CPicture;

// `scanLines` is the number of rows to draw (the picture's height), `source`
// the part of the picture (top-down) to draw. Returns the number of scan
// lines drawn, 0 when nothing was drawn (no block, no pixels, an empty
// rectangle). The picture's own description is used as it is: its header is
// not read again on every paint.
int PaintDib(QPainter& painter, const Rect& dest, const CPicture& picture, int scanLines, const Rect& source);

// A QImage showing the picture, top row first. Shares the picture's rows when
// the depth allows (1, 8, 24 bits): the image is then valid only while the
// block lives and keeps its size; bottom-up rows make it upside down, which
// `flipped` reports. A null image when the picture cannot be shown.
struct DibImage {
    QImage image;
    bool flipped = false;
};
DibImage DibToImage(const CPicture& picture);

} // namespace lumacut
