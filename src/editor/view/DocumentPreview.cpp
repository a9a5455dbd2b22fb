#include "view/DocumentPreview.h"

#include "document/CDibDoc.h"
#include "document/ResizeMath.h"
#include "filter/FilterDlgModel.h"
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

std::optional<int> DocumentPreview::AutoThreshold()
{
    // The Original is only read, but the request's target is the New
    // Picture, which a running render replaces.
    if (m_doc.IsRendering() || !m_doc.m_picOriginal.HasBlock())
        return std::nullopt;
    return OtsuThreshold(BrightnessHistogram(m_doc.RenderRequestFor(m_doc.m_picNew)));
}

std::optional<Histogram> DocumentPreview::ToneHistogram(const FilterSettings& settings)
{
    if (m_doc.IsRendering() || !m_doc.m_picOriginal.HasBlock())
        return std::nullopt;
    const FilterSettings key = ToneHistogramKey(settings);
    if (!m_toneCache || m_toneCache->first != key)
        m_toneCache.emplace(key, lumacut::ToneHistogram(settings, m_doc.RenderRequestFor(m_doc.m_picNew)));
    return m_toneCache->second;
}

} // namespace lumacut
