#pragma once
// The geometric sampler: maps a New Picture pixel into the Original (scale
// about the lower-left corner, rotation by the tilt about the Original's
// centre) and averages the Original's colours there with tent weights over
// the footprint. CPicture::GetFootprintColor takes one sample.
namespace lumacut {

class CSampler {
public:
    // width, height: the Original's. The scale is clamped to kMinScale..
    // kMaxScale (ScaleRange.h), also a value that is not a number; footprint
    // and tilt (radians) as given.
    CSampler(int width, int height, double scale, double footprint, double tilt);

    // Weight of source pixel (column, row) for the point (gx, gy): the tent
    // (1 - ex/foot)(1 - ey/foot), or 1e-9 outside the footprint.
    double TentWeight(double gx, double gy, int column, int row) const;

    double m_invScaleX = 1;
    double m_invScaleY = 1;
    double m_invFootX = 1;
    double m_invFootY = 1;
    double m_sin = 0;
    double m_cos = 1;
    double m_centerX = 0;
    double m_centerY = 0;
    double m_angle = 0;
    int m_x1 = 0, m_y1 = 0; // last window: right column, top stored row
    int m_x0 = 0, m_y0 = 0; // last window: left column, bottom stored row
    double m_footX = 1;
    double m_footY = 1;
};

} // namespace lumacut
