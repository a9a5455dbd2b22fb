#pragma once
// Small shared helpers: rounding, clamping, file types, base names.
#include <cstdint>
#include <string>

namespace lumacut {

// floor(v + 0.5): halves go up, also for negative v (-2.5 gives -2).
int RoundHalfUp(double v);
// RoundHalfUp, then clamped to 0..255.
std::uint8_t ClampRound(double v);
// In place: below low becomes low, then above high becomes high.
void ClampInt(int low, int& value, int high);

enum FileType : int { kFileTypeNone = -1, kFileTypeBmp = 1, kFileTypeJpeg = 2 };
// By the last four characters, any letter case: ".bmp" 1, ".jpg" 2, else -1
// (also for a path of four characters or fewer).
int FileTypeOf(const std::string& path);
// The name up to its first "." (the whole name without one).
std::string StripExtension(const std::string& name);

} // namespace lumacut
