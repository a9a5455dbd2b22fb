// Every dialog is titled with its own name and is wide enough that the
// window system can show the whole title beside its window buttons.
#include "app/CAboutDlg.h"
#include "dialogs/CJpegQualityDlg.h"
#include "dialogs/CResizeDlg.h"
#include "dialogs/CTiltDlg.h"
#include "dialogs/CColorListDlg.h"
#include "dialogs/CFilterDlg.h"
#include "framework/COutputTypeDlg.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace lumacut;

TEST(DialogTitles, EachDialogNamesItselfAndShowsItsWholeTitle)
{
    struct {
        const char* title;
        std::function<std::unique_ptr<QDialog>()> make;
    } cases[] = {
        {"Resize De Luxe", [] { return std::make_unique<CResizeDlg>(); }},
        {"Tilt", [] { return std::make_unique<CTiltDlg>(); }},
        {"Jpeg Quality Output", [] { return std::make_unique<CJpegQualityDlg>(); }},
        {"Black White Filter", [] { return std::make_unique<CFilterDlg>(); }},
        {"Choose Output", [] { return std::make_unique<COutputTypeDlg>(); }},
        {"Color List", [] { return std::make_unique<CColorListDlg>(); }},
        {"About Lumacut", [] { return std::make_unique<CAboutDlg>(); }},
    };
    for (auto& c : cases) {
        std::unique_ptr<QDialog> dlg = c.make();
        dlg->show();
        EXPECT_EQ(dlg->windowTitle(), c.title);
        // At the least the title in bold and three window buttons as wide as
        // the bar is high; the user cannot make it narrower either.
        QFont bold = QApplication::font("QMdiSubWindowTitleBar");
        bold.setBold(true);
        const int bar = dlg->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, dlg.get());
        const int needed = QFontMetrics(bold).horizontalAdvance(c.title) + 3 * bar;
        EXPECT_GE(dlg->width(), needed) << c.title;
        EXPECT_GE(dlg->minimumWidth(), needed) << c.title;
        EXPECT_GE(dlg->minimumWidth(), dlg->minimumSizeHint().width()) << c.title << ": the controls still fit";
    }
}
