#include "framework/DialogTitle.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace lumacut {

int TitleBarWidth(const QWidget& window)
{
    // The platform theme's title bar font, where it gives one.
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int text = QFontMetrics(font).horizontalAdvance(window.windowTitle());
    // Window buttons are about as wide as the bar is high: the icon, three
    // buttons and a margin on either side of the title.
    const int bar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return text + 5 * bar;
}

void KeepTitleWhole(QWidget& window)
{
    // An explicit minimum width replaces the one the layout would give, so
    // the layout's own minimum is kept in it.
    window.setMinimumWidth(
        std::max({window.minimumWidth(), window.minimumSizeHint().width(), TitleBarWidth(window)}));
}

} // namespace lumacut
