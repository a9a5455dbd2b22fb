#pragma once
// The two steps of a sample that come before the averaging, shared by the
// plain sample (CPicture::GetFootprintColor) and the render loop's fast one,
// so both see exactly the same doubles and windows.
#include "picture/CSampler.h"

#include <cmath>
#include <cstdint>

namespace lumacut {

// New Picture pixel (x, y) to the Original's point (gx, gy): scale about the
// lower-left corner, then turn about the Original's centre.
inline void MapToSource(const CSampler& s, int x, int y, double dx, double dy, double& gx, double& gy)
{
    double xs = x * s.InvScaleX() + dx;
    double ys = y * s.InvScaleY() + dy;
    double u = xs - s.CenterX();
    double v = ys - s.CenterY();
    gx = s.CenterX() + u * s.Cos() + v * s.Sin();
    gy = s.CenterY() - u * s.Sin() + v * s.Cos();
}

// floor and ceil, exact for every double, inline even where the library's
// would be a call (the window is made for every sample). From 2^52 on every
// double is whole; NaN and infinities come back as they are.
inline double FloorExact(double v)
{
    if (!(std::fabs(v) < 4503599627370496.0))
        return v;
    double t = static_cast<double>(static_cast<std::int64_t>(v));
    return t > v ? t - 1 : t;
}
inline double CeilExact(double v)
{
    if (!(std::fabs(v) < 4503599627370496.0))
        return v;
    double t = static_cast<double>(static_cast<std::int64_t>(v));
    return t < v ? t + 1 : t;
}

// floor(lo) clamped below at 0 and ceil(hi) clamped above at size - 1, with
// every double compared before it becomes an int (huge or non-finite values
// give an empty range instead of an undefined conversion).
inline void WindowRange(double lo, double hi, int size, int& first, int& last)
{
    double f = FloorExact(lo);
    double c = CeilExact(hi);
    if (!(f <= c) || !(f < size) || !(c >= 0)) { // also NaN
        first = 0;
        last = -1;
        return;
    }
    first = f < 0 ? 0 : static_cast<int>(f);
    last = c > size - 1 ? size - 1 : static_cast<int>(c);
}

inline SampleWindow WindowAround(const CSampler& s, double gx, double gy, int width, int height)
{
    SampleWindow w;
    WindowRange(gy - s.FootY(), gy + s.FootY(), height, w.y0, w.y1);
    WindowRange(gx - s.FootX(), gx + s.FootX(), width, w.x0, w.x1);
    return w;
}

} // namespace lumacut
