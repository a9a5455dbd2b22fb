// The main window: status prompts, toolbar, dropped files.
#include "support/StartedApp.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>

namespace lumacut {
namespace {

TEST(MainFrame, MessagePaneShowsTheCommandPromptThenReady)
{
    StartedApp s;
    QAction* save = s.Frame()->Actions().Action(ID_FILE_SAVE);
    save->showStatusText(s.Frame());
    EXPECT_EQ(s.Frame()->MessagePaneText(), "Save the active document");
    s.Frame()->StatusBar()->clearMessage();
    EXPECT_EQ(s.Frame()->MessagePaneText(), "Ready");
}

TEST(MainFrame, ToolbarAlongTheTopFixedWithCaptionsAsTooltips)
{
    StartedApp s;
    QToolBar* bar = s.Frame()->ToolBar();
    EXPECT_FALSE(bar->isMovable());
    EXPECT_FALSE(bar->isFloatable());
    EXPECT_EQ(s.Frame()->toolBarArea(bar), Qt::TopToolBarArea);
    ASSERT_EQ(bar->actions().size(), kToolbarSlots);
    int separators = 0;
    for (QAction* action : bar->actions()) {
        separators += action->isSeparator();
        if (!action->isSeparator()) {
            EXPECT_FALSE(action->icon().isNull()) << action->data().toInt();
            EXPECT_FALSE(action->toolTip().isEmpty()) << action->data().toInt();
        }
    }
    EXPECT_EQ(separators, 4);
    EXPECT_EQ(bar->actions()[2]->toolTip(), "Save (Ctrl+S)");
    EXPECT_EQ(bar->actions()[12]->toolTip(), "Clip");
    EXPECT_EQ(bar->actions().back()->toolTip(), "Split View");
}

TEST(MainFrame, TheViewRouteEnablesViewCommandsAndLeavesUnwrittenOnesDisabled)
{
    StartedApp s;
    s.Frame()->UpdateCommandUI();
    const CommandActions& actions = s.Frame()->Actions();
    EXPECT_TRUE(actions.Action(ID_ZOOM_100)->isEnabled());
    EXPECT_TRUE(actions.Action(ID_ZOOM_100)->isChecked());
    EXPECT_TRUE(actions.Action(ID_SHOW_ORIGINAL)->isChecked());
    EXPECT_TRUE(actions.Action(ID_WINDOW_NEW)->isEnabled());
    EXPECT_TRUE(actions.Action(ID_FILE_OPEN)->isEnabled());
    // No handler anywhere on the route.
    EXPECT_FALSE(actions.Action(ID_EDIT_CUT)->isEnabled());
    EXPECT_FALSE(actions.Action(ID_NEXT_PANE)->isEnabled());
    // Triggering a disabled command does nothing.
    EXPECT_FALSE(s.Frame()->OnCmdMsg(ID_EDIT_CUT));
}

TEST(MainFrame, CommandsOnThePicturesWaitForAPicture)
{
    const int needPicture[] = {ID_COLOR_CHANGE, ID_RESIZE_DELUXE, ID_FILE_SAVE,  ID_FILE_SAVE_AS, ID_FILE_PRINT,
                               ID_EDIT_COPY,    ID_CLIP_TOGGLE,   ID_FOCUS_RECT, ID_FIX_LEFT};
    {
        StartedApp s; // an empty document
        s.Frame()->UpdateCommandUI();
        for (int id : needPicture)
            EXPECT_FALSE(s.Frame()->Actions().Action(id)->isEnabled()) << FindCommand(id)->name;
        EXPECT_FALSE(s.Frame()->OnCmdMsg(ID_COLOR_CHANGE));
        EXPECT_TRUE(s.prompt.messages.empty());
    }
    StartedApp loaded({QStringLiteral(LUMACUT_TESTDATA_DIR "/bmpsuite/g/rgb24.bmp")});
    loaded.Frame()->UpdateCommandUI();
    for (int id : needPicture)
        EXPECT_TRUE(loaded.Frame()->Actions().Action(id)->isEnabled()) << FindCommand(id)->name;
}

TEST(MainFrame, ShortcutsReachTheActiveView)
{
    StartedApp s;
    CDibView* view = s.Frame()->ActiveView();
    s.Frame()->Actions().Action(ID_ZOOM_NEXT)->trigger();
    EXPECT_EQ(view->m_zoom, 2);
    s.Frame()->Actions().Action(ID_ZOOM_PREV)->trigger();
    s.Frame()->Actions().Action(ID_ZOOM_PREV)->trigger();
    EXPECT_EQ(view->m_zoom, 0);
}

TEST(MainFrame, DroppedFilesOpenInNewWindows)
{
    StartedApp s;
    EXPECT_TRUE(s.Frame()->acceptDrops());
    s.Frame()->OnDropFiles({QUrl::fromLocalFile("/nonexistent/a.txt"), QUrl("http://example.com/b.bmp")});
    // Neither opens: a file of no known type, and no local file.
    EXPECT_EQ(s.FrameCount(), 1);

    const QString picture = QStringLiteral(LUMACUT_TESTDATA_DIR "/bmpsuite/g/rgb24.bmp");
    s.Frame()->OnDropFiles({QUrl::fromLocalFile(picture)});
    EXPECT_EQ(s.FrameCount(), 2);
    EXPECT_EQ(s.Frame()->ActiveView()->GetDocument()->GetPathName(), picture.toStdString());

    // The type follows the ending in any letter case, as a camera writes it.
    QTemporaryDir dir;
    const QString upper = dir.filePath(QStringLiteral("SHOT.PNG"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(LUMACUT_TESTDATA_DIR "/pngsuite/basn2c08.png"), upper));
    s.Frame()->OnDropFiles({QUrl::fromLocalFile(upper)});
    EXPECT_EQ(s.FrameCount(), 3);
    EXPECT_TRUE(s.Frame()->ActiveView()->GetDocument()->m_pictureReady);
}

} // namespace
} // namespace lumacut

namespace lumacut {
namespace {

TEST(MainFrame, WindowMenuListsTheOpenWindows)
{
    StartedApp s;
    s.Frame()->OnCmdMsg(ID_WINDOW_NEW);
    s.Frame()->OnCmdMsg(ID_FILE_NEW);
    QMenu* window = nullptr;
    for (QAction* action : s.Frame()->menuBar()->actions())
        if (action->text() == "&Window")
            window = action->menu();
    ASSERT_NE(window, nullptr);
    emit window->aboutToShow();
    emit window->aboutToShow(); // twice: the list is not repeated
    QStringList listed;
    for (QAction* action : window->actions())
        if (action->property("windowList").toBool() && !action->isSeparator())
            listed << action->text();
    EXPECT_EQ(listed, (QStringList{"&1 Lumacut1:1", "&2 Lumacut1:2", "&3 Lumacut2"}));
    // Choosing an entry activates its window.
    for (QAction* action : window->actions())
        if (action->text() == "&1 Lumacut1:1")
            action->trigger();
    EXPECT_EQ(s.Frame()->ActiveChild()->windowTitle(), "Lumacut1:1");
}

} // namespace
} // namespace lumacut
