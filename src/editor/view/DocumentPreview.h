#pragma once
// The preview the editing commands give their dialogs: it changes the
// document's settings, renders through the document and repaints the view.
#include "dialogs/Preview.h"

#include <utility>

namespace lumacut {

class CDibDoc;

// The view side of a preview: which picture shows, and repainting.
class IPreviewScreen {
public:
    virtual ~IPreviewScreen() = default;
    virtual bool ShowsOriginal() const = 0;
    virtual void SetShowsOriginal(bool original) = 0;
    virtual void InvalidateView(bool erase) = 0;
};

class DocumentPreview : public IPreview {
public:
    DocumentPreview(CDibDoc& doc, IPreviewScreen& screen) : m_doc(doc), m_screen(screen) {}
    bool ShowsOriginal() const override;
    void SetShowsOriginal(bool original) override;
    bool ShowFilter(const FilterSettings& settings) override;
    void ShowResize(double scale, double footprint, int width, int height, bool always) override;
    std::optional<int> AutoThreshold() override;
    std::optional<Histogram> ToneHistogram(const FilterSettings& settings) override;

private:
    CDibDoc& m_doc;
    IPreviewScreen& m_screen;
    // The last histogram, kept while only settings it does not depend on
    // change (a slider dragged with Continuous Update on).
    std::optional<std::pair<FilterSettings, Histogram>> m_toneCache;
};

} // namespace lumacut
