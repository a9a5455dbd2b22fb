#pragma once
// Shared by the TIFF reader and writer: libtiff's open options with handlers
// of our own, so that its errors become our messages and its warnings are
// dropped, all per handle and never through the library's global handlers.
#include "picture/Limits.h"
#include "platform/Messages.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include <tiffio.h>

namespace lumacut::tiff {

// The library's largest single allocation: an 8-bit four-sample picture at
// the size limits, the most a strip or tile of a picture we accept can need.
inline constexpr tmsize_t kMaxSingleAlloc = static_cast<tmsize_t>(kMaxPixels * 4);

// The first error since Clear(), as "module: text".
struct Errors {
    std::string text;
    void Clear() { text.clear(); }
};

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
using Options = std::unique_ptr<TIFFOpenOptions, OptionsDeleter>;

inline Options MakeOptions(Errors& errors)
{
    Options options(TIFFOpenOptionsAlloc());
    if (!options)
        return options;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxSingleAlloc);
    TIFFOpenOptionsSetErrorHandlerExtR(
        options.get(),
        [](TIFF*, void* user, const char* module, const char* format, va_list args) -> int {
            auto* self = static_cast<Errors*>(user);
            if (self->text.empty()) {
                char text[512];
                std::vsnprintf(text, sizeof text, format, args);
                self->text = module && *module ? std::string(module) + ": " + text : std::string(text);
            }
            return 1; // handled: nothing reaches the global handler
        },
        &errors);
    TIFFOpenOptionsSetWarningHandlerExtR(
        options.get(), [](TIFF*, void*, const char*, const char*, va_list) -> int { return 1; }, nullptr);
    return options;
}

struct Closer {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using Handle = std::unique_ptr<TIFF, Closer>;

// "can't open %s\n" with the path, shown when a file cannot be opened.
inline std::string CantOpenText(const std::string& path)
{
    const int size = std::snprintf(nullptr, 0, msg::kCantOpenFormat.data(), path.c_str());
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    std::snprintf(text.data(), text.size() + 1, msg::kCantOpenFormat.data(), path.c_str());
    return text;
}

} // namespace lumacut::tiff
