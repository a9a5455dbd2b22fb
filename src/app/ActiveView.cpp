#include "app/ActiveView.h"

#include "platform/Messages.h"
#include "platform/Prompt.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "view/CDibView.h"

#include <memory>
#include <unordered_map>

namespace lumacut {

namespace {

// The editor's view as seen by the dialogs; one per view, dropped with it.
class DibViewTarget : public IActiveView {
public:
    explicit DibViewTarget(CDibView* view) : m_view(view) {}
    CDibDoc* ViewDocument() override { return m_view->GetDocument(); }
    bool ShowsOriginal() const override { return m_view->m_showOriginal; }
    void SetShowsOriginal(bool original) override { m_view->m_showOriginal = original; }
    void InvalidateView(bool erase) override { m_view->Invalidate(erase); }

private:
    CDibView* m_view;
};

IActiveView* TargetOf(CDibView* view)
{
    static std::unordered_map<CDibView*, std::unique_ptr<DibViewTarget>> targets;
    auto it = targets.find(view);
    if (it == targets.end()) {
        it = targets.emplace(view, std::make_unique<DibViewTarget>(view)).first;
        QObject::connect(view, &QObject::destroyed, [view] { targets.erase(view); });
    }
    return it->second.get();
}

IActiveView* DefaultFinder(ViewLink& missing)
{
    CMainFrame* main = CMainFrame::Instance();
    if (!main) {
        missing = ViewLink::NoMainWindow;
        return nullptr;
    }
    CChildFrame* child = main->ActiveChild();
    if (!child) {
        missing = ViewLink::NoChildWindow;
        return nullptr;
    }
    CDibView* view = child->View();
    if (!view) {
        missing = ViewLink::NoViewWindow;
        return nullptr;
    }
    missing = ViewLink::Found;
    return TargetOf(view);
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
