#include "framework/CChildFrame.h"

#include "framework/CDocManager.h"
#include "framework/FrameView.h"

#include <QAbstractScrollArea>

#include <QCloseEvent>

namespace lumacut {

CChildFrame::CChildFrame(CDocManager& manager, IFrameView* view) : m_manager(manager), m_view(view)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(&view->Widget());
}

CChildFrame::~CChildFrame()
{
    if (!m_closed)
        m_manager.OnFrameClosed(*this);
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (!m_closed && !m_manager.CanCloseFrame(*this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted() && !m_closed) {
        m_closed = true;
        m_manager.OnFrameClosed(*this);
    }
}

} // namespace lumacut
