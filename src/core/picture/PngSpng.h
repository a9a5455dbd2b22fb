#pragma once
// Shared by the PNG reader and writer: the library's context owned, and the
// message for a file that cannot be opened.
#include "platform/Messages.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <spng.h>

namespace lumacut::png {

struct ContextDeleter {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using Context = std::unique_ptr<spng_ctx, ContextDeleter>;

// "can't open %s\n" with the path.
inline std::string CantOpenText(const std::string& path)
{
    const std::string format(msg::kCantOpenFormat);
    std::vector<char> text(path.size() + format.size() + 1);
    std::snprintf(text.data(), text.size(), format.c_str(), path.c_str());
    return text.data();
}

} // namespace lumacut::png
