#pragma once
// How a dialog that renders while it is open finds the view behind it: the
// main window, its active child frame, that frame's view, the view's document.
// A missing link is reported with its "Sorry Null, No ..." message.
#include <functional>

namespace lumacut {

class CDibDoc;

// What such a dialog needs of the view.
class IActiveView {
public:
    virtual ~IActiveView() = default;
    virtual CDibDoc* ViewDocument() = 0;
    virtual bool ShowsOriginal() const = 0;
    virtual void SetShowsOriginal(bool original) = 0;
    virtual void InvalidateView(bool erase) = 0;
};

enum class ViewLink { Found, NoMainWindow, NoChildWindow, NoViewWindow };

// Finds the active view, or says which link is missing. The default walks the
// editor's main frame, its active child frame and that frame's view.
using ActiveViewFinder = std::function<IActiveView*(ViewLink& missing)>;
// Installs a finder (an empty one restores the default); returns the previous.
ActiveViewFinder SetActiveViewFinder(ActiveViewFinder finder);

// The active view, or null after the message of the first missing link.
IActiveView* FindActiveView();
// The active view's document, or null after the message of the first missing
// link ("Sorry Null, No Doc" last). `view` receives the view when found.
CDibDoc* FindActiveDocument(IActiveView** view = nullptr);

} // namespace lumacut
