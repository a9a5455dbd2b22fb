#pragma once
// A document holding test pictures, made without files or a render: a
// true-colour Original and a New Picture of a chosen kind, both w x h, the
// clip region over the whole picture, ready to show.
#include "document/CDibDoc.h"
#include "support/PictureBuilder.h"

#include <cstdint>
#include <memory>

namespace lumacut::test {

// The Original's colour at (x, y from the top), 0xRRGGBB. Each channel
// changes from one pixel to the next and runs through its whole range within
// a few pixels, so a pixel taken from the wrong place shows, and so does a
// render with other settings.
inline std::uint32_t TestOriginalColor(int x, int y)
{
    return static_cast<std::uint32_t>((x * 37) & 0xFF) << 16 | static_cast<std::uint32_t>((y * 71) & 0xFF) << 8 |
           static_cast<std::uint32_t>(((x + y) * 13) & 0xFF);
}

// The New Picture's colour at (x, y from the top): a checkerboard of black
// and white 1-pixel cells, in any kind.
inline std::uint32_t TestNewColor(int x, int y)
{
    return (x + y) % 2 ? 0xFFFFFFu : 0x000000u;
}

inline void LoadTestPictures(CDibDoc& doc, int w, int h, Output kind = Output::TwoColor)
{
    doc.m_picOriginal = MakePicture(Output::TrueColor, w, h, [&](int x, int y) { return TestOriginalColor(x, h - 1 - y); });
    doc.m_picNew = MakePicture(kind, w, h, [&](int x, int y) {
        const std::uint32_t white = TestNewColor(x, h - 1 - y) != 0;
        return kind == Output::TwoColor ? white : kind == Output::Grey ? 255 * white : 0xFFFFFF * white;
    });
    doc.m_clipRect = Rect{0, 0, w, h};
    doc.m_clipActive = false;
    doc.m_pictureReady = true;
}

inline std::unique_ptr<CDibDoc> MakeTestDocument(int w, int h, Output kind)
{
    auto doc = std::make_unique<CDibDoc>();
    LoadTestPictures(*doc, w, h, kind);
    return doc;
}

} // namespace lumacut::test
