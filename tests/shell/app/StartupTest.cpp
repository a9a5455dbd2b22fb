// Start-up, untitled names, windows of a document, the modified flag and the
// save question.
#include "support/StartedApp.h"

#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <gtest/gtest.h>

namespace lumacut {
namespace {

QStringList MenuTitles(const CMainFrame& frame)
{
    QStringList titles;
    for (QAction* action : frame.menuBar()->actions())
        titles << action->text();
    return titles;
}

TEST(Startup, WithoutArgumentsShowsMainWindowThenOneEmptyDocument)
{
    StartedApp s;
    ASSERT_TRUE(s.started);
    EXPECT_TRUE(s.Frame()->isVisible());
    ASSERT_EQ(s.FrameCount(), 1);
    CDibView* view = s.Frame()->ActiveView();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->GetDocument(), nullptr);
    EXPECT_EQ(view->GetDocument()->GetTitle(), "Lumacut1");
    EXPECT_FALSE(view->GetDocument()->m_pictureReady);
    EXPECT_EQ(s.Frame()->windowTitle(), "Bitmap Lumacut Modification - Lumacut1");
    EXPECT_EQ(s.Frame()->ActiveChild()->windowTitle(), "Lumacut1");
    EXPECT_EQ(MenuTitles(*s.Frame()),
              (QStringList{"&File", "&Edit ", "Tools", "&Presets", "&View", "&Window", "&Help"}));
    EXPECT_TRUE(s.prompt.messages.empty());
}

TEST(Startup, WithAFileThatCannotBeOpenedShowsWhyAndRunsOnWithAnEmptyDocument)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.bmp"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture\n");
    file.close();
    const std::pair<QString, std::string> cases[] = {
        {QStringLiteral("/nonexistent/picture.txt"),
         "Only .bmp, .jpg, .png and .tif files can be opened or saved: /nonexistent/picture.txt"},
        {text, "Failed to read 2: " + text.toStdString() + ": not a BMP file."},
    };
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(message);
        StartedApp s({path});
        EXPECT_FALSE(s.started);
        EXPECT_EQ(s.prompt.Texts(), std::vector<std::string>{message});
        EXPECT_TRUE(s.Frame()->isVisible());
        ASSERT_EQ(s.FrameCount(), 1);
        CDibDoc* doc = s.Frame()->ActiveView()->GetDocument();
        EXPECT_EQ(doc->GetTitle(), "Lumacut1");
        EXPECT_FALSE(doc->m_pictureReady);
    }
}

TEST(Startup, StatusPanesStartWithTheirStartTexts)
{
    StartedApp s;
    EXPECT_EQ(s.Frame()->MessagePaneText(), "Ready");
    QLabel* size = s.Frame()->Pane(ID_INDICATOR_SIZE);
    QLabel* newSize = s.Frame()->Pane(ID_INDICATOR_NEWSIZE);
    ASSERT_TRUE(size && newSize);
    EXPECT_EQ(size->text(), "Old File Size               ");
    EXPECT_EQ(newSize->text(), "New File Size               ");
    // As wide as the start texts (plus the frame).
    const int textWidth = size->fontMetrics().horizontalAdvance(QString::fromLatin1(kSizeTextStart));
    EXPECT_GE(size->width(), textWidth);
    EXPECT_LT(size->width(), textWidth + 20);
    const int newTextWidth = newSize->fontMetrics().horizontalAdvance(QString::fromLatin1(kNewSizeTextStart));
    EXPECT_EQ(newSize->width() - newTextWidth, size->width() - textWidth);
}

TEST(Documents, NewGivesRunningUntitledNames)
{
    StartedApp s;
    EXPECT_TRUE(s.Frame()->OnCmdMsg(ID_FILE_NEW));
    EXPECT_TRUE(s.Frame()->OnCmdMsg(ID_FILE_NEW));
    std::vector<std::string> titles;
    for (CDibDoc* doc : s.Docs().Documents())
        titles.push_back(doc->GetTitle());
    EXPECT_EQ(titles, (std::vector<std::string>{"Lumacut1", "Lumacut2", "Lumacut3"}));
    EXPECT_EQ(s.FrameCount(), 3);
}

TEST(Documents, NewWindowShowsTheSameDocumentTwice)
{
    StartedApp s;
    CDibDoc* doc = s.Frame()->ActiveView()->GetDocument();
    EXPECT_TRUE(s.Frame()->OnCmdMsg(ID_WINDOW_NEW));
    ASSERT_EQ(s.FrameCount(), 2);
    std::vector<CChildFrame*> frames = s.Docs().FramesOf(*doc);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_NE(frames[0]->View(), frames[1]->View());
    EXPECT_EQ(frames[0]->windowTitle(), "Lumacut1:1");
    EXPECT_EQ(frames[1]->windowTitle(), "Lumacut1:2");
    EXPECT_EQ(doc->Views().size(), 2u);

    // Closing one window keeps the document; its title loses the number.
    frames[1]->close();
    ProcessDeletes();
    ASSERT_EQ(s.Docs().Documents().size(), 1u);
    EXPECT_EQ(doc->Views().size(), 1u);
    EXPECT_EQ(frames[0]->windowTitle(), "Lumacut1");
}

TEST(Documents, CloseAsksOnlyForModifiedDocuments)
{
    StartedApp s;
    CDibDoc* doc = s.Frame()->ActiveView()->GetDocument();

    // Modified: Cancel keeps it open.
    doc->SetModifiedFlag(true);
    s.prompt.saveAnswers = {SaveAnswer::Cancel};
    s.Frame()->OnCmdMsg(ID_FILE_CLOSE);
    ProcessDeletes();
    ASSERT_EQ(s.prompt.saveQuestions.size(), 1u);
    EXPECT_EQ(s.prompt.saveQuestions[0], "Save changes to Lumacut1?");
    EXPECT_EQ(s.FrameCount(), 1);

    // Discard closes it; the menu bar falls back to the no-document one.
    s.prompt.saveAnswers = {SaveAnswer::Discard};
    s.Frame()->OnCmdMsg(ID_FILE_CLOSE);
    ProcessDeletes();
    s.Frame()->UpdateCommandUI();
    EXPECT_EQ(s.FrameCount(), 0);
    EXPECT_TRUE(s.Docs().Documents().empty());
    EXPECT_EQ(MenuTitles(*s.Frame()), (QStringList{"&File", "&View", "&Help"}));
    EXPECT_EQ(s.Frame()->windowTitle(), "Bitmap Lumacut Modification");

    // Unmodified: no question.
    s.Frame()->OnCmdMsg(ID_FILE_NEW);
    s.Frame()->OnCmdMsg(ID_FILE_CLOSE);
    ProcessDeletes();
    EXPECT_EQ(s.prompt.saveQuestions.size(), 2u);
    EXPECT_EQ(s.FrameCount(), 0);
}

TEST(Documents, ClosingTheLastWindowOfAModifiedDocumentAsks)
{
    StartedApp s;
    CDibDoc* doc = s.Frame()->ActiveView()->GetDocument();
    s.Frame()->OnCmdMsg(ID_WINDOW_NEW);
    doc->SetModifiedFlag(true);
    std::vector<CChildFrame*> frames = s.Docs().FramesOf(*doc);
    frames[1]->close(); // another window remains: no question
    ProcessDeletes();
    EXPECT_TRUE(s.prompt.saveQuestions.empty());
    s.prompt.saveAnswers = {SaveAnswer::Cancel};
    EXPECT_FALSE(frames[0]->close());
    EXPECT_EQ(s.prompt.saveQuestions.size(), 1u);
    EXPECT_EQ(s.FrameCount(), 1);
}

TEST(Documents, ExitAsksForEachModifiedDocumentAndCancelStops)
{
    StartedApp s;
    s.Frame()->OnCmdMsg(ID_FILE_NEW);
    std::vector<CDibDoc*> docs = s.Docs().Documents();
    docs[1]->SetModifiedFlag(true);
    s.prompt.saveAnswers = {SaveAnswer::Cancel};
    EXPECT_FALSE(s.Frame()->close());
    EXPECT_EQ(s.prompt.saveQuestions, (std::vector<QString>{"Save changes to Lumacut2?"}));
    EXPECT_EQ(s.FrameCount(), 2);

    s.prompt.saveAnswers = {SaveAnswer::Discard};
    EXPECT_TRUE(s.Frame()->close());
    ProcessDeletes();
    EXPECT_EQ(s.FrameCount(), 0);
}

TEST(Commands, WithoutDocumentOnlyApplicationAndFrameCommandsAreEnabled)
{
    StartedApp s;
    s.Frame()->OnCmdMsg(ID_FILE_CLOSE);
    ProcessDeletes();
    s.Frame()->UpdateCommandUI();
    const CommandActions& actions = s.Frame()->Actions();
    EXPECT_TRUE(actions.Action(ID_FILE_NEW)->isEnabled());
    EXPECT_TRUE(actions.Action(ID_FILE_OPEN)->isEnabled());
    EXPECT_TRUE(actions.Action(ID_APP_EXIT)->isEnabled());
    EXPECT_TRUE(actions.Action(ID_VIEW_TOOLBAR)->isChecked());
    EXPECT_FALSE(actions.Action(ID_FILE_SAVE)->isEnabled());
    EXPECT_FALSE(actions.Action(ID_ZOOM_FIT)->isEnabled());
    EXPECT_FALSE(actions.Action(ID_EDIT_UNDO)->isEnabled());
    EXPECT_FALSE(actions.Action(ID_FILE_MRU_FILE1)->isEnabled());
}

TEST(Commands, ToolbarAndStatusBarToggle)
{
    StartedApp s;
    s.Frame()->OnCmdMsg(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(s.Frame()->ToolBar()->isHidden());
    EXPECT_FALSE(s.Frame()->Actions().Action(ID_VIEW_TOOLBAR)->isChecked());
    s.Frame()->OnCmdMsg(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(s.Frame()->StatusBar()->isHidden());
    s.Frame()->OnCmdMsg(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(s.Frame()->ToolBar()->isHidden());
    EXPECT_TRUE(s.Frame()->Actions().Action(ID_VIEW_TOOLBAR)->isChecked());
}

} // namespace
} // namespace lumacut
