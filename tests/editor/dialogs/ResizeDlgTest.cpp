// The resize dialog: data exchange, handlers, Show Result and the refusals
// in its fields (the arithmetic: core/document/ResizeMathTest.cpp; OK, the
// change test and refused sizes through the command: editor/view/EditCommandsTest.cpp).
#include "dialogs/CResizeDlg.h"

#include "document/ResizeMath.h"
#include "FakeView.h"
#include "support/PictureBytes.h"
#include "support/ScriptedGuiPrompt.h"
#include "support/TestDocument.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumacut;
using namespace lumacut::test;

namespace {

// A 101 x 51 true-colour document, rendered once, and a dialog over it filled
// as Resize De Luxe fills it.
struct Fixture {
    Fixture() : scoped(prompt), doc(MakeTestDocument(101, 51, Output::TrueColor)), view(doc.get()), preview(*doc, view)
    {
        dlg.SetPreview(&preview);
        doc->ApplyFilter(doc->m_filter);
        dlg.m_oldWidth = 101;
        dlg.m_oldHeight = 51;
        dlg.m_newWidth = doc->m_picNew.Width();
        dlg.m_newHeight = doc->m_picNew.Height();
        dlg.m_percentage = PercentageOfScale(doc->m_scale);
        dlg.m_footprint = doc->m_footprint;
        dlg.show();
    }
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt scoped;
    std::unique_ptr<CDibDoc> doc;
    FakeView view;
    DocumentPreview preview;
    CResizeDlg dlg;
};

} // namespace

TEST(ResizeDlg, OpensWithTheMembersInItsFields)
{
    Fixture f;
    EXPECT_EQ(f.dlg.m_oldWidthText->text(), "101");
    EXPECT_EQ(f.dlg.m_oldHeightText->text(), "51");
    EXPECT_EQ(f.dlg.m_percentageEdit->text(), "100");
    EXPECT_EQ(f.dlg.m_newWidthEdit->text(), "101");
    EXPECT_FALSE(f.dlg.m_newWidthEdit->isEnabled());
    EXPECT_FALSE(f.dlg.m_newHeightEdit->isEnabled());
    EXPECT_EQ(f.dlg.m_footprintEdit->text(), "1");
    EXPECT_FALSE(f.dlg.m_showPressed);
}

TEST(ResizeDlg, LeavingThePercentageRecomputesTheNewSize)
{
    Fixture f;
    f.dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.dlg));
    f.dlg.m_percentageEdit->setFocus();
    f.dlg.m_percentageEdit->setText("50");
    f.dlg.m_footprintEdit->setFocus(); // focus-out of the percentage
    EXPECT_EQ(f.dlg.m_newWidthEdit->text(), "51");
    EXPECT_EQ(f.dlg.m_newHeightEdit->text(), "26");
}

TEST(ResizeDlg, OldSizeResetsPercentageAndSizeButKeepsTheFootprint)
{
    Fixture f;
    f.dlg.m_percentageEdit->setText("50");
    f.dlg.OnKillFocusPercentage();
    f.dlg.m_footprintEdit->setText("2.5");
    QTest::mouseClick(f.dlg.m_oldSize, Qt::LeftButton);
    EXPECT_EQ(f.dlg.m_percentageEdit->text(), "100");
    EXPECT_EQ(f.dlg.m_newWidthEdit->text(), "101");
    EXPECT_EQ(f.dlg.m_newHeightEdit->text(), "51");
    EXPECT_EQ(f.dlg.m_footprintEdit->text(), "2.5");
    EXPECT_DOUBLE_EQ(f.dlg.m_footprint, 2.5);
}

TEST(ResizeDlg, ShowResultAlwaysRendersAndOkRightAfterRendersNothingMore)
{
    Fixture f;
    const void* before = BlockAddress(f.doc->m_picNew);
    f.view.showOriginal = true;
    QTest::mouseClick(f.dlg.m_showResult, Qt::LeftButton);
    EXPECT_NE(BlockAddress(f.doc->m_picNew), before) << "Show Result renders though nothing changed";
    EXPECT_FALSE(f.view.showOriginal);
    EXPECT_FALSE(f.dlg.m_showPressed);
    EXPECT_EQ(f.view.erasingInvalidates, 1);
    const void* shown = BlockAddress(f.doc->m_picNew);
    QTest::mouseClick(f.dlg.m_ok, Qt::LeftButton);
    EXPECT_EQ(BlockAddress(f.doc->m_picNew), shown);
    EXPECT_EQ(f.dlg.result(), IDOK);
}

TEST(ResizeDlg, FootprintOutsideItsRangeIsRefusedAndTheDialogStays)
{
    for (const char* text : {"0", "10.5", "abc"}) {
        Fixture f;
        f.dlg.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f.dlg));
        f.dlg.m_footprintEdit->setText(text);
        QTest::mouseClick(f.dlg.m_ok, Qt::LeftButton);
        EXPECT_TRUE(f.dlg.isVisible()) << text;
        EXPECT_EQ(QApplication::focusWidget(), f.dlg.m_footprintEdit) << text;
        EXPECT_DOUBLE_EQ(f.doc->m_footprint, 1.0) << text;
        ASSERT_EQ(f.prompt.Texts().size(), 1u) << text;
        EXPECT_EQ(f.prompt.Texts()[0], std::string(text) == "abc" ? "Enter a number."
                                                                  : "Enter a number between 0.001 and 10.");
    }
}

// Outside 5..400 the sampler clamps the scale while the size follows the
// percentage: the data exchange keeps the field to the range instead.
TEST(ResizeDlg, PercentageOutsideTheSamplersRangeIsRefusedInTheField)
{
    struct {
        const char* text;
        bool accepted;
    } cases[] = {{"4", false}, {"5", true}, {"400", true}, {"401", false}};
    for (auto& c : cases) {
        Fixture f;
        EXPECT_EQ(f.dlg.m_percentageRange->text(), "5..400");
        f.dlg.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f.dlg));
        f.dlg.m_percentageEdit->setText(c.text);
        QTest::mouseClick(f.dlg.m_ok, Qt::LeftButton);
        EXPECT_EQ(f.dlg.isVisible(), !c.accepted) << c.text;
        if (c.accepted) {
            EXPECT_TRUE(f.prompt.messages.empty()) << c.text;
            EXPECT_DOUBLE_EQ(f.doc->m_scale, std::stoi(c.text) * 0.01) << c.text;
            continue;
        }
        EXPECT_EQ(f.prompt.Texts(), std::vector<std::string>{"Enter an integer between 5 and 400."}) << c.text;
        EXPECT_EQ(QApplication::focusWidget(), f.dlg.m_percentageEdit) << c.text;
        EXPECT_DOUBLE_EQ(f.doc->m_scale, 1.0) << c.text;
    }
}
