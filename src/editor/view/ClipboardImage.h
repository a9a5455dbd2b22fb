#pragma once
// The clipboard's side of Copy and Paste: the shown picture offered as
// image/bmp (a BMP file: our own depth, kept on paste), image/png and an
// image other programs take; pasted data read back from image/bmp, or from
// any picture another program offered (PNG among them), as a true-colour DIB.
#include "picture/MemBlock.h"

#include <string>

class QImage;
class QMimeData;

namespace lumacut {

class CPicture;

// New clipboard data for the picture, or nullptr when it has no block.
QMimeData* PictureMimeData(const CPicture& picture);

// True while the data holds a picture Paste can try.
bool MimeHasPicture(const QMimeData* data);

struct PastedPicture {
    bool offered = false; // the data held a picture at all
    CMemBlock dib;        // empty when nothing usable was there
    std::string why;      // why an offered picture was refused
};

// The clipboard's picture as a packed DIB: image/bmp checked and kept in its
// depth, preferred over any other picture, which arrives as 24 bits.
PastedPicture PictureFromMimeData(const QMimeData* data);

// A 24-bit packed DIB of the image; empty for a null or too large image.
CMemBlock TrueColorDibFromImage(const QImage& image);

} // namespace lumacut
