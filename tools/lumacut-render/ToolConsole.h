#pragma once
// The prompt of lumacut-render: answers "Choose Output" with -t and prints
// messages, each led by the name of the file it concerns. Renders run on
// several threads at once; every thread names its file with a ScopedFile,
// and all output goes through one lock so lines never mix. It also keeps the
// progress line on a terminal out of the way of the messages.
#include "platform/Prompt.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace lumacut::render {

class ToolConsole : public IPrompt {
public:
    // Messages go to `errors`; with `verbose` the picture information text
    // (and Print) goes to `out`. `progress`: keep a progress line on `errors`.
    ToolConsole(int outputChoice, bool verbose, bool progress, std::FILE* out = stdout, std::FILE* errors = stderr);

    void Message(const std::string& text, PromptIcon icon) override;
    int ChooseOutput() override { return m_outputChoice; }

    // A line on `out`, led by the current file's name (for -v).
    void Print(const std::string& text);
    // A message about the current file, as the core's messages are shown.
    void Error(const std::string& text) { Message(text, PromptIcon::Error); }

    // The progress line: `done` of `total` files finished.
    void Progress(int done, int total);
    // Removes the progress line (before the program ends).
    void EndProgress();

    // Names the file the calling thread works on, for as long as it lives,
    // and counts the messages shown about it (information boxes aside).
    class ScopedFile {
    public:
        explicit ScopedFile(const std::string& name);
        ~ScopedFile();
        ScopedFile(const ScopedFile&) = delete;
        ScopedFile& operator=(const ScopedFile&) = delete;
        int Messages() const { return m_messages; }

    private:
        friend class ToolConsole;
        std::string m_name;
        int m_messages = 0;
        ScopedFile* m_previous;
    };

private:
    // With the lock held: writes `text` to `stream` with each line led by
    // the current file's name, clearing and redrawing the progress line.
    void WriteLocked(std::FILE* stream, const std::string& text);

    const int m_outputChoice;
    const bool m_verbose;
    const bool m_progress;
    std::FILE* const m_out;
    std::FILE* const m_errors;
    std::mutex m_mutex;
    std::string m_progressText;
};

} // namespace lumacut::render
