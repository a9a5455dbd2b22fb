// CDibView: mouse and keyboard.
#include "view/CDibView.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace lumacut {

bool CDibView::PickColor(QPoint, std::uint32_t& color)
{
    color = 0;
    return false;
}

bool CDibView::FixLeftLimit(double, int, int, Rect&, bool)
{
    return true;
}

bool CDibView::FixRightLimit(double, int, int, Rect&, bool)
{
    return true;
}

void CDibView::mousePressEvent(QMouseEvent* event)
{
    QAbstractScrollArea::mousePressEvent(event);
}

void CDibView::mouseMoveEvent(QMouseEvent* event)
{
    QAbstractScrollArea::mouseMoveEvent(event);
}

void CDibView::mouseReleaseEvent(QMouseEvent* event)
{
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void CDibView::keyPressEvent(QKeyEvent* event)
{
    QAbstractScrollArea::keyPressEvent(event);
}

} // namespace lumacut
