#pragma once
// The preview the editing commands give their dialogs: it changes the
// document's settings, renders through the document and repaints the view.
#include "dialogs/Preview.h"

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

private:
    CDibDoc& m_doc;
    IPreviewScreen& m_screen;
};

} // namespace lumacut
