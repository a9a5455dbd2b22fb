#include "platform/StderrPrompt.h"

#include <cstdio>

namespace lumacut {

void StderrPrompt::Message(const std::string& text, PromptIcon icon)
{
    if (icon == PromptIcon::Information && !m_verbose)
        return;
    // Several renders may report at once; keep each message on its own lines.
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    std::string line = m_prefix + text;
    if (line.empty() || line.back() != '\n')
        line += '\n';
    std::fputs(line.c_str(), stderr);
}

} // namespace lumacut
