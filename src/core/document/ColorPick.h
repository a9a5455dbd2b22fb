#pragma once
// Picking a colour from the Original and keeping reference colours in the
// document's colour list.
#include <cstdint>

namespace lumacut {

class CDibDoc;

// The Original's colour (0x00BBGGRR) at column x, top-down row y; false
// outside the Original (and then `color` is 0).
bool PickOriginalColor(CDibDoc& doc, int x, int y, std::uint32_t& color);

// "Add Color to List": stored while the list holds fewer than 10 colours;
// false when the list is full (nothing changes then).
bool AddColorToList(CDibDoc& doc, std::uint32_t color);
// "Clear List": the entries stay but no longer count.
void ClearColorList(CDibDoc& doc);

} // namespace lumacut
