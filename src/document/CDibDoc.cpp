#include "document/CDibDoc.h"

#include "filter/RenderLoop.h"

namespace lumacut {

CDibDoc::CDibDoc()
{
    // The Original starts as a 16-colour picture without a block, the New
    // Picture as a copy of it.
    m_picOriginal.m_colors = 16;
    m_picNew.m_colors = 16;
}

bool CDibDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

bool CDibDoc::OnOpenDocument(const std::string&)
{
    return false; // not yet written
}

bool CDibDoc::OnSaveDocument(const std::string&)
{
    return false; // not yet written
}

bool CDibDoc::PrepareOriginal()
{
    return false; // not yet written
}

void CDibDoc::ApplyFilter(const FilterSettings& settings)
{
    RenderRequest request;
    request.original = &m_picOriginal;
    request.target = &m_picNew;
    request.scale = m_scale;
    request.footprint = m_footprint;
    request.tilt = m_tilt;
    request.clipActive = m_clipActive;
    request.clip = m_clipRect;
    request.colorList = m_colorList;
    request.colorListCount = m_colorListCount;
    RenderNewPicture(settings, request);
}

bool CDibDoc::NeedsResample() const
{
    return lumacut::NeedsResample(m_scale, m_footprint);
}

bool CDibDoc::GetOriginalPixel(int, int, std::uint32_t&)
{
    return false; // not yet written
}

const CMemBlock& CDibDoc::GetPictureBlock(bool original) const
{
    return original ? m_picOriginal.m_hDib : m_picNew.m_hDib;
}

const CPalette* CDibDoc::GetPicturePalette(bool original) const
{
    return original ? m_picOriginal.m_pPalette.get() : m_picNew.m_pPalette.get();
}

PictureSize CDibDoc::GetPictureSize(bool original) const
{
    const CPicture& p = original ? m_picOriginal : m_picNew;
    return {p.m_width, p.m_height};
}

} // namespace lumacut
