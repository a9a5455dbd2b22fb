#pragma once
// Helpers for the dialog and editing-command tests: a document with a
// true-colour Original and a New Picture of a chosen kind, a stand-in for the
// view behind a dialog, and scripted modal runs.
#include "view/DocumentPreview.h"
#include "framework/CDialogBase.h"
#include "support/ScriptedGuiPrompt.h"
#include "document/CDibDoc.h"
#include "picture/CPicture.h"
#include "picture/Dib.h"

#include <QDialog>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace lumacut::test {

// Gives `doc` a w x h gradient Original (red across, green down, blue a
// checker) and a zero-filled New Picture of the given kind (2, 256 or 0) and
// size, with the clip region over all of it. Nothing is rendered.
inline void FillTestPictures(CDibDoc& doc, int w, int h, int outputColors)
{
    CPicture& o = doc.m_picOriginal;
    SetUpTrueColor(o);
    o.m_width = w;
    o.m_height = h;
    o.m_hDib = AllocTrueColorDib(w, h);
    o.m_stride = RowStride(w, 24);
    o.Lock();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            o.SetRGB(x, y, static_cast<std::uint8_t>(x * 255 / (w > 1 ? w - 1 : 1)),
                     static_cast<std::uint8_t>(y * 255 / (h > 1 ? h - 1 : 1)),
                     static_cast<std::uint8_t>(((x / 4 + y / 4) % 2) * 200));
    o.Unlock();
    CPicture& n = doc.m_picNew;
    if (outputColors == 2)
        SetUpTwoColor(n);
    else if (outputColors == 256)
        SetUpGrey(n);
    else
        SetUpTrueColor(n);
    n.m_width = w;
    n.m_height = h;
    n.MakeEmpty();
    doc.m_clipRect = Rect{0, 0, w, h};
    doc.m_pictureReady = true;
}

inline std::unique_ptr<CDibDoc> MakeTestDocument(int w, int h, int outputColors)
{
    auto doc = std::make_unique<CDibDoc>();
    FillTestPictures(*doc, w, h, outputColors);
    return doc;
}

// The bytes of a picture: header, colour table and rows (a reused block may
// be longer than the picture it holds).
inline std::vector<std::uint8_t> PictureBytes(const CPicture& p)
{
    if (!p.m_hDib)
        return {};
    auto size = static_cast<std::size_t>(DibSize(p.m_width, p.m_height, p.m_bitCount, p.m_colors));
    if (size > p.m_hDib.Size())
        size = p.m_hDib.Size();
    return std::vector<std::uint8_t>(p.m_hDib.Data(), p.m_hDib.Data() + size);
}

// The bytes of a picture's whole block.
inline std::vector<std::uint8_t> BlockBytes(const CPicture& p)
{
    if (!p.m_hDib)
        return {};
    return std::vector<std::uint8_t>(p.m_hDib.Data(), p.m_hDib.Data() + p.m_hDib.Size());
}

// Every render of the editor gives the New Picture a block of its own, so a
// render shows as a new block address.
inline const void* BlockAddress(const CPicture& p)
{
    return p.m_hDib.Data();
}

// The view behind a dialog: counts updates and invalidations.
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

// Scripted modal runs in order on a ScriptedGuiPrompt: each action gets the
// dialog (initialised, not shown) and returns its result code. Unscripted
// runs are rejected.
inline void ScriptModalRuns(ScriptedGuiPrompt& prompt, std::deque<std::function<int(QDialog&)>> actions)
{
    auto queue = std::make_shared<std::deque<std::function<int(QDialog&)>>>(std::move(actions));
    prompt.onModal = [queue](QDialog& d) {
        if (queue->empty()) {
            d.reject();
            return d.result();
        }
        auto action = std::move(queue->front());
        queue->pop_front();
        return action(d);
    };
}

} // namespace lumacut::test
