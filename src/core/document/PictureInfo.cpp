#include "document/PictureInfo.h"

#include "picture/Dib.h"
#include "picture/DibValidate.h"
#include "platform/Messages.h"

#include <cstdarg>
#include <cstdio>

namespace lumacut {

namespace {

std::string Format(const char* format, ...)
{
    // The formats come from Messages.h as literals, so they end in a NUL.
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

int Field32(const std::uint8_t* dib, bool windowsForm, int offset)
{
    return windowsForm ? ReadLE32s(dib + offset) : 0;
}

} // namespace

std::string PictureInformationText(const std::uint8_t* dib, const DibCheck& check, int colors)
{
    // Each line is appended through "%s" to the text before it, as the
    // program has always built it.
    const bool windowsForm = check.headerSize >= kInfoHeaderSize;
    const int width = check.width;
    const int height = check.topDown ? -check.height : check.height;
    const int planes = windowsForm ? ReadLE16(dib + dib::kPlanes) : ReadLE16(dib + 8);
    std::string text = Format(msg::kInfoLine1.data(), width, height, colors);
    text = Format(msg::kInfoLine2.data(), text.c_str(), check.bitCount, check.headerSize, planes);
    text = Format(msg::kInfoLine3.data(), text.c_str(), Field32(dib, windowsForm, dib::kCompression), check.headerSize);
    text = Format(msg::kInfoLine4.data(), text.c_str(), Field32(dib, windowsForm, dib::kSizeImage),
                  Field32(dib, windowsForm, dib::kXPelsPerMeter), Field32(dib, windowsForm, dib::kYPelsPerMeter));
    const Resolution resolution = windowsForm ? ReadResolution(dib) : Resolution{};
    if (resolution.Known())
        text = Format(msg::kInfoResolution.data(), text.c_str(), DotsPerInch(resolution.x), DotsPerInch(resolution.y));
    return text;
}

} // namespace lumacut
