#include "platform/Prompt.h"

#include "platform/StderrPrompt.h"

namespace lumacut {

namespace {
// The prompt is set by the program's main thread before any work starts;
// worker threads only read it.
IPrompt* g_prompt = nullptr;

IPrompt& Fallback()
{
    static StderrPrompt fallback;
    return fallback;
}
} // namespace

IPrompt& Prompt()
{
    return g_prompt ? *g_prompt : Fallback();
}

IPrompt* SetPrompt(IPrompt* prompt)
{
    IPrompt* previous = g_prompt;
    g_prompt = prompt;
    return previous;
}

void ShowMessage(const std::string& text, PromptIcon icon)
{
    Prompt().Message(text, icon);
}

} // namespace lumacut
