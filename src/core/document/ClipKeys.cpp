#include "document/ClipKeys.h"

#include "document/ClipFitting.h"
#include "picture/Helpers.h"

#include <cmath>

namespace lumacut {

ClipKeyResult ApplyClipKey(ClipKey key, bool shift, bool ctrl, const Rect& clip, int W, int H, double tilt,
                           const ClipFitOptions& options)
{
    const int step = ctrl ? 10 : 1;
    const int moveStep = shift ? step : 0;
    Rect r = clip;
    bool changed = false;

    switch (key) {
    case ClipKey::Home:
        r.right -= r.left;
        r.bottom -= r.top;
        r.left = 0;
        r.top = 0;
        changed = true;
        break;
    case ClipKey::End: {
        const int width = r.right - r.left;
        const int height = r.bottom - r.top;
        r.right = W - 1;
        r.bottom = H - 1;
        r.left = W - 1 - width;
        r.top = H - 1 - height;
        changed = true;
        break;
    }
    case ClipKey::Up:
        if (r.top > 0 || !shift) {
            r.top -= moveStep;
            r.bottom -= step;
            changed = true;
        }
        break;
    case ClipKey::Down:
        r.top += moveStep;
        r.bottom += step;
        changed = true;
        break;
    case ClipKey::Right:
        r.left += moveStep;
        r.right += step;
        changed = true;
        break;
    case ClipKey::Left:
        if (r.left > 0 || !shift) {
            r.left -= moveStep;
            r.right -= step;
            changed = true;
        }
        break;
    }

    // Edges may sit on W and H: the region's right and bottom are exclusive.
    ClampInt(0, r.top, H);
    ClampInt(0, r.bottom, H);
    ClampInt(0, r.left, W);
    ClampInt(0, r.right, W);

    if (!changed)
        return {false, clip};
    r = NormalizedRect(r);
    if (std::fabs(tilt) > kClipFitMinTilt) {
        if (options.fixLeft)
            FixLeftLimit(tilt, W, H, r, options.fixOpposite);
        if (options.fixRight)
            FixRightLimit(tilt, W, H, r, options.fixOpposite);
    }
    return {true, r};
}

} // namespace lumacut
