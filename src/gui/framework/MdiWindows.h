#pragma once
// The main window's child windows, for whoever needs to walk them without
// knowing the main window: the shell registers its MDI area here.
class QMdiArea;

namespace lumacut {

class CChildFrame;

// The registered area, null while none is.
QMdiArea* MainMdiArea();
void SetMainMdiArea(QMdiArea* area);

// The active child window; without focus (tests, start-up) the area reports
// none, so the topmost is taken as the framework would.
CChildFrame* ActiveChildOf(const QMdiArea& area);

} // namespace lumacut
