#include "platform/Prompt.h"
#include "support/RecordingPrompt.h"

#include <gtest/gtest.h>

using namespace lumacut;

TEST(PromptSeam, ScopedPromptRecordsAndRestores)
{
    RecordingPrompt outer;
    ScopedPrompt a(outer);
    {
        RecordingPrompt inner;
        inner.outputChoices = {2};
        ScopedPrompt b(inner);
        ShowMessage("inner", PromptIcon::Information);
        EXPECT_EQ(Prompt().ChooseOutput(), 2);
        EXPECT_EQ(Prompt().ChooseOutput(), 0); // script used up: the default
        ASSERT_EQ(inner.messages.size(), 1u);
        EXPECT_EQ(inner.messages[0].text, "inner");
        EXPECT_TRUE(inner.Texts(false).empty());
    }
    ShowMessage("outer");
    EXPECT_EQ(outer.Texts(), std::vector<std::string>{"outer"});
}
