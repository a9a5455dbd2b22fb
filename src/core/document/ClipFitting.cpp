#include "document/ClipFitting.h"

#include "picture/Helpers.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace lumacut {

namespace {

// The crossings of a column or row of the shown picture with the edges of the
// untilted one, with (x, y) shown over X = cx + c(x - cx) - s(y - cy),
// Y = cy + s(x - cx) + c(y - cy).
class TurnedPicture {
public:
    TurnedPicture(double tilt, int W, int H)
        : m_c(std::cos(tilt)), m_s(std::sin(tilt)), m_cx(W / 2.0), m_cy(H / 2.0)
    {
    }

    // Row at which column x0 meets the source column X = k.
    int RowX(int x0, double k) const { return Round(m_cy + (m_cx - k + m_c * (x0 - m_cx)) / m_s); }
    // Row at which column x0 meets the source row Y = k.
    int RowY(int x0, double k) const { return Round(m_cy + (k - m_cy - m_s * (x0 - m_cx)) / m_c); }
    // Column at which row y0 meets the source column X = k.
    int ColX(int y0, double k) const { return Round(m_cx + (k - m_cx + m_s * (y0 - m_cy)) / m_c); }
    // Column at which row y0 meets the source row Y = k.
    int ColY(int y0, double k) const { return Round(m_cx + (k - m_cy - m_c * (y0 - m_cy)) / m_s); }

private:
    // Near-vertical crossings of a tiny tilt lie far outside any picture; they
    // are bounded before rounding so that the int stays defined. The callers
    // clamp to the picture anyway, so the results inside it are unchanged.
    static int Round(double v)
    {
        constexpr double kFar = 1 << 30;
        return RoundHalfUp(std::clamp(v, -kFar, kFar));
    }

    double m_c, m_s, m_cx, m_cy;
};

} // namespace

Rect NormalizedRect(Rect r)
{
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    return r;
}

bool FixLeftLimit(double tilt, int W, int H, Rect& r, bool opposite)
{
    const TurnedPicture p(tilt, W, H);
    const int L = r.left;
    if (tilt > 0) {
        r.bottom = std::min(p.RowX(L, 0), H - 1);
        r.top = std::max(p.RowY(L, 0), 0);
        if (opposite)
            r.right = std::min(p.ColX(r.top, W - 1), p.ColY(r.bottom, H - 1));
    } else {
        r.bottom = std::min(p.RowY(L, H - 1), H - 1);
        r.top = std::max(p.RowX(L, 0), 0);
        if (opposite)
            r.right = std::min(p.ColX(r.bottom, W - 1), p.ColY(r.top, 0));
    }
    return true;
}

bool FixRightLimit(double tilt, int W, int H, Rect& r, bool opposite)
{
    const TurnedPicture p(tilt, W, H);
    const int R = r.right;
    if (tilt > 0) {
        r.bottom = std::min(p.RowY(R, H - 1), H - 1);
        r.top = std::max(p.RowX(R, W - 1), 0);
        if (opposite)
            r.left = std::max(p.ColX(r.bottom, 0), p.ColY(r.top, 0));
    } else {
        r.bottom = std::min(p.RowX(R, W - 1), H - 1);
        r.top = std::max(p.RowY(R, 0), 0);
        if (opposite)
            r.left = std::max(p.ColX(r.top, 0), p.ColY(r.bottom, H - 1));
    }
    return true;
}

} // namespace lumacut
