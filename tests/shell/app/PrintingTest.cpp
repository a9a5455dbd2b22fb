// Print, Print Preview and Print Setup run their dialogs through the prompt
// seam; Print writes the page.
#include "support/StartedApp.h"
#include "framework/Printing.h"
#include "support/TestDocument.h"

#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lumacut {
namespace {

TEST(Printing, PrintSetupRunsThePageSetupDialog)
{
    StartedApp s;
    bool pageSetup = false;
    s.prompt.onModal = [&](QDialog& dialog) {
        pageSetup = qobject_cast<QPageSetupDialog*>(&dialog) != nullptr;
        return int(QDialog::Rejected);
    };
    EXPECT_TRUE(s.Frame()->OnCmdMsg(ID_FILE_PRINT_SETUP));
    EXPECT_TRUE(pageSetup);
}

TEST(Printing, PrintAcceptedWritesThePageCancelledWritesNothing)
{
    StartedApp s;
    test::LoadTestPictures(*s.Frame()->ActiveView()->GetDocument(), 300, 100);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("out.pdf");
    SharedPrinter().setOutputFormat(QPrinter::PdfFormat);
    SharedPrinter().setOutputFileName(pdf);

    s.prompt.onModal = [](QDialog& dialog) {
        EXPECT_NE(qobject_cast<QPrintDialog*>(&dialog), nullptr);
        return int(QDialog::Rejected);
    };
    EXPECT_TRUE(s.Frame()->OnCmdMsg(ID_FILE_PRINT));
    EXPECT_FALSE(QFileInfo::exists(pdf));

    s.prompt.onModal = [](QDialog&) { return int(QDialog::Accepted); };
    EXPECT_TRUE(s.Frame()->OnCmdMsg(ID_FILE_PRINT));
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
}

TEST(Printing, PreviewRunsThePreviewDialog)
{
    StartedApp s;
    test::LoadTestPictures(*s.Frame()->ActiveView()->GetDocument(), 30, 10);
    bool preview = false;
    s.prompt.onModal = [&](QDialog& dialog) {
        preview = qobject_cast<QPrintPreviewDialog*>(&dialog) != nullptr;
        return int(QDialog::Rejected);
    };
    EXPECT_TRUE(s.Frame()->OnCmdMsg(ID_FILE_PRINT_PREVIEW));
    EXPECT_TRUE(preview);
}

} // namespace
} // namespace lumacut
