// CDibView: editing commands (Tools menu, clip button).
#include "view/CDibView.h"

#include "framework/CDialogBase.h"
#include "framework/LongWork.h"
#include "document/PictureBackup.h"
#include "document/ResizeMath.h"
#include "dialogs/CResizeDlg.h"
#include "dialogs/CFilterDlg.h"
#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cmath>

namespace lumacut {

namespace {

bool FilterTakesOriginal(int colors)
{
    return colors == 0 || colors == 256 || colors == 16;
}

void OnResizeDeluxe(CDibView& view)
{
    CDibDoc* doc = view.GetDocument();
    if (!doc) {
        ShowMessage(std::string(msg::kNoDoc));
        return;
    }
    CResizeDlg dialog;
    dialog.m_oldWidth = doc->m_picOriginal.Width();
    dialog.m_oldHeight = doc->m_picOriginal.Height();
    dialog.m_newWidth = doc->m_picNew.Width();
    dialog.m_newHeight = doc->m_picNew.Height();
    dialog.m_percentage = PercentageOfScale(doc->m_scale);
    dialog.m_footprint = doc->m_footprint;

    const double savedScale = doc->m_scale;
    const double savedFootprint = doc->m_footprint;
    PictureBackup backup(doc->m_picNew); // keeps the size with the block
    DocumentPreview preview(*doc, view);
    dialog.SetPreview(&preview);

    if (dialog.DoModal() == IDCANCEL) {
        backup.RestoreInto(doc->m_picNew);
        doc->m_scale = savedScale;
        doc->m_footprint = savedFootprint;
    } else {
        // The dialog's OK has rendered already; this finds nothing changed then.
        bool changed = dialog.m_newWidth != doc->m_picNew.Width() || dialog.m_newHeight != doc->m_picNew.Height() ||
                       dialog.m_footprint != doc->m_footprint;
        doc->m_scale = dialog.m_percentage * 0.01;
        doc->m_footprint = dialog.m_footprint;
        // The size follows from the scale in the render; a New Picture is
        // never given a size its block does not have.
        if (changed)
            RenderDocument(*doc, doc->m_filter);
        doc->RecordStep("Resize");
    }
    view.Invalidate(true);
}

// Undo and Redo: a step may bring back another Original, of another size.
void OnHistoryStep(CDibView& view, bool forward)
{
    CDibDoc* doc = view.GetDocument();
    if (!doc || !StepHistory(*doc, forward))
        return;
    const PictureSize size = doc->GetPictureSize(view.m_showOriginal);
    view.SetScrollSizes(QSize(size.width, size.height));
    view.RealizePicturePalette(&view);
    doc->UpdateAllViews(nullptr, 0);
}

// The menu item names the step it would take back or make again.
void UpdateHistoryStep(const CDibView& view, CmdUI& ui, bool forward)
{
    const CDibDoc* doc = view.GetDocument();
    const DocHistory* history = doc ? &doc->History() : nullptr;
    const bool can = history && !doc->IsRendering() && (forward ? history->CanRedo() : history->CanUndo());
    ui.Enable(can);
    ui.SetText(CaptionNaming(ui.id, can ? (forward ? history->RedoName() : history->UndoName()) : std::string()));
}

void OnClipToggle(CDibView& view)
{
    CDibDoc* doc = view.GetDocument();
    if (!doc)
        return;
    if (view.m_focusShown && !doc->m_clipActive) {
        doc->m_clipActive = true;
        RenderDocument(*doc, doc->m_filter);
        // The region now covers the whole clipped picture.
        Rect& r = doc->m_clipRect;
        r.right -= r.left;
        r.bottom -= r.top;
        r.left = 0;
        r.top = 0;
        view.m_focusShown = false;
    } else {
        doc->m_clipActive = false;
        view.m_focusShown = false;
        RenderDocument(*doc, doc->m_filter);
    }
    doc->RecordStep(doc->m_clipActive ? "Clip" : "Unclip");
    view.Invalidate(true);
}

} // namespace

void CDibView::RegisterEditCommands()
{
    m_commands.On(
        ID_UNDO_COLOR,
        [this] {
            CDibDoc* doc = GetDocument();
            if (!doc)
                return;
            if (doc->m_canUndoColor) {
                doc->m_filter = doc->m_filterUndo;
                doc->m_canUndoColor = false;
                RenderDocument(*doc, doc->m_filter);
                doc->RecordStep("Undo Color");
            }
            Invalidate(false);
        },
        [this](CmdUI& ui) { ui.Enable(GetDocument() && GetDocument()->m_canUndoColor); });

    m_commands.On(ID_EDIT_UNDO, [this] { OnHistoryStep(*this, false); },
                  [this](CmdUI& ui) { UpdateHistoryStep(*this, ui, false); });
    m_commands.On(ID_EDIT_REDO, [this] { OnHistoryStep(*this, true); },
                  [this](CmdUI& ui) { UpdateHistoryStep(*this, ui, true); });

    const auto needsPicture = [this](CmdUI& ui) { ui.Enable(HasPicture()); };
    m_commands.On(ID_COLOR_CHANGE, [this] { ColorChange(0, false); }, needsPicture);

    m_commands.On(ID_RESIZE_DELUXE, [this] { OnResizeDeluxe(*this); }, [this](CmdUI& ui) {
        ui.Enable(HasPicture());
        ui.SetCheck(HasPicture() && GetDocument()->NeedsResample());
    });

    // The menu item is meant to be greyed, but a handler exists, so it is
    // enabled and does nothing.
    m_commands.On(ID_TILT_MODIFY, [] {});

    m_commands.On(
        ID_RESET_TILT,
        [this] {
            CDibDoc* doc = GetDocument();
            if (!doc)
                return;
            doc->m_tilt = 0;
            RenderDocument(*doc, doc->m_filter);
            doc->RecordStep("Reset Tilt");
            Invalidate(false);
        },
        [this](CmdUI& ui) { ui.Enable(GetDocument() && std::fabs(GetDocument()->m_tilt) > 0.01); });

    m_commands.On(
        ID_FOCUS_RECT,
        [this] {
            m_focusShown = !m_focusShown;
            Invalidate(false);
        },
        [this](CmdUI& ui) {
            ui.Enable(HasPicture());
            ui.SetCheck(m_focusShown);
        });

    // The clipping options change nothing now; the next clip-region key uses
    // them. Left and right exclude each other.
    m_commands.On(
        ID_FIX_LEFT,
        [this] {
            m_fixLeft = !m_fixLeft;
            if (m_fixLeft)
                m_fixRight = false;
        },
        [this](CmdUI& ui) {
            ui.Enable(HasPicture());
            ui.SetCheck(m_fixLeft);
        });
    m_commands.On(
        ID_FIX_RIGHT,
        [this] {
            m_fixRight = !m_fixRight;
            if (m_fixRight)
                m_fixLeft = false;
        },
        [this](CmdUI& ui) {
            ui.Enable(HasPicture());
            ui.SetCheck(m_fixRight);
        });
    m_commands.On(
        ID_FIX_OPPOSITE, [this] { m_fixOpposite = !m_fixOpposite; },
        [this](CmdUI& ui) {
            ui.Enable(HasPicture());
            ui.SetCheck(m_fixOpposite);
        });

    m_commands.On(
        ID_CLIP_TOGGLE, [this] { OnClipToggle(*this); },
        [this](CmdUI& ui) {
            ui.Enable(HasPicture());
            ui.SetCheck(HasPicture() && GetDocument()->m_clipActive);
        });
}

void CDibView::ColorChange(std::uint32_t color, bool picked)
{
    CDibDoc* doc = GetDocument();
    if (!doc) {
        ShowMessage(std::string(msg::kNoDoc));
        return;
    }
    if (!FilterTakesOriginal(doc->m_picOriginal.Colors())) {
        ShowMessage(std::string(msg::kOnlyTrueColorInput));
        return;
    }
    m_showOriginal = false;
    Invalidate(true);

    CFilterDlg dialog;
    DocumentPreview preview(*doc, *this);
    dialog.SetPreview(&preview);
    const FilterSettings saved = doc->m_filter;
    FilterSettings work = doc->m_filter;
    if (picked) {
        work.color = color;
        RenderDocument(*doc, work);
    }
    // The adaptive window stays within a quarter of the New Picture's shorter side.
    dialog.SetAdaptiveRadiusLimit(std::min(doc->m_picNew.Width(), doc->m_picNew.Height()) / 4);
    dialog.LoadSettings(work, doc->m_picNew.Colors());
    // Taken after the picked-colour render: Cancel keeps that render.
    PictureBackup backup(doc->m_picNew);

    if (dialog.DoModal() == IDOK) {
        doc->m_filterUndo = doc->m_filter;
        doc->m_canUndoColor = true;
        dialog.StoreSettings(doc->m_filter);
        doc->RecordStep("Filter Change");
    } else {
        backup.RestoreInto(doc->m_picNew);
        doc->m_filter = saved;
    }
    doc->UpdateAllViews(nullptr, 0);
}

} // namespace lumacut
