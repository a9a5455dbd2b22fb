// CDibView: drawing.
#include "view/CDibView.h"

#include "framework/PaintDib.h"
#include "view/StatusTexts.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPen>

namespace lumacut {

namespace {

const QColor kBackground(0xC8, 0xC8, 0xC8);

// The look of a focus rectangle: a dotted outline just inside the
// rectangle, visible on dark and light pictures alike.
void DrawFocusRect(QPainter& painter, const Rect& r)
{
    if (r.Width() <= 0 || r.Height() <= 0)
        return;
    const QRect rect(r.left, r.top, r.Width() - 1, r.Height() - 1);
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 0));
    painter.drawRect(rect);
    painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
    painter.drawRect(rect);
    painter.restore();
}

Rect Normalized(Rect r)
{
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    return r;
}

} // namespace

void CDibView::OnDraw(QPainter& painter, const DrawDevice& device)
{
    CDibDoc* doc = GetDocument();
    if (!doc || !doc->m_pictureReady)
        return;

    // Paper gets the single view's picture, whatever the screen shows.
    const bool original = device.printing && m_viewMode != ViewMode::Single ? m_singleShowsOriginal : m_showOriginal;
    const PictureSize size = doc->GetPictureSize(original);
    const int w = size.width, h = size.height;
    const CPicture& picture = original ? doc->m_picOriginal : doc->m_picNew;

    // "New Size" is the region being drawn or outlined, else the New Picture.
    const bool dragging = m_band.left != NO_POINT;
    const PictureSize newSize = doc->GetPictureSize(false);
    g_sizeText = FormatSizeText(w, h);
    g_newSizeText = dragging || m_focusShown ? FormatNewSizeText(doc->m_clipRect.Width(), doc->m_clipRect.Height())
                                             : FormatNewSizeText(newSize.width, newSize.height);

    if (m_viewMode != ViewMode::Single && !device.printing) {
        DrawCompare(painter, device);
        return;
    }

    const ScreenLayout layout = ComputeScreenLayout(m_zoom, w, h, device.client);
    SetScrollSizes(layout.scrollSize);
    m_scrollPos = layout.fitToWindow ? QPoint(0, 0) : GetScrollPosition();
    m_dispScaleX = layout.scaleX;
    m_dispScaleY = layout.scaleY;
    m_dispOrigin = layout.origin;

    const Rect source{0, 0, w, h};
    Rect dest = layout.dest;
    painter.save();
    if (device.printing)
        dest = PrintRect(w, h, picture.GetResolution(), device.horzRes, device.vertRes, device.lpx, device.lpy);
    else
        painter.translate(-m_scrollPos);

    PaintDib(painter, dest, picture, h, source);

    // The outline follows the screen's scales, so it stays off paper.
    if (m_focusShown && !m_showOriginal && !device.printing)
        DrawFocusRect(painter, PictureToClient(doc->m_clipRect));
    painter.restore();

    if (dragging && !device.printing) {
        const Rect band = Normalized(m_band);
        if (band.Width() > 1)
            DrawFocusRect(painter, band);
    }
}

void CDibView::DrawCompare(QPainter& painter, const DrawDevice& device)
{
    CDibDoc* doc = GetDocument();
    const PictureSize original = doc->GetPictureSize(true);
    const PictureSize next = doc->GetPictureSize(false);
    CompareGeometry& g = m_compare;
    g.mode = m_viewMode;
    g.zoom = m_zoom;
    g.client = device.client;
    g.divider = DividerX(device.client.width());
    g.original = QSize(original.width, original.height);
    g.newPicture = QSize(next.width, next.height);

    const PaneLayout panes[2] = {LayoutPane(g, PaneSide::Original), LayoutPane(g, PaneSide::New)};
    // One scroll range for both: the larger picture can be seen whole.
    SetScrollSizes(panes[0].screen.scrollSize.expandedTo(panes[1].screen.scrollSize));
    g.scroll = GetScrollPosition();
    m_scrollPos = panes[0].screen.fitToWindow ? QPoint(0, 0) : g.scroll;
    // The display values of the picture the gestures act on, its pane's
    // corner included in the origin.
    const PaneLayout& active = panes[m_showOriginal ? 0 : 1];
    m_dispScaleX = active.screen.scaleX;
    m_dispScaleY = active.screen.scaleY;
    m_dispOrigin = QPoint(active.area.left, active.area.top) + active.screen.origin;

    for (int i = 0; i < 2; ++i) {
        const PaneLayout& pane = panes[i];
        const bool isOriginal = i == 0;
        const CPicture& picture = isOriginal ? doc->m_picOriginal : doc->m_picNew;
        const QSize size = isOriginal ? g.original : g.newPicture;
        QRect clip(pane.area.left, pane.area.top, pane.area.Width(), pane.area.Height());
        if (m_viewMode == ViewMode::Split)
            clip = isOriginal ? QRect(0, 0, g.divider, g.client.height())
                              : QRect(g.divider, 0, g.client.width() - g.divider, g.client.height());
        painter.save();
        painter.setClipRect(clip);
        painter.translate(QPoint(pane.area.left, pane.area.top) - m_scrollPos);
        PaintDib(painter, pane.screen.dest, picture, size.height(), Rect{0, 0, size.width(), size.height()});
        if (!isOriginal && m_focusShown)
            DrawFocusRect(painter, lumacut::PictureToClient(doc->m_clipRect, pane.screen.scaleX, pane.screen.scaleY,
                                                            pane.screen.origin));
        painter.restore();
    }
    if (m_viewMode == ViewMode::Split) {
        // A dark line with light edges shows on any picture.
        painter.fillRect(QRect(g.divider - 2, 0, 5, g.client.height()), Qt::white);
        painter.fillRect(QRect(g.divider - 1, 0, 3, g.client.height()), QColor(0x2b, 0x3a, 0x4a));
    }

    if (m_band.left != NO_POINT) {
        const Rect band = Normalized(m_band);
        if (band.Width() > 1)
            DrawFocusRect(painter, band);
    }
}

void CDibView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), kBackground);
    DrawDevice device;
    device.client = viewport()->size();
    OnDraw(painter, device);
}

void CDibView::scrollContentsBy(int, int)
{
    Invalidate(true);
}

void CDibView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    Invalidate(true);
}

} // namespace lumacut
