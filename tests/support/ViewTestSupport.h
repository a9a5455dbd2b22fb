#pragma once
// Documents with pictures in them, made without files, for view tests.
#include "document/CDibDoc.h"
#include "picture/CPicture.h"
#include "picture/Dib.h"

#include <QColor>

namespace lumacut {

// The Original's colour at (x, y top-down) in the pictures made below.
inline QRgb TestOriginalColor(int x, int y)
{
    return qRgb((x * 5) & 0xFF, (y * 9) & 0xFF, ((x + y) * 3) & 0xFF);
}

// The New Picture's colour at (x, y top-down): a checkerboard of 1-pixel cells.
inline QRgb TestNewColor(int x, int y)
{
    return (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
}

// Gives `doc` a true-colour Original and a two-colour New Picture of w x h,
// the clip region over the whole picture, and marks it ready.
inline void LoadTestPictures(CDibDoc& doc, int w, int h)
{
    CPicture& original = doc.m_picOriginal;
    original.m_hDib = AllocTrueColorDib(w, h);
    SetUpTrueColor(original);
    original.m_width = w;
    original.m_height = h;
    original.m_stride = RowStride(w, 24);
    original.m_pPalette = std::make_unique<CPalette>();
    original.Lock();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            QRgb c = TestOriginalColor(x, y);
            original.SetRGB(x, h - 1 - y, qRed(c), qGreen(c), qBlue(c));
        }
    original.Unlock();

    CPicture& next = doc.m_picNew;
    SetUpTwoColor(next);
    next.m_width = w;
    next.m_height = h;
    next.MakeEmpty();
    next.Lock();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            next.SetBW(x, h - 1 - y, (x + y) % 2);
    next.Unlock();

    doc.m_clipRect = Rect{0, 0, w, h};
    doc.m_clipActive = false;
    doc.m_pictureReady = true;
}

} // namespace lumacut
