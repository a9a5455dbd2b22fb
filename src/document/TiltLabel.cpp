#include "document/TiltLabel.h"

#include <cstdio>

namespace lumacut {

std::string TiltLabel(double radians)
{
    char buffer[100]; // the dialog's own buffers hold 100 bytes
    std::snprintf(buffer, sizeof buffer, "%.2f degr?", radians * 57.29577951);
    return buffer;
}

} // namespace lumacut
