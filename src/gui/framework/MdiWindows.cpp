#include "framework/MdiWindows.h"

#include "framework/CChildFrame.h"

#include <QMdiArea>

namespace lumacut {

namespace {
QMdiArea* g_area = nullptr;
} // namespace

QMdiArea* MainMdiArea()
{
    return g_area;
}

void SetMainMdiArea(QMdiArea* area)
{
    g_area = area;
}

CChildFrame* ActiveChildOf(const QMdiArea& area)
{
    QMdiSubWindow* sub = area.activeSubWindow();
    if (!sub) {
        const QList<QMdiSubWindow*> list = area.subWindowList(QMdiArea::StackingOrder);
        if (!list.isEmpty())
            sub = list.last();
    }
    return qobject_cast<CChildFrame*>(sub);
}

} // namespace lumacut
