#pragma once
// A prompt for tests: records every message and answers "Choose Output" with
// scripted choices (then the default, 0).
#include "platform/Prompt.h"

#include <deque>
#include <string>
#include <vector>

namespace lumacut {

class RecordingPrompt : public IPrompt {
public:
    struct Entry {
        std::string text;
        PromptIcon icon;
    };

    void Message(const std::string& text, PromptIcon icon) override { messages.push_back({text, icon}); }
    int ChooseOutput() override
    {
        ++outputQuestions;
        if (outputChoices.empty())
            return kOutputTwoColor;
        int choice = outputChoices.front();
        outputChoices.pop_front();
        return choice;
    }

    // Texts of the messages shown, in order; without the information boxes
    // when `withInformation` is false.
    std::vector<std::string> Texts(bool withInformation = true) const { return TextsOf(messages, withInformation); }

    static std::vector<std::string> TextsOf(const std::vector<Entry>& entries, bool withInformation)
    {
        std::vector<std::string> out;
        for (const Entry& e : entries)
            if (withInformation || e.icon != PromptIcon::Information)
                out.push_back(e.text);
        return out;
    }
    void Clear() { messages.clear(); }

    std::vector<Entry> messages;
    std::deque<int> outputChoices;
    int outputQuestions = 0;
};

} // namespace lumacut
