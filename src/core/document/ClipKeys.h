#pragma once
// The clip region moved and resized with the keyboard: Home, End and the
// arrows, with Shift (move the whole region) and Ctrl (steps of 10 pixels).
#include "picture/Rect.h"

namespace lumacut {

enum class ClipKey { Home, End, Up, Down, Left, Right };

// The clipping options of the view (Tools > Clipping).
struct ClipFitOptions {
    bool fixLeft = false;
    bool fixRight = false;
    bool fixOpposite = false;
};

struct ClipKeyResult {
    bool changed = false; // store `rect` and redraw only when set
    Rect rect;
};

// The new clip region after one key on `clip` (top-down pixels of the shown
// picture of W x H). Without Shift an arrow moves only the bottom or right
// edge; with Shift Up and Left stop at the top and left edges. The edges are
// clamped to 0..H and 0..W; a changed region is normalised and, when the
// picture is tilted by more than kClipFitMinTilt, fitted by the chosen limit.
ClipKeyResult ApplyClipKey(ClipKey key, bool shift, bool ctrl, const Rect& clip, int W, int H, double tilt,
                           const ClipFitOptions& options);

} // namespace lumacut
