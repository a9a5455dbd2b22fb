#include "app/CChildFrame.h"

#include "app/CDocManager.h"
#include "view/CDibView.h"

#include <QCloseEvent>

namespace lumacut {

CChildFrame::CChildFrame(CDocManager& manager, CDibView* view) : m_manager(manager), m_view(view)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view);
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
