#include "document/DocNaming.h"

namespace lumacut {

std::string BaseNameOf(const std::string& path)
{
    std::string::size_type slash = path.find_last_of('/');
    std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string::size_type first = path.find_first_not_of('.', nameStart);
    if (first == std::string::npos)
        return path;
    std::string::size_type dot = path.find('.', first);
    return dot == std::string::npos ? path : path.substr(0, dot);
}

} // namespace lumacut
