#include "lumacut-render/ToolConsole.h"

#include "platform/Messages.h"

namespace lumacut::render {

namespace {

thread_local ToolConsole::ScopedFile* t_file = nullptr;

bool IsPictureInformation(const std::string& text)
{
    // Its first line starts with the fixed words of the first format.
    const std::string_view format = msg::kInfoLine1;
    const std::string_view lead = format.substr(0, format.find('%'));
    return text.compare(0, lead.size(), lead) == 0;
}

} // namespace

ToolConsole::ScopedFile::ScopedFile(const std::string& name) : m_name(name), m_previous(t_file)
{
    t_file = this;
}

ToolConsole::ScopedFile::~ScopedFile()
{
    t_file = m_previous;
}

ToolConsole::ToolConsole(int outputChoice, bool verbose, bool progress, std::FILE* out, std::FILE* errors)
    : m_outputChoice(outputChoice), m_verbose(verbose), m_progress(progress), m_out(out), m_errors(errors)
{
}

void ToolConsole::Message(const std::string& text, PromptIcon icon)
{
    // The picture information text is output of -v. Every other message is
    // about something that went wrong, refusals the program shows with the
    // information icon ("BMP is too large") included.
    if (icon == PromptIcon::Information && IsPictureInformation(text)) {
        if (m_verbose)
            Print(text);
        return;
    }
    if (t_file)
        ++t_file->m_messages;
    std::lock_guard<std::mutex> lock(m_mutex);
    WriteLocked(m_errors, text);
}

void ToolConsole::Print(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    WriteLocked(m_out, text);
}

void ToolConsole::WriteLocked(std::FILE* stream, const std::string& text)
{
    if (!m_progressText.empty())
        std::fputs("\r\033[K", m_errors);
    const std::string lead = t_file ? t_file->m_name + ": " : std::string();
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::fputs((lead + line + "\n").c_str(), stream);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (text.empty())
        std::fputs((lead + "\n").c_str(), stream);
    std::fflush(stream);
    if (!m_progressText.empty()) {
        std::fputs(m_progressText.c_str(), m_errors);
        std::fflush(m_errors);
    }
}

void ToolConsole::Progress(int done, int total)
{
    if (!m_progress)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_progressText = "rendered " + std::to_string(done) + " of " + std::to_string(total);
    std::fputs(("\r\033[K" + m_progressText).c_str(), m_errors);
    std::fflush(m_errors);
}

void ToolConsole::EndProgress()
{
    if (!m_progress)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_progressText.empty())
        std::fputs("\r\033[K", m_errors);
    std::fflush(m_errors);
    m_progressText.clear();
}

} // namespace lumacut::render
