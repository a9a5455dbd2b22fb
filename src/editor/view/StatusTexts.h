#pragma once
// The two picture-size texts of the status bar: written by the view, shown by
// the main frame in panes 102 and 107.
#include <string>

namespace lumacut {

// The words and 15 blanks, 28 characters each; the panes are as wide as these.
inline constexpr const char* kSizeTextStart = "Old File Size               ";
inline constexpr const char* kNewSizeTextStart = "New File Size               ";

extern std::string g_sizeText;
extern std::string g_newSizeText;

} // namespace lumacut
