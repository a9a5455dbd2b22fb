#pragma once
// The printer settings the whole program shares (Print Setup changes them,
// Print and Print Preview use them).
class QPrinter;

namespace lumacut {

QPrinter& SharedPrinter();

} // namespace lumacut
