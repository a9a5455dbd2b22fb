// The tilt dialog: its two labels and its result codes.
#include "dialogs/CTiltDlg.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumacut;

TEST(TiltDlg, LabelsShowBothAnglesWithTheDegreeSign)
{
    CTiltDlg dlg;
    dlg.SetAngles(0.4636476, -1.1071487);
    dlg.show();
    // The sign reaches the button as U+00B0, not as bytes read the wrong way.
    EXPECT_EQ(dlg.m_horizontal->text(), QStringLiteral(u"26.57\u00B0"));
    EXPECT_EQ(dlg.m_vertical->text(), QStringLiteral(u"-63.43\u00B0"));
}

TEST(TiltDlg, ButtonsAndKeysGiveTheirResultCodes)
{
    struct {
        const char* name;
        int code;
    } cases[] = {{"horizontal", 11}, {"vertical", 12}, {"cancel", 0}, {"enter", 1}, {"escape", 2}};
    for (auto& c : cases) {
        CTiltDlg dlg;
        dlg.SetAngles(0.1, 0.2);
        dlg.show();
        std::string name = c.name;
        if (name == "horizontal")
            QTest::mouseClick(dlg.m_horizontal, Qt::LeftButton);
        else if (name == "vertical")
            QTest::mouseClick(dlg.m_vertical, Qt::LeftButton);
        else if (name == "cancel")
            QTest::mouseClick(dlg.m_cancel, Qt::LeftButton);
        else if (name == "enter")
            QTest::keyClick(&dlg, Qt::Key_Return);
        else
            QTest::keyClick(&dlg, Qt::Key_Escape);
        EXPECT_EQ(dlg.result(), c.code) << name;
        EXPECT_FALSE(dlg.isVisible()) << name;
    }
}
