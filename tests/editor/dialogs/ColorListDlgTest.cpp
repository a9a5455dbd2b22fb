// The colour list dialog ends with the code of the button that closed it.
#include "dialogs/CColorListDlg.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumacut;

TEST(ColorListDlg, EachButtonGivesItsResultCode)
{
    struct {
        QPushButton* CColorListDlg::*button;
        int code;
    } cases[] = {{&CColorListDlg::m_addColor, 61449},
                 {&CColorListDlg::m_clearList, 61450},
                 {&CColorListDlg::m_ok, 1},
                 {&CColorListDlg::m_cancel, 2}};
    for (auto& c : cases) {
        CColorListDlg dlg;
        dlg.show();
        QTest::mouseClick(dlg.*c.button, Qt::LeftButton);
        EXPECT_EQ(dlg.result(), c.code);
        EXPECT_FALSE(dlg.isVisible());
    }
    CColorListDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "Color List");
    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), 2);
}
