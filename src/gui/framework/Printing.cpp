#include "framework/Printing.h"

#include <QPrinter>

namespace lumacut {

QPrinter& SharedPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

} // namespace lumacut
