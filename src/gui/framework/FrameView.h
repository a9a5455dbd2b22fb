#pragma once
// What the framework needs of a view inside a child window, and the document
// template that says which view a document gets: the framework knows no view
// class, the shell hands it one.
#include "framework/Commands.h"

#include <functional>

class QAbstractScrollArea;

namespace lumacut {

class CDibDoc;

class IFrameView {
public:
    virtual ~IFrameView() = default;
    virtual QAbstractScrollArea& Widget() = 0;
    virtual CDibDoc* GetDocument() const = 0;
    // Unhooks the view from its document before the document goes.
    virtual void DetachDocument() = 0;
    virtual void OnInitialUpdate() = 0;
};

struct DocumentTemplate {
    // A new view of the document; its child window takes ownership.
    std::function<IFrameView*(CDibDoc&)> makeView;
    // Commands the document handles beyond the framework's own.
    std::function<void(CommandTarget&, CDibDoc&)> registerCommands;
};

} // namespace lumacut
