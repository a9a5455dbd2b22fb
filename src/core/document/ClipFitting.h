#pragma once
// Fitting the clip region into a tilted picture: the shown picture is the
// untilted one turned by the tilt about its centre, and a clipping limit keeps
// the region inside what the turn leaves of the picture.
#include "picture/Rect.h"

namespace lumacut {

// Below this tilt (radians, by magnitude) the limits are not applied; the
// fitting divides by the sine and the cosine of the tilt.
inline constexpr double kClipFitMinTilt = 0.001;

// left <= right and top <= bottom.
Rect NormalizedRect(Rect r);

// Keep the left edge; move top and bottom onto the picture's edges along that
// column and, with `opposite`, the right edge too. `r` is normalised, top-down;
// W and H are the shown picture's size; |tilt| > kClipFitMinTilt. Returns true.
bool FixLeftLimit(double tilt, int W, int H, Rect& r, bool opposite);
// The same, keeping the right edge (and moving the left one with `opposite`).
bool FixRightLimit(double tilt, int W, int H, Rect& r, bool opposite);

} // namespace lumacut
