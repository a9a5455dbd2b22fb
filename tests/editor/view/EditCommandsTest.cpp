// The editing commands of the view in a started editor: Color Change with OK,
// Cancel and a picked colour, Undo Color, Resize De Luxe, Reset Tilt, Tilt
// Modify, Focus Rectangle, Clip and the clipping options, with their update
// rules. Dialogs are answered through the scripted prompt.
#include "support/StartedApp.h"
#include "dialogs/CJpegQualityDlg.h"
#include "dialogs/CResizeDlg.h"
#include "dialogs/CFilterDlg.h"
#include "support/PictureBytes.h"
#include "support/TestDocument.h"

#include <QAction>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <gtest/gtest.h>

using namespace lumacut;
using namespace lumacut::test;

namespace {

// A started editor whose one document holds a w x h picture rendered once.
struct Editor {
    Editor(int w, int h, Output output, int kind = 3)
    {
        EXPECT_TRUE(s.started);
        view = s.Frame()->ActiveView();
        doc = view->GetDocument();
        LoadTestPictures(*doc, w, h, output);
        doc->m_filter.kind = kind;
        doc->m_filter.color = MakeColor(30, 200, 60);
        doc->ApplyFilter(doc->m_filter);
        twin = MakeTestDocument(w, h, output);
    }
    // The New Picture a document in this state renders with `settings`.
    std::vector<std::uint8_t> Expected(const FilterSettings& settings)
    {
        twin->m_scale = doc->m_scale;
        twin->m_footprint = doc->m_footprint;
        twin->m_tilt = doc->m_tilt;
        twin->m_clipActive = doc->m_clipActive;
        twin->m_clipRect = doc->m_clipRect;
        twin->ApplyFilter(settings);
        return PictureBytes(twin->m_picNew);
    }
    bool Run(int id) { return s.Frame()->OnCmdMsg(id); }
    CmdUI Update(int id) { return RouteUpdate(s.Frame()->Route(), id); }

    StartedApp s;
    CDibView* view = nullptr;
    CDibDoc* doc = nullptr;
    std::unique_ptr<CDibDoc> twin;
};

CFilterDlg& FilterDialog(QDialog& d)
{
    return dynamic_cast<CFilterDlg&>(d);
}

CResizeDlg& ResizeDialog(QDialog& d)
{
    return dynamic_cast<CResizeDlg&>(d);
}

} // namespace

// ---- Color Change and Undo Color ------------------------------------------------------

TEST(ColorChange, OkKeepsTheSettingsAndUndoColorGoesBackOneLevel)
{
    Editor e(40, 30, Output::Grey);
    const FilterSettings before = e.doc->m_filter;
    ScriptModalRuns(e.s.prompt, {[](QDialog& d) {
        CFilterDlg& dlg = FilterDialog(d);
        dlg.m_lightDark->setValue(60); // continuous update renders it
        dlg.m_ok->click();
        return dlg.result();
    }});
    ASSERT_TRUE(e.Run(ID_COLOR_CHANGE));
    EXPECT_FALSE(e.view->m_showOriginal);
    FilterSettings tuned = before;
    tuned.lightDark = 60;
    EXPECT_EQ(e.doc->m_filter, tuned);
    EXPECT_EQ(e.doc->m_filterUndo, before);
    EXPECT_TRUE(e.Update(ID_UNDO_COLOR).enabled);
    EXPECT_EQ(PictureBytes(e.doc->m_picNew), e.Expected(tuned));

    ASSERT_TRUE(e.Run(ID_UNDO_COLOR));
    EXPECT_EQ(e.doc->m_filter, before);
    EXPECT_EQ(PictureBytes(e.doc->m_picNew), e.Expected(before));
    EXPECT_FALSE(e.Update(ID_UNDO_COLOR).enabled) << "one level only";
    EXPECT_NE(e.Expected(tuned), e.Expected(before)) << "the test pictures must tell the two apart";
}

TEST(ColorChange, CancelRestoresTheSettingsAndTheNewPicture)
{
    Editor e(40, 30, Output::TrueColor);
    FilterSettings undo = e.doc->m_filter;
    undo.gamma = 11;
    e.doc->m_filterUndo = undo;
    const FilterSettings before = e.doc->m_filter;
    const auto picture = PictureBytes(e.doc->m_picNew);
    std::vector<std::uint8_t> duringDialog;
    ScriptModalRuns(e.s.prompt, {[&](QDialog& d) {
        CFilterDlg& dlg = FilterDialog(d);
        dlg.m_kind[1]->click();
        dlg.m_contrast->setValue(180);
        duringDialog = PictureBytes(e.doc->m_picNew);
        dlg.m_cancel->click();
        return dlg.result();
    }});
    ASSERT_TRUE(e.Run(ID_COLOR_CHANGE));
    EXPECT_NE(duringDialog, picture) << "the dialog rendered while open";
    EXPECT_EQ(e.doc->m_filter, before);
    EXPECT_EQ(e.doc->m_filterUndo, undo);
    EXPECT_EQ(PictureBytes(e.doc->m_picNew), picture);
}

TEST(ColorChange, APickedColourFollowedByCancelKeepsThePickedRender)
{
    Editor e(40, 30, Output::Grey);
    const FilterSettings before = e.doc->m_filter;
    FilterSettings picked = before;
    picked.color = MakeColor(250, 10, 10);
    ASSERT_NE(e.Expected(picked), e.Expected(before));
    QString shownRed;
    ScriptModalRuns(e.s.prompt, {[&](QDialog& d) {
        CFilterDlg& dlg = FilterDialog(d);
        shownRed = dlg.m_editRed->text();
        dlg.m_gamma->setValue(90);
        dlg.m_cancel->click();
        return dlg.result();
    }});
    e.view->ColorChange(picked.color, true);
    EXPECT_EQ(shownRed, "250");
    EXPECT_EQ(e.doc->m_filter, before);
    EXPECT_EQ(PictureBytes(e.doc->m_picNew), e.Expected(picked));
}

TEST(ColorChange, ATwoColourOriginalIsRefusedBeforeAnythingChanges)
{
    Editor e(16, 8, Output::TrueColor);
    e.doc->m_picOriginal = CPicture::Empty(PictureKind::TwoColor, 16, 8);
    e.view->m_showOriginal = true;
    e.Run(ID_COLOR_CHANGE);
    EXPECT_EQ(e.s.prompt.Texts(),
              std::vector<std::string>{"Only implemented for true colors and 16, 256 color input."});
    EXPECT_TRUE(e.view->m_showOriginal);
    EXPECT_TRUE(e.s.prompt.modalTitles.empty());
}

// ---- Resize De Luxe -----------------------------------------------------------------------

TEST(ColorChange, AViewWithoutItsDocumentSaysSoAndOpensNothing)
{
    Editor e(8, 8, Output::TrueColor);
    e.view->DetachDocument();
    e.view->ColorChange(0, false);
    EXPECT_EQ(e.s.prompt.Texts(), std::vector<std::string>{"Sorry Null, No Doc"});
    EXPECT_TRUE(e.s.prompt.modalTitles.empty());
}

TEST(ResizeDeluxe, OpensWithTheRoundedPercentage)
{
    Editor e(40, 30, Output::TrueColor);
    e.doc->m_scale = 0.625;
    e.doc->ApplyFilter(e.doc->m_filter);
    EXPECT_TRUE(e.Update(ID_RESIZE_DELUXE).checked);
    QString percentage, newWidth;
    ScriptModalRuns(e.s.prompt, {[&](QDialog& d) {
        percentage = ResizeDialog(d).m_percentageEdit->text();
        newWidth = ResizeDialog(d).m_newWidthEdit->text();
        d.reject();
        return d.result();
    }});
    e.Run(ID_RESIZE_DELUXE);
    EXPECT_EQ(percentage, "63");
    EXPECT_EQ(newWidth, "25");
}

TEST(ResizeDeluxe, ShowResultAtHalfThenCancelRestoresEverything)
{
    Editor e(40, 30, Output::TrueColor);
    const auto picture = PictureBytes(e.doc->m_picNew);
    int shownWidth = 0;
    ScriptModalRuns(e.s.prompt, {[&](QDialog& d) {
        CResizeDlg& dlg = ResizeDialog(d);
        dlg.m_percentageEdit->setText("50");
        dlg.OnKillFocusPercentage();
        dlg.m_footprintEdit->setText("2");
        dlg.m_showResult->click();
        shownWidth = e.doc->m_picNew.Width();
        dlg.m_cancel->click();
        return dlg.result();
    }});
    e.Run(ID_RESIZE_DELUXE);
    EXPECT_EQ(shownWidth, 20);
    EXPECT_EQ(e.doc->m_picNew.Width(), 40);
    EXPECT_EQ(e.doc->m_picNew.Height(), 30);
    EXPECT_EQ(PictureBytes(e.doc->m_picNew), picture);
    EXPECT_DOUBLE_EQ(e.doc->m_scale, 1.0);
    EXPECT_DOUBLE_EQ(e.doc->m_footprint, 1.0);
    EXPECT_FALSE(e.Update(ID_RESIZE_DELUXE).checked);
}

TEST(ResizeDeluxe, OkRendersOnceWithTheNewSize)
{
    Editor e(40, 30, Output::TrueColor);
    const void* afterDialog = nullptr;
    int result = -1;
    ScriptModalRuns(e.s.prompt, {[&](QDialog& d) {
        CResizeDlg& dlg = ResizeDialog(d);
        dlg.m_percentageEdit->setText("50");
        dlg.m_ok->click();
        afterDialog = BlockAddress(e.doc->m_picNew);
        result = dlg.result();
        return result;
    }});
    e.Run(ID_RESIZE_DELUXE);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(e.doc->m_picNew.Width(), 20);
    EXPECT_EQ(e.doc->m_picNew.Height(), 15);
    EXPECT_DOUBLE_EQ(e.doc->m_scale, 0.5);
    EXPECT_EQ(BlockAddress(e.doc->m_picNew), afterDialog) << "no second render after the dialog's own";
    EXPECT_EQ(PictureBytes(e.doc->m_picNew), e.Expected(e.doc->m_filter));
    // The status bar tells the New Picture's real size.
    e.view->OnShowNew();
    QImage screen(200, 100, QImage::Format_RGB32);
    QPainter painter(&screen);
    DrawDevice device;
    device.client = screen.size();
    e.view->OnDraw(painter, device);
    EXPECT_EQ(g_newSizeText, "New Size: 20,  15");
}

TEST(ResizeDeluxe, FootprintWithinThreeDecimalsIsStoredButNotRendered)
{
    Editor e(40, 30, Output::TrueColor);
    const void* before = BlockAddress(e.doc->m_picNew);
    int result = -1;
    ScriptModalRuns(e.s.prompt, {[&](QDialog& d) {
        CResizeDlg& dlg = ResizeDialog(d);
        dlg.m_footprintEdit->setText("1.0004");
        dlg.m_ok->click();
        result = dlg.result();
        return result;
    }});
    e.Run(ID_RESIZE_DELUXE);
    EXPECT_EQ(result, IDOK);
    EXPECT_DOUBLE_EQ(e.doc->m_footprint, 1.0004);
    EXPECT_EQ(BlockAddress(e.doc->m_picNew), before);
}

TEST(ResizeDeluxe, RefusedSizesNeverRender)
{
    Editor e(40, 30, Output::TrueColor);
    const auto block = BlockBytes(e.doc->m_picNew);
    bool stayedOpen = true;
    ScriptModalRuns(e.s.prompt, {[&](QDialog& d) {
        CResizeDlg& dlg = ResizeDialog(d);
        for (const char* text : {"0", "5000000", "99999999"}) {
            dlg.m_percentageEdit->setText(text);
            dlg.m_showResult->click();
            dlg.m_ok->click();
            stayedOpen = stayedOpen && dlg.result() == 0;
        }
        dlg.m_percentageEdit->setText("100");
        dlg.m_cancel->click();
        return dlg.result();
    }});
    e.Run(ID_RESIZE_DELUXE);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(e.s.prompt.Texts(), std::vector<std::string>(6, "Enter an integer between 5 and 400."));
    EXPECT_EQ(BlockBytes(e.doc->m_picNew), block);
    EXPECT_DOUBLE_EQ(e.doc->m_scale, 1.0);
}

// ---- tilt and focus rectangle ---------------------------------------------------------------

TEST(TiltCommands, ResetTiltIsEnabledAboveAHundredthAndRenders)
{
    Editor e(40, 30, Output::TrueColor);
    e.doc->m_tilt = 0.01;
    EXPECT_FALSE(e.Update(ID_RESET_TILT).enabled);
    e.doc->m_tilt = -0.3;
    EXPECT_TRUE(e.Update(ID_RESET_TILT).enabled);
    e.doc->ApplyFilter(e.doc->m_filter);
    const auto tilted = PictureBytes(e.doc->m_picNew);
    ASSERT_TRUE(e.Run(ID_RESET_TILT));
    EXPECT_EQ(e.doc->m_tilt, 0.0);
    EXPECT_EQ(PictureBytes(e.doc->m_picNew), e.Expected(e.doc->m_filter));
    EXPECT_NE(PictureBytes(e.doc->m_picNew), tilted);
}

TEST(TiltCommands, TiltModifyIsEnabledAndDoesNothing)
{
    Editor e(40, 30, Output::TrueColor);
    e.doc->m_tilt = 0.2;
    const auto picture = PictureBytes(e.doc->m_picNew);
    EXPECT_TRUE(e.Update(ID_TILT_MODIFY).enabled);
    ASSERT_TRUE(e.Run(ID_TILT_MODIFY));
    EXPECT_EQ(e.doc->m_tilt, 0.2);
    EXPECT_EQ(PictureBytes(e.doc->m_picNew), picture);
}

TEST(FocusRectangle, TogglesAndIsCheckedWhileShown)
{
    Editor e(40, 30, Output::TrueColor);
    EXPECT_FALSE(e.Update(ID_FOCUS_RECT).checked);
    e.Run(ID_FOCUS_RECT);
    EXPECT_TRUE(e.view->m_focusShown);
    EXPECT_TRUE(e.Update(ID_FOCUS_RECT).checked);
    e.Run(ID_FOCUS_RECT);
    EXPECT_FALSE(e.view->m_focusShown);
}

// ---- clipping -----------------------------------------------------------------------------------

TEST(Clip, FocusRectangleBecomesThePictureAndClipAgainRestoresIt)
{
    Editor e(200, 100, Output::TrueColor);
    e.view->m_focusShown = true;
    e.doc->m_clipRect = Rect{10, 20, 110, 70};
    FilterSettings settings = e.doc->m_filter;
    e.doc->m_clipActive = true;
    const auto clipped = e.Expected(settings);
    e.doc->m_clipActive = false;

    ASSERT_TRUE(e.Run(ID_CLIP_TOGGLE));
    EXPECT_EQ(e.doc->m_picNew.Width(), 100);
    EXPECT_EQ(e.doc->m_picNew.Height(), 50);
    EXPECT_EQ(PictureBytes(e.doc->m_picNew), clipped);
    EXPECT_EQ(e.doc->m_clipRect, (Rect{0, 0, 100, 50}));
    EXPECT_FALSE(e.view->m_focusShown);
    EXPECT_TRUE(e.Update(ID_CLIP_TOGGLE).checked);

    ASSERT_TRUE(e.Run(ID_CLIP_TOGGLE));
    EXPECT_EQ(e.doc->m_picNew.Width(), 200);
    EXPECT_EQ(e.doc->m_picNew.Height(), 100);
    EXPECT_FALSE(e.doc->m_clipActive);
    EXPECT_FALSE(e.Update(ID_CLIP_TOGGLE).checked);
    e.twin->m_clipActive = false;
    EXPECT_EQ(PictureBytes(e.doc->m_picNew), e.Expected(settings));
}

TEST(Clip, WithoutAFocusRectangleItStaysOff)
{
    Editor e(60, 40, Output::TrueColor);
    e.doc->m_clipRect = Rect{10, 10, 20, 20};
    e.Run(ID_CLIP_TOGGLE);
    EXPECT_FALSE(e.doc->m_clipActive);
    EXPECT_EQ(e.doc->m_picNew.Width(), 60);
}

TEST(ClippingOptions, FixLeftAndFixRightExcludeEachOtherAndRenderNothing)
{
    Editor e(40, 30, Output::TrueColor);
    const void* block = BlockAddress(e.doc->m_picNew);
    struct Step {
        int id;
        bool left, right, opposite;
    } steps[] = {{ID_FIX_LEFT, true, false, false},   {ID_FIX_RIGHT, false, true, false},
                 {ID_FIX_OPPOSITE, false, true, true}, {ID_FIX_LEFT, true, false, true},
                 {ID_FIX_LEFT, false, false, true},    {ID_FIX_OPPOSITE, false, false, false}};
    for (const Step& step : steps) {
        ASSERT_TRUE(e.Run(step.id));
        EXPECT_EQ(e.view->m_fixLeft, step.left);
        EXPECT_EQ(e.view->m_fixRight, step.right);
        EXPECT_EQ(e.view->m_fixOpposite, step.opposite);
        EXPECT_EQ(e.Update(ID_FIX_LEFT).checked, step.left);
        EXPECT_EQ(e.Update(ID_FIX_RIGHT).checked, step.right);
        EXPECT_EQ(e.Update(ID_FIX_OPPOSITE).checked, step.opposite);
    }
    EXPECT_EQ(BlockAddress(e.doc->m_picNew), block);
}

// ---- Undo and Redo of the history -------------------------------------------------------------

TEST(History, TheMenuNamesTheStepAndCtrlYRedoesIt)
{
    Editor e(40, 30, Output::TrueColor);
    e.doc->ResetHistory();
    CMainFrame& frame = *e.s.Frame();
    QAction* undo = frame.Actions().Action(ID_EDIT_UNDO);
    QAction* redo = nullptr;
    for (QAction* action : frame.actions())
        if (action->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
            redo = action;
    ASSERT_NE(redo, nullptr);
    frame.UpdateCommandUI();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "&Undo\tAlt+Backspace");

    ScriptModalRuns(e.s.prompt, {[](QDialog& d) {
        CResizeDlg& dlg = ResizeDialog(d);
        dlg.m_percentageEdit->setText("50");
        dlg.m_ok->click();
        return dlg.result();
    }});
    ASSERT_TRUE(e.Run(ID_RESIZE_DELUXE));
    const std::vector<std::uint8_t> resized = PictureBytes(e.doc->m_picNew);
    frame.UpdateCommandUI();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "&Undo Resize\tAlt+Backspace");
    EXPECT_FALSE(redo->isEnabled());

    undo->trigger();
    EXPECT_EQ(e.doc->m_picNew.Width(), 40);
    EXPECT_EQ(PictureBytes(e.doc->m_picNew), e.Expected(e.doc->m_filter));
    frame.UpdateCommandUI();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_EQ(redo->text(), "&Redo Resize\tCtrl+Y");

    redo->trigger();
    EXPECT_DOUBLE_EQ(e.doc->m_scale, 0.5);
    EXPECT_EQ(PictureBytes(e.doc->m_picNew), resized);
}

// ---- JPEG quality (a document command) --------------------------------------------------------

TEST(JpegQualityCommand, RunsOnTheActiveDocumentWithoutUpdateRule)
{
    Editor e(16, 8, Output::TrueColor);
    EXPECT_TRUE(e.Update(ID_JPEG_QUALITY).enabled);
    ScriptModalRuns(e.s.prompt, {[](QDialog& d) {
        auto& dlg = dynamic_cast<CJpegQualityDlg&>(d);
        dlg.m_edit->setText("75");
        dlg.m_ok->click();
        return dlg.result();
    }});
    ASSERT_TRUE(e.Run(ID_JPEG_QUALITY));
    EXPECT_EQ(e.doc->m_jpegQuality, 75);
}
