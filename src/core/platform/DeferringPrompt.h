#pragma once
// Holds the messages of work on another thread until the work has ended, so
// that they are shown in order on the thread that owns the screen.
#include "platform/Prompt.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace lumacut {

class DeferringPrompt : public IPrompt {
public:
    explicit DeferringPrompt(IPrompt& next) : m_next(next) {}
    void Message(const std::string& text, PromptIcon icon) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_held.emplace_back(text, icon);
    }
    // Work on another thread never asks; answer as the fallback would.
    int ChooseOutput() override { return kOutputTwoColor; }
    // Shows what was held, through the prompt behind.
    void Release()
    {
        std::vector<std::pair<std::string, PromptIcon>> held;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            held.swap(m_held);
        }
        for (auto& [text, icon] : held)
            m_next.Message(text, icon);
    }

private:
    IPrompt& m_next;
    std::mutex m_mutex;
    std::vector<std::pair<std::string, PromptIcon>> m_held;
};

} // namespace lumacut
