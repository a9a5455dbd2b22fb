#include "view/CDibView.h"

#include "framework/GuiPrompt.h"
#include "framework/Printing.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace lumacut {

CDibView::CDibView(CDibDoc* document, QWidget* parent) : QAbstractScrollArea(parent), m_pDocument(document)
{
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    if (m_pDocument)
        m_pDocument->AddView(this);
    RegisterViewCommands();
    RegisterEditCommands();
    RegisterClipboardCommands();
}

CDibView::~CDibView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

void CDibView::DetachDocument()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
    m_pDocument = nullptr;
}

void CDibView::OnInitialUpdate()
{
    QSize total;
    if (m_pDocument) {
        PictureSize size = m_pDocument->GetPictureSize(m_showOriginal);
        total = QSize(size.width, size.height);
    }
    SetScrollSizes(total);
}

void CDibView::OnActivateView(bool activate)
{
    if (activate)
        RealizePicturePalette(this);
}

void CDibView::OnUpdate(IDocumentView*, long)
{
    Invalidate(true);
}

void CDibView::Invalidate(bool)
{
    viewport()->update();
}

void CDibView::SetScrollSizes(QSize total)
{
    m_scrollTotal = total;
    UpdateScrollBars();
}

void CDibView::UpdateScrollBars()
{
    // Side by side, each pane shows as much as the scroll range allows.
    CompareGeometry panes;
    panes.mode = m_viewMode;
    panes.client = viewport()->size();
    const Rect pane = LayoutPane(panes, PaneSide::Original).area;
    const QSize client(pane.Width(), pane.Height());
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, std::max(0, m_scrollTotal.width() - client.width()));
    v->setRange(0, std::max(0, m_scrollTotal.height() - client.height()));
    h->setPageStep(std::max(1, client.width()));
    v->setPageStep(std::max(1, client.height()));
    h->setSingleStep(std::max(1, client.width() / 10));
    v->setSingleStep(std::max(1, client.height() / 10));
}

QPoint CDibView::GetScrollPosition() const
{
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

QPoint CDibView::ClientToPicture(QPoint point) const
{
    if (m_viewMode != ViewMode::Single)
        return PanePixel(m_compare, m_showOriginal ? PaneSide::Original : PaneSide::New, point);
    return lumacut::ClientToPicture(point, m_scrollPos, m_dispScaleX, m_dispScaleY, m_dispOrigin);
}

Rect CDibView::ClientToPicture(const Rect& rect) const
{
    if (m_viewMode != ViewMode::Single) {
        const QPoint topLeft = ClientToPicture(QPoint(rect.left, rect.top));
        const QPoint bottomRight = ClientToPicture(QPoint(rect.right, rect.bottom));
        return Rect{topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y()};
    }
    return lumacut::ClientToPicture(rect, m_scrollPos, m_dispScaleX, m_dispScaleY, m_dispOrigin);
}

Rect CDibView::PictureToClient(const Rect& rect) const
{
    return lumacut::PictureToClient(rect, m_dispScaleX, m_dispScaleY, m_dispOrigin);
}

int CDibView::RealizePicturePalette(QWidget*)
{
    return 0;
}

void CDibView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    OnActivateView(true);
}

// ---- printing ------------------------------------------------------------------------

void CDibView::PrintTo(QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    DrawDevice device;
    device.printing = true;
    device.horzRes = printer.width();
    device.vertRes = printer.height();
    device.lpx = printer.logicalDpiX();
    device.lpy = printer.logicalDpiY();
    OnDraw(painter, device);
    painter.end();
    // Printing runs OnDraw's screen steps too; bring the screen back.
    Invalidate(true);
}

void CDibView::OnFilePrint()
{
    QPrinter& printer = SharedPrinter();
    QPrintDialog dialog(&printer, this);
    if (Gui().RunModal(dialog) == QDialog::Accepted)
        PrintTo(printer);
}

void CDibView::OnFilePrintPreview()
{
    QPrinter& printer = SharedPrinter();
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { PrintTo(*p); });
    Gui().RunModal(dialog);
}

// ---- magnification and picture choice ----------------------------------------------------

void CDibView::OnZoom(int zoom)
{
    m_zoom = zoom;
    Invalidate(true);
}

void CDibView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // One notch is 120; fine-grained wheels send less and add up.
    constexpr int kNotch = 120;
    m_wheelZoomDelta += event->angleDelta().y();
    for (; m_wheelZoomDelta >= kNotch; m_wheelZoomDelta -= kNotch)
        if (m_zoom != 4)
            OnZoomNext();
    for (; m_wheelZoomDelta <= -kNotch; m_wheelZoomDelta += kNotch)
        if (m_zoom != 0)
            OnZoomPrev();
    event->accept();
}

void CDibView::OnZoomNext()
{
    OnZoom(NextZoom(m_zoom));
}

void CDibView::OnZoomPrev()
{
    OnZoom(PrevZoom(m_zoom));
}

void CDibView::OnShowNew()
{
    SetViewMode(ViewMode::Single);
    m_showOriginal = false;
    Invalidate(true);
}

void CDibView::OnShowOriginal()
{
    SetViewMode(ViewMode::Single);
    m_showOriginal = true;
    Invalidate(true);
}

void CDibView::OnSwapView()
{
    SetViewMode(ViewMode::Single);
    m_showOriginal = !m_showOriginal;
    Invalidate(true);
}

void CDibView::SetViewMode(ViewMode mode)
{
    if (mode == m_viewMode)
        return;
    if (m_viewMode == ViewMode::Single)
        m_singleShowsOriginal = m_showOriginal;
    else if (mode == ViewMode::Single)
        m_showOriginal = m_singleShowsOriginal;
    m_viewMode = mode;
    m_draggingDivider = false;
    // Tracking only for the divider's cursor; the other modes need no moves
    // without a button.
    viewport()->setMouseTracking(mode == ViewMode::Split);
    viewport()->unsetCursor();
    UpdateScrollBars();
    Invalidate(true);
}

int CDibView::DividerX(int width) const
{
    return static_cast<int>(std::lround(m_splitFraction * width));
}

void CDibView::RegisterViewCommands()
{
    CommandTarget& c = m_commands;
    const std::pair<int, int> zooms[] = {{ID_ZOOM_FIT, 0}, {ID_ZOOM_100, 1}, {ID_ZOOM_200, 2}, {ID_ZOOM_400, 4}};
    for (auto [id, zoom] : zooms)
        c.On(id, [this, zoom = zoom] { OnZoom(zoom); }, [this, zoom = zoom](CmdUI& ui) { ui.SetCheck(m_zoom == zoom); });
    c.On(ID_ZOOM_NEXT, [this] { OnZoomNext(); });
    c.On(ID_ZOOM_PREV, [this] { OnZoomPrev(); });
    const auto single = [this] { return m_viewMode == ViewMode::Single; };
    c.On(ID_SHOW_NEW, [this] { OnShowNew(); }, [this, single](CmdUI& ui) { ui.SetCheck(single() && !m_showOriginal); });
    c.On(ID_SHOW_ORIGINAL, [this] { OnShowOriginal(); },
         [this, single](CmdUI& ui) { ui.SetCheck(single() && m_showOriginal); });
    c.On(ID_SWAP_VIEW, [this] { OnSwapView(); }, [this, single](CmdUI& ui) { ui.SetCheck(single() && !m_showOriginal); });
    // The two-picture modes toggle: choosing the active one again goes back
    // to the single view.
    const std::pair<int, ViewMode> modes[] = {
        {ID_VIEW_SINGLE, ViewMode::Single}, {ID_VIEW_SIDE_BY_SIDE, ViewMode::SideBySide}, {ID_VIEW_SPLIT, ViewMode::Split}};
    for (auto [id, mode] : modes)
        c.On(
            id, [this, mode = mode] { SetViewMode(m_viewMode == mode ? ViewMode::Single : mode); },
            [this, mode = mode](CmdUI& ui) { ui.SetCheck(m_viewMode == mode); });
    const auto needsPicture = [this](CmdUI& ui) { ui.Enable(HasPicture()); };
    c.On(ID_FILE_PRINT, [this] { OnFilePrint(); }, needsPicture);
    c.On(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); }, needsPicture);
}

} // namespace lumacut
