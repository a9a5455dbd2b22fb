#include "document/ColorPick.h"

#include "document/CDibDoc.h"

namespace lumacut {

bool PickOriginalColor(CDibDoc& doc, int x, int y, std::uint32_t& color)
{
    color = 0;
    const PictureSize size = doc.GetPictureSize(true);
    if (x < 0 || y < 0 || x >= size.width || y >= size.height)
        return false;
    // Stored rows count from the bottom.
    return doc.GetOriginalPixel(x, size.height - 1 - y, color);
}

bool AddColorToList(CDibDoc& doc, std::uint32_t color)
{
    if (doc.m_colorListCount < 0 || doc.m_colorListCount >= CDibDoc::kMaxColorList)
        return false;
    doc.m_colorList[doc.m_colorListCount++] = color;
    return true;
}

void ClearColorList(CDibDoc& doc)
{
    doc.m_colorListCount = 0;
}

} // namespace lumacut
