#include "view/CDibView.h"

#include "framework/GuiPrompt.h"
#include "framework/Printing.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QWheelEvent>

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
    QSize client = viewport()->size();
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
    return lumacut::ClientToPicture(point, m_scrollPos, m_dispScaleX, m_dispScaleY, m_dispOrigin);
}

Rect CDibView::ClientToPicture(const Rect& rect) const
{
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
    m_showOriginal = false;
    Invalidate(true);
}

void CDibView::OnShowOriginal()
{
    m_showOriginal = true;
    Invalidate(true);
}

void CDibView::OnSwapView()
{
    m_showOriginal = !m_showOriginal;
    Invalidate(true);
}

void CDibView::RegisterViewCommands()
{
    CommandTarget& c = m_commands;
    const std::pair<int, int> zooms[] = {{ID_ZOOM_FIT, 0}, {ID_ZOOM_100, 1}, {ID_ZOOM_200, 2}, {ID_ZOOM_400, 4}};
    for (auto [id, zoom] : zooms)
        c.On(id, [this, zoom = zoom] { OnZoom(zoom); }, [this, zoom = zoom](CmdUI& ui) { ui.SetCheck(m_zoom == zoom); });
    c.On(ID_ZOOM_NEXT, [this] { OnZoomNext(); });
    c.On(ID_ZOOM_PREV, [this] { OnZoomPrev(); });
    c.On(ID_SHOW_NEW, [this] { OnShowNew(); }, [this](CmdUI& ui) { ui.SetCheck(!m_showOriginal); });
    c.On(ID_SHOW_ORIGINAL, [this] { OnShowOriginal(); }, [this](CmdUI& ui) { ui.SetCheck(m_showOriginal); });
    c.On(ID_SWAP_VIEW, [this] { OnSwapView(); }, [this](CmdUI& ui) { ui.SetCheck(!m_showOriginal); });
    const auto needsPicture = [this](CmdUI& ui) { ui.Enable(HasPicture()); };
    c.On(ID_FILE_PRINT, [this] { OnFilePrint(); }, needsPicture);
    c.On(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); }, needsPicture);
}

} // namespace lumacut
