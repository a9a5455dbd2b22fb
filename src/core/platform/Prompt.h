#pragma once
// The prompt seam: every message box and every modal question of the core goes
// through one interface. The editor shows Qt dialogs, lumacut-render prints to
// standard error, tests record the texts and script the answers.
#include <string>

namespace lumacut {

enum class PromptIcon { None, Information, Warning, Error };

// Output kinds offered by "Choose Output", in the order of its radio buttons.
enum OutputChoice : int { kOutputTwoColor = 0, kOutputGrey = 1, kOutputTrueColor = 2 };

class IPrompt {
public:
    virtual ~IPrompt() = default;
    // A message box with an OK button only.
    virtual void Message(const std::string& text, PromptIcon icon) = 0;
    // "Choose Output": the index of the checked radio button however the
    // dialog was closed (0 when it was closed without OK).
    virtual int ChooseOutput() = 0;
};

// The prompt the core uses. Never null: falls back to standard error and
// "Two Color" until someone installs another.
IPrompt& Prompt();
// Installs a prompt (nullptr restores the fallback); returns the previous one.
IPrompt* SetPrompt(IPrompt* prompt);

// Shorthands for the common call.
void ShowMessage(const std::string& text, PromptIcon icon = PromptIcon::None);

// Installs a prompt for the lifetime of a scope (tests, the command-line tool).
class ScopedPrompt {
public:
    explicit ScopedPrompt(IPrompt& prompt) : m_previous(SetPrompt(&prompt)) {}
    ~ScopedPrompt() { SetPrompt(m_previous); }
    ScopedPrompt(const ScopedPrompt&) = delete;
    ScopedPrompt& operator=(const ScopedPrompt&) = delete;

private:
    IPrompt* m_previous;
};

} // namespace lumacut
