// 't': the open documents listed from the active window round.
#include "app/CMainFrame.h"
#include "framework/CommandIds.h"
#include "platform/Messages.h"
#include "support/ScriptedGuiPrompt.h"
#include "support/StartedApp.h"

#include <QTest>

#include <gtest/gtest.h>

namespace lumacut {
namespace {

TEST(ViewListDocuments, CharacterTListsEveryDocumentOnceAndCounts)
{
    StartedApp s;
    ASSERT_TRUE(s.started);
    ASSERT_TRUE(s.Frame()->OnCmdMsg(ID_FILE_NEW));
    ASSERT_TRUE(s.Frame()->OnCmdMsg(ID_FILE_NEW));
    ASSERT_EQ(s.FrameCount(), 3);
    CDibView* view = s.Frame()->ActiveView();
    ASSERT_NE(view, nullptr);
    const std::string active = view->GetDocument()->GetTitle();

    s.prompt.messages.clear();
    QTest::keyClick(view, 't');
    ASSERT_EQ(s.prompt.messages.size(), 1u);
    const std::string text = s.prompt.messages[0].text;
    EXPECT_EQ(s.prompt.messages[0].icon, PromptIcon::Warning);
    EXPECT_EQ(text.rfind(std::string(msg::kResultsHeader) + "\r\n" + active + "\r\n", 0), 0u) << text;
    for (const char* title : {"Lumacut1", "Lumacut2", "Lumacut3"})
        EXPECT_NE(text.find(std::string(title) + "\r\n"), std::string::npos) << title;
    EXPECT_EQ(text.substr(text.size() - 6), "  3  0");
    // The walk comes round to where it started.
    EXPECT_EQ(s.Frame()->ActiveView()->GetDocument()->GetTitle(), active);

    // Upper case is no command.
    s.prompt.messages.clear();
    QTest::keyClick(view, 'T');
    EXPECT_TRUE(s.prompt.messages.empty());
}

} // namespace
} // namespace lumacut
