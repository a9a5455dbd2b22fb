#include "view/DocumentPreview.h"

#include "document/CDibDoc.h"
#include "document/ResizeMath.h"
#include "framework/LongWork.h"

namespace lumacut {

bool DocumentPreview::ShowsOriginal() const
{
    return m_screen.ShowsOriginal();
}

void DocumentPreview::SetShowsOriginal(bool original)
{
    m_screen.SetShowsOriginal(original);
    m_screen.InvalidateView(false);
}

bool DocumentPreview::ShowFilter(const FilterSettings& settings)
{
    if (!RenderDocument(m_doc, settings))
        return false; // a render of this document is still running
    m_doc.UpdateAllViews(nullptr, 0);
    return true;
}

void DocumentPreview::ShowResize(double scale, double footprint, int width, int height, bool always)
{
    const CPicture& pic = m_doc.m_picNew;
    const bool changed =
        pic.Width() != width || pic.Height() != height || FootprintChanged(m_doc.m_footprint, footprint);
    m_screen.SetShowsOriginal(false);
    // The New Picture's size is left to the render, which makes it from the
    // scale: unchanged, it already equals the dialog's; changed, the render
    // sets it together with the block, so the two never disagree.
    m_doc.m_scale = scale;
    m_doc.m_footprint = footprint;
    if (changed || always)
        RenderDocument(m_doc, m_doc.m_filter);
    m_screen.InvalidateView(true);
}

} // namespace lumacut
