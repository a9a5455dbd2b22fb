// The recent-file list: four entries, newest first, kept in the settings,
// fed by the documents and shown in the File menu.
#include "support/StartedApp.h"
#include "framework/RecentFileList.h"

#include <QAction>
#include <gtest/gtest.h>

namespace lumacut {
namespace {

TEST(RecentFileList, KeepsFourNewestFirstWithoutRepeats)
{
    UseTestSettings();
    CRecentFileList list(4);
    for (const char* p : {"/p/a.bmp", "/p/b.bmp", "/p/c.jpg", "/p/d.bmp", "/p/e.bmp"})
        list.Add(p);
    EXPECT_EQ(list.Paths(), (QStringList{"/p/e.bmp", "/p/d.bmp", "/p/c.jpg", "/p/b.bmp"}));
    list.Add("/p/c.jpg"); // moves up, nothing repeats
    EXPECT_EQ(list.Paths(), (QStringList{"/p/c.jpg", "/p/e.bmp", "/p/d.bmp", "/p/b.bmp"}));
    EXPECT_EQ(list.MenuText(0), "&1 c.jpg");
    EXPECT_EQ(list.MenuText(3), "&4 b.bmp");
    EXPECT_EQ(list.MenuText(4), "");
}

TEST(RecentFileList, SurvivesTheProgramThroughTheSettings)
{
    UseTestSettings();
    {
        CRecentFileList list(4);
        list.Add("/p/one.bmp");
        list.Add("/p/two&three.bmp");
    }
    CRecentFileList again(4);
    again.Load();
    EXPECT_EQ(again.Paths(), (QStringList{"/p/two&three.bmp", "/p/one.bmp"}));
    EXPECT_EQ(again.MenuText(0), "&1 two&&three.bmp"); // a literal ampersand
    again.Remove(0);
    CRecentFileList third(4);
    third.Load();
    EXPECT_EQ(third.Paths(), (QStringList{"/p/one.bmp"}));
}

TEST(RecentFiles, DocumentsFeedTheListAndTheMenuShowsIt)
{
    StartedApp s;
    QAction* first = s.Frame()->Actions().Action(ID_FILE_MRU_FILE1);
    EXPECT_EQ(first->text(), "Recent File");
    EXPECT_FALSE(first->isEnabled());

    CDibDoc* doc = s.Frame()->ActiveView()->GetDocument();
    doc->SetPathName("/pictures/photo.bmp", true);
    doc->SetPathName("/pictures/other.bmp", false); // not listed
    s.Frame()->UpdateCommandUI();
    EXPECT_EQ(s.Docs().RecentFiles().Paths(), (QStringList{"/pictures/photo.bmp"}));
    EXPECT_EQ(first->text(), "&1 photo.bmp");
    EXPECT_TRUE(first->isEnabled());
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(s.Frame()->Actions().Action(ID_FILE_MRU_FILE1 + 1)->isVisible());
}

TEST(RecentFiles, AFileThatNoLongerOpensLeavesTheList)
{
    StartedApp s;
    s.Docs().RecentFiles().Add("/nonexistent/gone.bmp");
    s.Docs().RecentFiles().Add("/nonexistent/kept.txt");
    s.Frame()->UpdateCommandUI();
    s.Frame()->OnCmdMsg(ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(s.Docs().RecentFiles().Paths(), (QStringList{"/nonexistent/kept.txt"}));
    EXPECT_EQ(s.FrameCount(), 1); // no window for the failed open
}

} // namespace
} // namespace lumacut
