// The JPEG quality dialog: 0..100 accepted, anything else refused with the
// dialog kept open; the document's quality changes on OK only.
#include "dialogs/CJpegQualityDlg.h"

#include "picture/JpegFile.h"
#include "support/Files.h"
#include "support/ScriptedGuiPrompt.h"
#include "support/TempDir.h"
#include "support/TestDocument.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumacut;
using namespace lumacut::test;

struct QualityCase {
    const char* name;
    const char* text;
    bool accepted;
    int quality;
    const char* message;
};

// Test names show the case's name only.
void PrintTo(const QualityCase& c, std::ostream* os)
{
    *os << c.name;
}

class JpegQualityRange : public ::testing::TestWithParam<QualityCase> {};

TEST_P(JpegQualityRange, OnlyWholeNumbersFromZeroToHundredPass)
{
    const QualityCase& c = GetParam();
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt p(prompt);
    CJpegQualityDlg dlg;
    dlg.m_quality = 90;
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    EXPECT_EQ(dlg.m_edit->text(), "90");
    dlg.m_edit->setText(c.text);
    QTest::mouseClick(dlg.m_ok, Qt::LeftButton);
    EXPECT_EQ(!dlg.isVisible(), c.accepted);
    EXPECT_EQ(dlg.m_quality, c.quality);
    if (c.accepted) {
        EXPECT_EQ(dlg.result(), IDOK);
        EXPECT_TRUE(prompt.messages.empty());
    } else {
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(QApplication::focusWidget(), dlg.m_edit);
        EXPECT_EQ(dlg.m_edit->selectedText(), dlg.m_edit->text());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JpegQualityRange,
    ::testing::Values(QualityCase{"Zero", "0", true, 0, ""}, QualityCase{"Hundred", "100", true, 100, ""},
                      QualityCase{"Forty", "40", true, 40, ""},
                      QualityCase{"HundredAndOne", "101", false, 90, "Enter an integer between 0 and 100."},
                      QualityCase{"Huge", "99999999999", false, 90, "Enter an integer between 0 and 100."},
                      QualityCase{"Empty", "", false, 90, "Enter an integer."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JpegQuality, OkStoresTheQualityInThatDocumentOnly)
{
    CDibDoc a;
    CDibDoc b;
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt p(prompt);
    ScriptModalRuns(prompt, {[](QDialog& d) {
        auto& dlg = dynamic_cast<CJpegQualityDlg&>(d);
        EXPECT_EQ(dlg.m_edit->text(), "90");
        dlg.m_edit->setText("40");
        dlg.m_ok->click();
        return dlg.result();
    }, [](QDialog& d) {
        auto& dlg = dynamic_cast<CJpegQualityDlg&>(d);
        dlg.m_edit->setText("10");
        dlg.m_cancel->click();
        return dlg.result();
    }});
    OnJpegQuality(a);
    EXPECT_EQ(a.m_jpegQuality, 40);
    EXPECT_EQ(b.m_jpegQuality, 90);
    OnJpegQuality(a);
    EXPECT_EQ(a.m_jpegQuality, 40) << "Cancel leaves it";
    EXPECT_EQ(prompt.modalTitles, (std::vector<QString>{"Jpeg Quality Output", "Jpeg Quality Output"}));
}

TEST(JpegQuality, TheNextJpegSaveUsesTheDocumentsQuality)
{
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt p(prompt);
    auto a = MakeTestDocument(24, 16, Output::TrueColor);
    auto b = MakeTestDocument(24, 16, Output::TrueColor);
    a->ApplyFilter(a->m_filter);
    b->ApplyFilter(b->m_filter);
    ScriptModalRuns(prompt, {[](QDialog& d) {
        auto& dlg = dynamic_cast<CJpegQualityDlg&>(d);
        dlg.m_edit->setText("40");
        dlg.m_ok->click();
        return dlg.result();
    }});
    OnJpegQuality(*a);
    ASSERT_EQ(a->m_jpegQuality, 40);

    TempDir dir;
    auto path = [&](const char* name) { return dir.Path(name); };
    ASSERT_TRUE(a->OnSaveDocument(path("a.jpg")));
    ASSERT_TRUE(b->OnSaveDocument(path("b.jpg")));
    ASSERT_EQ(WriteJpegFile(path("q40.jpg"), a->m_picNew.Block(), 40), 1);
    ASSERT_EQ(WriteJpegFile(path("q90.jpg"), b->m_picNew.Block(), 90), 1);
    EXPECT_NE(ReadFileBytes(path("q40.jpg")), ReadFileBytes(path("q90.jpg")));
    EXPECT_EQ(ReadFileBytes(path("a.jpg")), ReadFileBytes(path("q40.jpg")));
    EXPECT_EQ(ReadFileBytes(path("b.jpg")), ReadFileBytes(path("q90.jpg"))) << "another document keeps 90";

    // BMP files ignore the quality.
    ASSERT_TRUE(a->OnSaveDocument(path("a.bmp")));
    ASSERT_TRUE(b->OnSaveDocument(path("b.bmp")));
    EXPECT_EQ(ReadFileBytes(path("a.bmp")), ReadFileBytes(path("b.bmp")));
    EXPECT_TRUE(prompt.messages.empty());
}
