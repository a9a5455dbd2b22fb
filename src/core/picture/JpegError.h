#pragma once
// Shared by the JPEG reader and writer. libjpeg's error manager, made to come back instead of ending the process:
// error_exit formats the library's text into the manager and long-jumps to
// the point set by the adapter's small coding function. No C++ object with
// a destructor may live in the frames between that setjmp and the jump.
#include "platform/Messages.h"

#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace lumacut::jpeg {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
    char warning[JMSG_LENGTH_MAX]; // the first warning, when CollectWarnings was called
};

// Installs the manager in `common`'s err field with error_exit replaced.
inline void InstallErrorManager(ErrorManager& manager, jpeg_common_struct& common)
{
    common.err = jpeg_std_error(&manager.pub);
    manager.pub.error_exit = [](j_common_ptr cinfo) {
        auto* self = reinterpret_cast<ErrorManager*>(cinfo->err);
        (*cinfo->err->format_message)(cinfo, self->text);
        std::longjmp(self->jump, 1);
    };
    manager.text[0] = '\0';
    manager.warning[0] = '\0';
}

// Keeps the library's first warning (damaged data it decodes past) in the
// manager instead of printing it, so the reader can show it once the
// picture is read. Trace messages stay silent as before.
inline void CollectWarnings(ErrorManager& manager)
{
    manager.pub.emit_message = [](j_common_ptr cinfo, int level) {
        if (level >= 0)
            return;
        auto* self = reinterpret_cast<ErrorManager*>(cinfo->err);
        if (cinfo->err->num_warnings++ == 0)
            (*cinfo->err->format_message)(cinfo, self->warning);
    };
}

// "can't open %s\n" with the path, shown when a file cannot be opened.
inline std::string CantOpenText(const std::string& path)
{
    const std::string format(msg::kCantOpenFormat);
    std::vector<char> text(path.size() + format.size() + 1);
    std::snprintf(text.data(), text.size(), format.c_str(), path.c_str());
    return text.data();
}

} // namespace lumacut::jpeg
