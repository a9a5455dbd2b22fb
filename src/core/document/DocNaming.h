#pragma once
// How a document is named after its file.
#include <string>

namespace lumacut {

// The path up to the first "." of its file name: "a.b/photo.jpg" gives
// "a.b/photo" (a dot in a folder name never cuts, so a later save stays in
// the same folder), "photo.old.bmp" gives "photo". Leading dots belong to the
// name (".photo.jpg" gives ".photo"), so a hidden file never gives an empty one.
std::string BaseNameOf(const std::string& path);

} // namespace lumacut
