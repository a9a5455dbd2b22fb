#pragma once
// The document: both pictures (the Original and the New Picture) and every
// setting that decides how the New Picture is made from the Original.
#include "document/CDocument.h"
#include "document/DocHistory.h"
#include "filter/FilterSettings.h"
#include "filter/RenderLoop.h"
#include "picture/CPicture.h"
#include "picture/Rect.h"

#include <cstdint>
#include <string>

namespace lumacut {

class IRenderWait;

struct PictureSize {
    int width = 0;
    int height = 0;
};

class CDibDoc : public CDocument {
public:
    static constexpr int kMaxColorList = DocState::kColorListSize;

    CDibDoc();

    // ---- framework operations ---------------------------------------------------
    bool OnNewDocument() override;
    // Reads a picture file (PictureFile.h: the type by its ending) into the
    // Original and prepares the document, named after the file with ".bmp";
    // the file read goes on the recent files. A failed open leaves the
    // document as it was.
    bool OnOpenDocument(const std::string& path) override;
    // The same for a whole file in memory (standard input), the type by its
    // first bytes; `name` stands for the file in messages and naming.
    bool OpenBytes(const std::uint8_t* data, std::size_t size, const std::string& name);
    // Writes the New Picture as the path's ending says: BMP, PNG and TIFF in
    // its own depth, JPEG in true colour.
    bool OnSaveDocument(const std::string& path) override;

    // Makes `dib` (a packed DIB from a file reader or the clipboard; untrusted)
    // the Original and sets the document up for it: checks, picture
    // information, "Choose Output", the New Picture's kind and first render.
    // A refused picture ("BMP is too large": unreadable, top-down or over the
    // size limits) gives false and leaves the whole document as it was. Any
    // header form that validates is taken and kept in one layout: 40-byte
    // header, full colour table up to 8 bits, no masks, bottom-up rows.
    // Naming, the modified mark and m_pictureReady are the caller's. The
    // block is moved from only when it is taken.
    // `note` is added to the information box (what the reader did).
    // Replacing an Original is the history step `step`, which keeps the
    // Original replaced; a document without one starts its history afresh.
    bool AdoptOriginal(CMemBlock&& dib, const std::string& note = {}, const char* step = "Open");

    // Sets the document up again for the block already in the Original (the
    // same steps as AdoptOriginal). A refused block is released and the
    // Original left empty; the New Picture is kept. False without a block.
    bool PrepareOriginal();
    // The New Picture's kind from the answer to "Choose Output".
    void SetUpNewPictureKind(int choice);

    // ---- rendering --------------------------------------------------------------
    // The only producer of the New Picture (DocumentRender.cpp), with
    // `settings`. Without `wait` it renders into the New Picture itself (a
    // failed render leaves none). With `wait` (the editor, whose views paint
    // meanwhile) it renders on a worker thread into a picture of its own that
    // takes the New Picture's place when complete, so a failed render leaves
    // the old one whole; the render's messages are shown after it. A render
    // asked for while one of this document runs is not started (false).
    // Callers redraw afterwards.
    bool ApplyFilter(const FilterSettings& settings, IRenderWait* wait = nullptr);
    bool IsRendering() const { return m_rendering; }
    // The document's render settings, rendering into `target` (the New
    // Picture, or a picture standing in for it while a render runs).
    RenderRequest RenderRequestFor(CPicture& target);
    bool NeedsResample() const;
    // The Original's pixel at column x and stored row y as 0x00BBGGRR.
    bool GetOriginalPixel(int x, int y, std::uint32_t& color);

    // ---- history ---------------------------------------------------------------------
    // Every edit that changes what the New Picture is made from calls this
    // once, after its render: the step `name` ("Resize") leads to the
    // document's state as it is now. An edit that changed none of it is no
    // step.
    void RecordStep(const char* name);
    // One step back or forward: the step's settings (and for an open or a
    // paste the Original) come back and the New Picture is rendered again,
    // as ApplyFilter does with `wait`. False when there is no such step or a
    // render of this document is running.
    bool UndoStep(IRenderWait* wait = nullptr);
    bool RedoStep(IRenderWait* wait = nullptr);
    // Nothing to undo or redo: the history starts from the state as it is.
    void ResetHistory();
    const DocHistory& History() const { return m_history; }
    // The settings that decide the New Picture, as they are now.
    DocState CurrentState() const;

    // ---- accessors for the views (original: true for the Original) --------------
    const CMemBlock& GetPictureBlock(bool original) const;
    const CPalette* GetPicturePalette(bool original) const;
    PictureSize GetPictureSize(bool original) const;

    // ---- state, in declaration order ------------------------------------------------
    CPicture m_picOriginal;
    CPicture m_picNew;
    bool m_canUndoColor = true;
    bool m_clipActive = false;
    Rect m_clipRect;             // top-down, in the full-size result
    bool m_pictureReady = false;
    FilterSettings m_filterUndo;
    FilterSettings m_filter;
    double m_scale = 1.0;
    double m_footprint = 1.0;
    double m_tilt = 0.0;         // radians
    std::string m_baseName;
    int m_jpegQuality = 90;
    std::string m_saveExt = ".jpg";
    std::uint32_t m_colorList[kMaxColorList] = {};
    int m_colorListCount = 0;
    // Where nobody looks at a half-read picture (lumacut-render), a JPEG's
    // first render runs while it is decoded, on the other core. A decode
    // that fails after its header then leaves the document without pictures.
    bool m_renderWhileReading = false;

private:
    bool m_rendering = false;
    Rect m_renderedClip; // the clip region of the last render
    DocHistory m_history;
    bool RestoreState(const DocState& state, IRenderWait* wait);
    const CRowArrival* m_arriving = nullptr; // the Original's rows, while decoding
    bool AdoptWhileDecoding(const std::string& path);
    // Naming and state after a successful open.
    void FinishOpen(const std::string& path);
    // After a successful save: base name, path with `extension`, m_saveExt,
    // modified mark cleared.
    void TakeSavedName(const std::string& path, const char* extension);
};

} // namespace lumacut
