#include "app/ActiveView.h"

#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace lumacut {

namespace {

IActiveView* DefaultFinder(ViewLink& missing)
{
    QMainWindow* main = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<QMainWindow*>(w)) {
            main = m;
            if (m->isVisible())
                break;
        }
    if (!main) {
        missing = ViewLink::NoMainWindow;
        return nullptr;
    }
    auto* area = qobject_cast<QMdiArea*>(main->centralWidget());
    // The current sub-window stays current while a modal dialog is active.
    QMdiSubWindow* child = area ? area->currentSubWindow() : nullptr;
    if (!child) {
        missing = ViewLink::NoChildWindow;
        return nullptr;
    }
    auto* view = dynamic_cast<IActiveView*>(child->widget());
    if (!view) {
        missing = ViewLink::NoViewWindow;
        return nullptr;
    }
    missing = ViewLink::Found;
    return view;
}

ActiveViewFinder& Finder()
{
    static ActiveViewFinder finder;
    return finder;
}

} // namespace

ActiveViewFinder SetActiveViewFinder(ActiveViewFinder finder)
{
    ActiveViewFinder previous = std::move(Finder());
    Finder() = std::move(finder);
    return previous;
}

IActiveView* FindActiveView()
{
    ViewLink missing = ViewLink::Found;
    IActiveView* view = Finder() ? Finder()(missing) : DefaultFinder(missing);
    if (view && missing == ViewLink::Found)
        return view;
    switch (missing) {
    case ViewLink::NoMainWindow:
        ShowMessage(std::string(msg::kNoMainWindow));
        break;
    case ViewLink::NoChildWindow:
        ShowMessage(std::string(msg::kNoChildWindow));
        break;
    default:
        ShowMessage(std::string(msg::kNoViewWindow));
        break;
    }
    return nullptr;
}

CDibDoc* FindActiveDocument(IActiveView** viewOut)
{
    IActiveView* view = FindActiveView();
    if (viewOut)
        *viewOut = view;
    if (!view)
        return nullptr;
    CDibDoc* doc = view->ViewDocument();
    if (!doc)
        ShowMessage(std::string(msg::kNoDoc));
    return doc;
}

} // namespace lumacut
