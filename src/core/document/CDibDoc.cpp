#include "document/CDibDoc.h"

#include "document/DocNaming.h"
#include "document/PictureInfo.h"
#include "filter/RenderLoop.h"
#include "picture/ClipboardDib.h"
#include "picture/Dib.h"
#include "picture/DibValidate.h"
#include "picture/Helpers.h"
#include "picture/JpegStream.h"
#include "picture/Orientation.h"
#include "picture/PictureFile.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace lumacut {

CDibDoc::CDibDoc()
{
    // The Original starts as a 16-colour picture without a block, the New
    // Picture as a copy of it.
    m_picOriginal = CPicture::NoPicture();
    m_picNew = CPicture::NoPicture();
    ResetHistory();
}

bool CDibDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

// ---- open ---------------------------------------------------------------------

bool CDibDoc::OnOpenDocument(const std::string& path)
{
    // The type comes from the path alone. Anything but the known endings is
    // refused with a message (never replaced by some other file).
    const int type = FileTypeOf(path);
    if (type == kFileTypeNone) {
        ShowMessage(msg::Join(msg::kUnknownFileType, path));
        return false;
    }

    // Read into a block of our own: a failed read leaves the document as it was.
    if (type == kFileTypeJpeg && m_renderWhileReading) {
        if (!AdoptWhileDecoding(path))
            return false;
    } else {
        CMemBlock block;
        std::string note;
        if (!ReadPictureFile(path, type, block, note) || !block)
            return false;
        if (!AdoptOriginal(std::move(block), note))
            return false;
    }
    FinishOpen(path);
    return true;
}

bool CDibDoc::OpenBytes(const std::uint8_t* data, std::size_t size, const std::string& name)
{
    const int type = FileTypeOfContent(data, size);
    if (type == kFileTypeNone) {
        ShowMessage(msg::Join(msg::kUnknownFileType, name));
        return false;
    }
    CMemBlock block;
    std::string note;
    if (!ReadPictureBytes(data, size, type, name, block, note) || !block || !AdoptOriginal(std::move(block), note))
        return false;
    FinishOpen(name);
    return true;
}

void CDibDoc::FinishOpen(const std::string& path)
{
    m_baseName = BaseNameOf(path);
    // The ".bmp" name is where Save will write; it need not exist yet, so
    // the recent files get the file that was read.
    SetPathName(m_baseName + ".bmp", false);
    AddToRecentFiles(path);
    m_saveExt = ".bmp";
    SetModifiedFlag(false);
    m_pictureReady = true;
}

bool CDibDoc::AdoptWhileDecoding(const std::string& path)
{
    CMemBlock block;
    // Declared after the block, so that its decoder is done before the
    // block can go.
    CJpegStream stream;
    int width = 0;
    int height = 0;
    if (!stream.Start(path, block, width, height))
        return false;
    const int orientation = stream.Orientation();
    if (orientation >= 2 && orientation <= 8) {
        // A photo to turn is turned whole, before its first render.
        if (!stream.Finish())
            return false;
        std::string note = std::string(msg::kPictureWas) + std::string(OrientationPhrase(orientation)) + ".\n";
        if (!TurnUpright(block, orientation)) {
            ShowMessage(std::string(msg::kNotTurned), PromptIcon::Warning);
            note.clear();
        }
        return AdoptOriginal(std::move(block), note);
    }
    m_arriving = &stream.Rows();
    const bool adopted = AdoptOriginal(std::move(block));
    m_arriving = nullptr;
    if (stream.Finish() && adopted)
        return true;
    if (adopted) {
        // Some rows never came: neither picture may be shown or saved.
        m_picOriginal.Release();
        m_picNew.Release();
    }
    return false;
}

// ---- set-up of a new Original ------------------------------------------------------

namespace {

int FullTableColors(int bitCount)
{
    return bitCount <= 8 ? 1 << bitCount : 0;
}

} // namespace

bool CDibDoc::AdoptOriginal(CMemBlock&& dib, const std::string& note, const char* step)
{
    if (!dib)
        return false;
    // Everything is checked before the document is touched, so a refusal
    // leaves it exactly as it was.
    const DibCheck check = ValidateDib(dib.Data(), dib.Size());
    if (!check.ok || check.topDown) {
        ShowMessage(std::string(msg::kBmpTooLarge), PromptIcon::Information);
        return false;
    }
    const std::string information =
        PictureInformationText(dib.Data(), check, FullTableColors(check.bitCount)) + note;
    // A reader's block is taken as it is; any other form is rebuilt (same
    // depth and pixels: core entries widened, a short table filled up with
    // black, masks and later header fields dropped).
    CMemBlock rebuilt;
    if (!InKeptLayout(check)) {
        std::string why;
        rebuilt = DibFromPackedBytes(dib.Data(), dib.Size(), why);
        if (!rebuilt) {
            ShowMessage(std::string(msg::kNoMemAllocated));
            return false;
        }
    }

    // The block is in the kept layout now, so the picture takes it.
    CPicture original = CPicture::FromDib(rebuilt ? std::move(rebuilt) : std::move(dib));
    if (!original.HasBlock()) {
        ShowMessage(std::string(msg::kNoMemAllocated));
        return false;
    }

    // The questions come while the document is still whole as it was: views
    // may repaint behind the boxes.
    ShowMessage(information, PromptIcon::Information);
    const int choice = Prompt().ChooseOutput();

    // Commit: from here on nothing refuses.
    CPicture replaced = std::exchange(m_picOriginal, std::move(original));
    m_picNew.Release();
    m_clipRect = Rect{0, 0, m_picOriginal.Width(), m_picOriginal.Height()};
    m_clipActive = false;
    SetUpNewPictureKind(choice);
    m_picNew.MakeEmpty(m_picOriginal.Width(), m_picOriginal.Height());
    ApplyFilter(m_filter);
    if (replaced.HasBlock())
        m_history.Record(step, CurrentState(), std::move(replaced));
    else
        ResetHistory();
    return true;
}

bool CDibDoc::PrepareOriginal()
{
    if (!m_picOriginal.HasBlock())
        return false;
    CMemBlock held = m_picOriginal.TakeBlock();
    if (AdoptOriginal(std::move(held)))
        return true;
    // The refused block is gone; nothing may describe it any more.
    m_picOriginal.Release();
    return false;
}

void CDibDoc::SetUpNewPictureKind(int choice)
{
    switch (choice) {
    case kOutputTwoColor: m_picNew.SetKind(PictureKind::TwoColor); break;
    case kOutputGrey: m_picNew.SetKind(PictureKind::Grey); break;
    case kOutputTrueColor: m_picNew.SetKind(PictureKind::TrueColor); break;
    default:
        // Another answer keeps the kind, but a fresh document has none yet:
        // it then gets the dialog's own default.
        if (m_picNew.Colors() != 2 && m_picNew.Colors() != 256 && m_picNew.Colors() != 0)
            m_picNew.SetKind(PictureKind::TwoColor);
        break;
    }
}

// ---- save ----------------------------------------------------------------------

bool CDibDoc::OnSaveDocument(const std::string& path)
{
    const int type = FileTypeOf(path);
    if (type == kFileTypeNone) {
        ShowMessage(msg::Join(msg::kUnknownFileType, path));
        return false;
    }
    if (!WritePictureFile(path, type, m_picNew, m_jpegQuality))
        return false;
    TakeSavedName(path, EndingOf(type));
    return true;
}

void CDibDoc::TakeSavedName(const std::string& path, const char* extension)
{
    m_baseName = BaseNameOf(path);
    // The document goes on naming the file it really wrote: with a name like
    // photo.old.bmp, base name + extension would be another file, which a
    // later Save would overwrite unasked.
    SetPathName(path, true);
    m_saveExt = extension;
    SetModifiedFlag(false);
}

// ---- rendering --------------------------------------------------------------------

RenderRequest CDibDoc::RenderRequestFor(CPicture& target)
{
    RenderRequest request;
    request.original = &m_picOriginal;
    request.target = &target;
    request.scale = m_scale;
    request.footprint = m_footprint;
    request.tilt = m_tilt;
    request.clipActive = m_clipActive;
    request.clip = m_clipRect;
    request.colorList = m_colorList;
    request.colorListCount = m_colorListCount;
    request.arrival = m_arriving;
    return request;
}

bool CDibDoc::NeedsResample() const
{
    return lumacut::NeedsResample(m_scale, m_footprint);
}

bool CDibDoc::GetOriginalPixel(int x, int y, std::uint32_t& color)
{
    if (!m_picOriginal.HasBlock()) {
        ShowMessage(std::string(msg::kDraxXError2));
        return false;
    }
    // Outside the Original the reader leaves these as they are: black.
    std::uint8_t red = 0, green = 0, blue = 0;
    m_picOriginal.GetColor(x, y, 0, 0, red, green, blue);
    color = MakeColor(red, green, blue);
    return true;
}

// ---- history ------------------------------------------------------------------------

DocState CDibDoc::CurrentState() const
{
    DocState state;
    state.filter = m_filter;
    state.filterUndo = m_filterUndo;
    state.canUndoColor = m_canUndoColor;
    state.newColors = m_picNew.Colors();
    state.scale = m_scale;
    state.footprint = m_footprint;
    state.tilt = m_tilt;
    state.clipActive = m_clipActive;
    state.clipRect = m_clipRect;
    state.renderClip = m_renderedClip;
    std::copy(std::begin(m_colorList), std::end(m_colorList), state.colorList.begin());
    state.colorListCount = m_colorListCount;
    return state;
}

void CDibDoc::RecordStep(const char* name)
{
    const DocState now = CurrentState();
    const DocState* before = m_history.Current();
    if (before && *before == now)
        return;
    m_history.Record(name, now);
}

void CDibDoc::ResetHistory()
{
    m_history.Reset(CurrentState());
}

bool CDibDoc::UndoStep(IRenderWait* wait)
{
    if (m_rendering || !m_history.CanUndo())
        return false;
    return RestoreState(*m_history.Undo(m_picOriginal), wait);
}

bool CDibDoc::RedoStep(IRenderWait* wait)
{
    if (m_rendering || !m_history.CanRedo())
        return false;
    return RestoreState(*m_history.Redo(m_picOriginal), wait);
}

bool CDibDoc::RestoreState(const DocState& state, IRenderWait* wait)
{
    m_filter = state.filter;
    m_filterUndo = state.filterUndo;
    m_canUndoColor = state.canUndoColor;
    switch (state.newColors == m_picNew.Colors() ? -1 : state.newColors) {
    case 2: m_picNew.SetKind(PictureKind::TwoColor); break;
    case 256: m_picNew.SetKind(PictureKind::Grey); break;
    case 0: m_picNew.SetKind(PictureKind::TrueColor); break;
    default: break; // no kind yet: nothing is rendered anyway
    }
    m_scale = state.scale;
    m_footprint = state.footprint;
    m_tilt = state.tilt;
    m_clipActive = state.clipActive;
    std::copy(state.colorList.begin(), state.colorList.end(), std::begin(m_colorList));
    m_colorListCount = state.colorListCount;
    m_clipRect = state.renderClip;
    const bool rendered = ApplyFilter(m_filter, wait);
    m_clipRect = state.clipRect;
    return rendered;
}

// ---- accessors -----------------------------------------------------------------------

const CMemBlock& CDibDoc::GetPictureBlock(bool original) const
{
    return original ? m_picOriginal.Block() : m_picNew.Block();
}

const CPalette* CDibDoc::GetPicturePalette(bool original) const
{
    return original ? m_picOriginal.Palette() : m_picNew.Palette();
}

PictureSize CDibDoc::GetPictureSize(bool original) const
{
    const CPicture& p = original ? m_picOriginal : m_picNew;
    return {p.Width(), p.Height()};
}

} // namespace lumacut
