#pragma once
// A dialog's title in the window's title bar: a narrow dialog gets its title
// cut off by the window system ("Cho… put"), so dialogs are kept at least as
// wide as their whole title and the window buttons beside it.
class QWidget;

namespace lumacut {

// The width the window's current title needs in the title bar: the title in
// the title bar font (bold, as most window systems draw it) plus room for the
// window icon and the minimize, maximize and close buttons.
int TitleBarWidth(const QWidget& window);

// Raises the window's minimum width to TitleBarWidth; never lowers it below
// what its layout needs. Call it once the title and the controls' texts are set.
void KeepTitleWhole(QWidget& window);

} // namespace lumacut
