#pragma once
// The view behind a dialog: counts updates and invalidations.
#include "document/CDibDoc.h"
#include "view/DocumentPreview.h"

namespace lumacut::test {

class FakeView : public IPreviewScreen, public IDocumentView {
public:
    explicit FakeView(CDibDoc* doc) : m_doc(doc)
    {
        if (doc)
            doc->AddView(this);
    }
    ~FakeView() override
    {
        if (m_doc)
            m_doc->RemoveView(this);
    }
    bool ShowsOriginal() const override { return showOriginal; }
    void SetShowsOriginal(bool original) override { showOriginal = original; }
    void InvalidateView(bool erase) override { (erase ? erasingInvalidates : plainInvalidates)++; }
    void OnUpdate(IDocumentView*, long) override { ++updates; }

    bool showOriginal = false;
    int updates = 0;
    int erasingInvalidates = 0;
    int plainInvalidates = 0;

private:
    CDibDoc* m_doc;
};

} // namespace lumacut::test
