// Copy and Paste: the shown picture goes to the clipboard; the clipboard's
// picture becomes the document's new Original.
#include "view/CDibView.h"

#include "framework/GuiPrompt.h"
#include "document/DocNaming.h"
#include "platform/Messages.h"
#include "view/ClipboardImage.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace lumacut {

namespace {

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

const CPicture& ShownPicture(const CDibView& view, const CDibDoc& doc)
{
    return view.m_showOriginal ? doc.m_picOriginal : doc.m_picNew;
}

void OnEditCopy(CDibView& view)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    CDibDoc* doc = view.GetDocument();
    if (!clipboard || !doc)
        return;
    WaitCursor wait;
    // The clipboard owns the data from here on.
    if (QMimeData* data = PictureMimeData(ShownPicture(view, *doc)))
        clipboard->setMimeData(data);
    else
        clipboard->clear();
}

void OnEditPaste(CDibView& view)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    CDibDoc* doc = view.GetDocument();
    if (!clipboard || !doc)
        return;
    WaitCursor wait;
    PastedPicture pasted = PictureFromMimeData(clipboard->mimeData());
    if (!pasted.offered)
        return;
    if (!pasted.dib) {
        // Damaged or lying data: refused before anything changes.
        ShowMessage(std::string(msg::kPasteRefused));
        return;
    }
    const bool wasReady = doc->m_pictureReady;
    doc->m_pictureReady = false; // paints draw nothing until the set-up is done
    if (!doc->AdoptOriginal(std::move(pasted.dib), {}, "Paste")) {
        doc->m_pictureReady = wasReady; // the document is as it was
        return;
    }
    view.m_showOriginal = true;
    doc->SetModifiedFlag(true);
    doc->m_baseName = BaseNameOf(doc->GetTitle());
    doc->m_pictureReady = true;
    const PictureSize size = doc->GetPictureSize(true);
    view.SetScrollSizes(QSize(size.width, size.height));
    view.RealizePicturePalette(&view);
    doc->UpdateAllViews(nullptr, 0);
}

// Whether the clipboard holds a picture, kept up to date from its change
// signal: update handlers run on idle, and asking another program for its
// formats each time can stall when that program is slow to answer.
bool ClipboardHasPicture()
{
    static bool hasPicture = [] {
        QClipboard* clipboard = QGuiApplication::clipboard();
        QObject::connect(clipboard, &QClipboard::dataChanged,
                         [clipboard] { hasPicture = MimeHasPicture(clipboard->mimeData()); });
        return MimeHasPicture(clipboard->mimeData());
    }();
    return hasPicture;
}

} // namespace

void CDibView::RegisterClipboardCommands()
{
    m_commands.On(
        ID_EDIT_COPY, [this] { OnEditCopy(*this); },
        [this](CmdUI& ui) { ui.Enable(HasPicture() && !m_pDocument->GetPictureBlock(m_showOriginal).IsNull()); });
    m_commands.On(
        ID_EDIT_PASTE, [this] { OnEditPaste(*this); },
        [](CmdUI& ui) { ui.Enable(ClipboardHasPicture()); });
}

} // namespace lumacut
