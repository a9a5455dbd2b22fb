#pragma once
// Messages on standard error, for the command-line tool; questions get their
// default answer (or the one set beforehand).
#include "platform/Prompt.h"

#include <mutex>

namespace lumacut {

class StderrPrompt : public IPrompt {
public:
    explicit StderrPrompt(int outputChoice = kOutputTwoColor) : m_outputChoice(outputChoice) {}
    void Message(const std::string& text, PromptIcon icon) override;
    int ChooseOutput() override { return m_outputChoice; }
    void SetOutputChoice(int choice) { m_outputChoice = choice; }
    // Prefix put before every message (the file being worked on, say).
    void SetPrefix(std::string prefix) { m_prefix = std::move(prefix); }
    // Information boxes (the picture information) are printed only when verbose.
    void SetVerbose(bool verbose) { m_verbose = verbose; }

private:
    int m_outputChoice;
    std::string m_prefix;
    bool m_verbose = false;
};

} // namespace lumacut
