// The mouse and the keyboard on the picture: colour picks, the tilt line,
// the rubber band, the clip-region keys and the single-character commands.
#include "view/CDibView.h"

#include "framework/CChildFrame.h"
#include "framework/MdiWindows.h"
#include "framework/GuiPrompt.h"
#include "framework/LongWork.h"
#include "document/ClipFitting.h"
#include "document/ClipKeys.h"
#include "document/ColorPick.h"
#include "document/PointerGesture.h"
#include "document/TiltLine.h"
#include "dialogs/CTiltDlg.h"
#include "dialogs/CColorListDlg.h"
#include "platform/Messages.h"
#include "view/StatusTexts.h"

#include <QKeyEvent>
#include <QMdiArea>
#include <QMouseEvent>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

namespace lumacut {

namespace {

// Renders as every editing command does: the views keep painting meanwhile.
void Render(CDibDoc& doc)
{
    RenderDocument(doc, doc.m_filter);
}

// ---- left button ----------------------------------------------------------------------

void OnLButtonDown(CDibView& view, QPoint point)
{
    view.m_pressPoint = point;
    if (view.m_focusShown) {
        view.m_focusShown = false;
        view.Invalidate(true);
    }
    // The band starts with the first move beyond the threshold.
    view.m_band.left = NO_POINT;
}

void OnMouseMove(CDibView& view, Qt::MouseButtons buttons, QPoint point)
{
    const QPoint press = view.m_pressPoint;
    const QPoint moved = point - press;
    if (press.x() == NO_POINT || view.m_showOriginal || !(buttons & Qt::LeftButton) ||
        !MovedBeyondThreshold(moved.x(), moved.y()))
        return;
    view.m_band = Rect{press.x(), press.y(), point.x(), point.y()};
    view.Invalidate(false);
    if (CDibDoc* doc = view.GetDocument()) {
        // Unnormalised: left passes right while the band is dragged leftwards.
        doc->m_clipRect = view.ClientToPicture(view.m_band);
        g_newSizeText = FormatNewSizeText(doc->m_clipRect.Width(), doc->m_clipRect.Height());
    }
}

// The tilt dialog offers the two angles of the line; the chosen one is rendered.
void OnTiltLine(CDibView& view, QPoint line)
{
    const TiltAngles angles = TiltAnglesOfLine(line.x(), line.y());
    CTiltDlg dialog;
    dialog.SetAngles(angles.horizontal, angles.vertical);
    const int result = Gui().RunModal(dialog);
    CDibDoc* doc = view.GetDocument();
    if (!doc || (result != kResultRotateHorizontal && result != kResultRotateVertical))
        return;
    view.m_showOriginal = false;
    doc->m_tilt = result == kResultRotateHorizontal ? angles.horizontal : angles.vertical;
    Render(*doc);
    doc->RecordStep("Tilt");
    view.Invalidate(false);
}

void OnLButtonUp(CDibView& view, QPoint point)
{
    const QPoint press = view.m_pressPoint;
    const Rect band = view.m_band;
    view.m_pressPoint.setX(NO_POINT);
    view.m_band.left = NO_POINT;
    if (press.x() != NO_POINT && ReleaseIsDrag(point.x() - press.x())) {
        if (view.m_showOriginal) {
            OnTiltLine(view, point - press);
        } else if (CDibDoc* doc = view.GetDocument(); doc && band.left != NO_POINT) {
            // The band drawn by the last move stays, outlined from m_clipRect.
            doc->m_clipRect = view.ClientToPicture(NormalizedRect(band));
            view.m_focusShown = true;
            view.Invalidate(false);
        }
        return;
    }
    // A click, or a release at most 2 pixels sideways: picks on the Original.
    if (!view.m_showOriginal)
        return;
    view.m_showOriginal = false;
    view.Invalidate(true);
    std::uint32_t color = 0;
    if (view.PickColor(point, color))
        view.ColorChange(color, true);
}

// ---- right button -----------------------------------------------------------------------

void OnRButtonDown(CDibView& view, QPoint point)
{
    view.m_showOriginal = false;
    view.Invalidate(true);
    std::uint32_t color = 0;
    CDibDoc* doc = view.GetDocument();
    if (!view.PickColor(point, color) || !doc)
        return; // outside the Original the dialog does not open
    CColorListDlg dialog;
    dialog.m_pickedColor = color;
    switch (Gui().RunModal(dialog)) {
    case kResultAddColorToList:
        AddColorToList(*doc, color);
        doc->RecordStep("Add to Color List");
        break;
    case kResultClearList:
        ClearColorList(*doc);
        doc->RecordStep("Clear Color List");
        break;
    case QDialog::Accepted: view.ColorChange(color, true); break;
    default: break;
    }
}

// ---- keys ---------------------------------------------------------------------------------

std::optional<ClipKey> ClipKeyOf(int key)
{
    switch (key) {
    case Qt::Key_Home: return ClipKey::Home;
    case Qt::Key_End: return ClipKey::End;
    case Qt::Key_Up: return ClipKey::Up;
    case Qt::Key_Down: return ClipKey::Down;
    case Qt::Key_Left: return ClipKey::Left;
    case Qt::Key_Right: return ClipKey::Right;
    default: return std::nullopt;
    }
}

void OnClipKey(CDibView& view, ClipKey key, Qt::KeyboardModifiers modifiers)
{
    CDibDoc* doc = view.GetDocument();
    if (!doc)
        return;
    // W and H of the shown picture, whichever it is.
    const PictureSize size = doc->GetPictureSize(view.m_showOriginal);
    ClipFitOptions options;
    options.fixLeft = view.m_fixLeft;
    options.fixRight = view.m_fixRight;
    options.fixOpposite = view.m_fixOpposite;
    const ClipKeyResult result =
        ApplyClipKey(key, modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::ControlModifier),
                     doc->m_clipRect, size.width, size.height, doc->m_tilt, options);
    if (!result.changed)
        return;
    doc->m_clipRect = result.rect;
    view.Invalidate(false);
}

void OnCharFocus(CDibView& view)
{
    view.m_focusShown = !view.m_focusShown;
    view.Invalidate(false);
}

void OnCharClip(CDibView& view)
{
    CDibDoc* doc = view.GetDocument();
    if (!doc)
        return;
    doc->m_clipActive = view.m_focusShown;
    Render(*doc);
    if (view.m_focusShown) {
        // The region now covers the whole clipped New Picture.
        Rect& clip = doc->m_clipRect;
        clip.right -= clip.left;
        clip.bottom -= clip.top;
        clip.left = 0;
        clip.top = 0;
    }
    doc->RecordStep(doc->m_clipActive ? "Clip" : "Unclip");
    view.Invalidate(true);
}

// Walks the document windows from the active one, as Window > Next would.
void OnCharListDocuments()
{
    QMdiArea* area = MainMdiArea();
    if (!area) {
        ShowMessage(std::string(msg::kNoMainWindow));
        return;
    }
    std::string first;
    std::string text = std::string(msg::kResultsHeader) + "\r\n";
    int count = 0;
    // The walk ends when the first name comes round again; the bound keeps
    // it finite should activating the next window not move on.
    const qsizetype windows = area->subWindowList().size();
    for (qsizetype visit = 0; visit <= windows; ++visit) {
        CChildFrame* child = ActiveChildOf(*area);
        if (!child) {
            ShowMessage(std::string(msg::kNoChildWindow));
            return;
        }
        CDibView* view = DibViewOf(child);
        if (!view) {
            ShowMessage(std::string(msg::kNoViewWindow));
            return;
        }
        CDibDoc* doc = view->GetDocument();
        if (!doc) {
            ShowMessage(std::string(msg::kNoDoc));
            return;
        }
        const std::string name = doc->GetPathName().empty() ? doc->GetTitle() : doc->GetPathName();
        if (name == first)
            break;
        if (first.empty())
            first = name;
        text += name + "\r\n";
        ++count;
        area->activateNextSubWindow();
    }
    ShowMessage(text + "  " + std::to_string(count) + "  0", PromptIcon::Warning);
}

} // namespace

// ---- picking ----------------------------------------------------------------------------

bool CDibView::PickColor(QPoint point, std::uint32_t& color)
{
    color = 0;
    if (!m_pDocument)
        return false;
    // The last paint's scales, also when the Original is not the picture shown;
    // with two pictures, those of the pane under the pointer.
    const QPoint p = m_viewMode == ViewMode::Single ? ClientToPicture(point) : HitPicture(m_compare, point).pixel;
    return PickOriginalColor(*m_pDocument, p.x(), p.y(), color);
}

bool CDibView::FixLeftLimit(double tilt, int width, int height, Rect& rect, bool opposite)
{
    return lumacut::FixLeftLimit(tilt, width, height, rect, opposite);
}

bool CDibView::FixRightLimit(double tilt, int width, int height, Rect& rect, bool opposite)
{
    return lumacut::FixRightLimit(tilt, width, height, rect, opposite);
}

// ---- events -------------------------------------------------------------------------------

namespace {

// How near the divider a press grabs it, client pixels.
constexpr int kDividerGrab = 4;

bool NearDivider(const CDibView& view, QPoint point)
{
    return view.m_viewMode == ViewMode::Split &&
           std::abs(point.x() - view.DividerX(view.viewport()->width())) <= kDividerGrab;
}

} // namespace

void CDibView::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    event->accept();
    if (m_viewMode != ViewMode::Single) {
        // With two pictures a gesture belongs to the one under the pointer
        // where it starts, and stays on it; the gap between panes is inert.
        if (event->button() == Qt::LeftButton && NearDivider(*this, point)) {
            m_draggingDivider = true;
            return;
        }
        const PaneSide side = HitPicture(m_compare, point).side;
        if (side == PaneSide::None)
            return;
        m_showOriginal = side == PaneSide::Original;
    }
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(*this, point);
    else if (event->button() == Qt::RightButton)
        OnRButtonDown(*this, point);
}

void CDibView::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void CDibView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_draggingDivider) {
        const int width = std::max(1, viewport()->width());
        m_splitFraction = std::clamp(static_cast<double>(point.x()) / width, 0.0, 1.0);
        Invalidate(false);
        event->accept();
        return;
    }
    if (m_viewMode == ViewMode::Split && !(event->buttons() & Qt::LeftButton)) {
        if (NearDivider(*this, point))
            viewport()->setCursor(Qt::SplitHCursor);
        else
            viewport()->unsetCursor();
    }
    OnMouseMove(*this, event->buttons(), event->position().toPoint());
    event->accept();
}

void CDibView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (m_draggingDivider)
            m_draggingDivider = false;
        else
            OnLButtonUp(*this, event->position().toPoint());
    }
    event->accept();
}

void CDibView::keyPressEvent(QKeyEvent* event)
{
    if (const std::optional<ClipKey> key = ClipKeyOf(event->key())) {
        OnClipKey(*this, *key, event->modifiers());
        event->accept();
        return;
    }
    // Characters compare case-sensitively: 'F' and 'C' do nothing.
    const QString text = event->text();
    if (text == QLatin1String("f"))
        OnCharFocus(*this);
    else if (text == QLatin1String("c"))
        OnCharClip(*this);
    else if (text == QLatin1String("t"))
        OnCharListDocuments();
    else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace lumacut
