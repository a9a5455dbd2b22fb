#pragma once
// Readable GoogleTest output for the program's own values (QtPrinters.h has
// Qt's).
#include "picture/Rect.h"

#include <ostream>

namespace lumacut {

inline void PrintTo(const Rect& r, std::ostream* os)
{
    *os << '(' << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ')';
}

} // namespace lumacut
