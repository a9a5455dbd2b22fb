// "Choose Output": labels, the preselected first choice, OK and Escape.
#include "framework/COutputTypeDlg.h"

#include "framework/GuiPrompt.h"
#include "support/QtPrinters.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace lumacut {
namespace {

TEST(OutputTypeDlg, TitleLabelsAndFirstChoicePreselected)
{
    COutputTypeDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "Choose Output");
    EXPECT_EQ(dialog.Radio(0)->text(), "Two Color");
    EXPECT_EQ(dialog.Radio(1)->text(), "Black / White / Grey");
    EXPECT_EQ(dialog.Radio(2)->text(), "True Color");
    EXPECT_TRUE(dialog.Radio(0)->isChecked());
    EXPECT_EQ(dialog.m_outputChoice, 0);
    // There is no Cancel button.
    EXPECT_EQ(dialog.findChildren<QPushButton*>().size(), 1);
}

// Runs the dialog for real and acts on it once it is shown.
int RunAndThen(COutputTypeDlg& dialog, const std::function<void()>& action)
{
    QTimer::singleShot(0, &dialog, action);
    return dialog.exec();
}

TEST(OutputTypeDlg, OkTakesTheCheckedButton)
{
    for (int choice = 0; choice < 3; ++choice) {
        COutputTypeDlg dialog;
        int result = RunAndThen(dialog, [&] {
            QTest::mouseClick(dialog.Radio(choice), Qt::LeftButton);
            QTest::mouseClick(dialog.findChild<QPushButton*>("ok"), Qt::LeftButton);
        });
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_EQ(dialog.m_outputChoice, choice);
    }
}

TEST(OutputTypeDlg, EscapeKeepsTwoColorWhateverWasChecked)
{
    COutputTypeDlg dialog;
    RunAndThen(dialog, [&] {
        QTest::mouseClick(dialog.Radio(2), Qt::LeftButton);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.m_outputChoice, kOutputTwoColor);
}

TEST(OutputTypeDlg, GuiPromptAsksThroughRunModal)
{
    struct Prompt : GuiPrompt {
        int RunModal(QDialog& dialog) override
        {
            title = dialog.windowTitle();
            auto& d = static_cast<COutputTypeDlg&>(dialog);
            d.Radio(1)->setChecked(true);
            d.accept();
            return QDialog::Accepted;
        }
        QString title;
    } prompt;
    EXPECT_EQ(prompt.ChooseOutput(), kOutputGrey);
    EXPECT_EQ(prompt.title, "Choose Output");
}

TEST(FileFilters, ProgramFiltersBecomeQtFilters)
{
    EXPECT_EQ(QtFilterFromPairs("Jpeg files (*.jpg)|*.jpg|Bitmap files (*.bmp)|*.bmp|All files(*.*)|*.*||"),
              "Jpeg files (*.jpg);;Bitmap files (*.bmp);;All files(*.*) (*)");
    EXPECT_EQ(QtFilterFromPairs("BMP Files (*.bmp)|*.bmp||"), "BMP Files (*.bmp)");
    EXPECT_EQ(QtFilterFromPairs("Pictures|*.bmp;*.jpg||"), "Pictures (*.bmp *.jpg)");
}

} // namespace
} // namespace lumacut
