#pragma once
// The geometric sampler: maps a New Picture pixel into the Original (scale
// about the lower-left corner, rotation by the tilt about the Original's
// centre) and averages the Original's colours there with tent weights over
// the footprint. CPicture::GetFootprintColor takes one sample.
namespace lumacut {

// Inclusive window of columns x0..x1 and stored rows y0..y1; empty when
// x0 > x1 or y0 > y1.
struct SampleWindow {
    int x0 = 0, x1 = -1;
    int y0 = 0, y1 = -1;
};

class CSampler {
public:
    // width, height: the Original's. The scale is clamped to kMinScale..
    // kMaxScale (ScaleRange.h), also a value that is not a number; footprint
    // and tilt (radians) as given. Everything derived from them is set here
    // once and never changes.
    CSampler(int width, int height, double scale, double footprint, double tilt);

    // Weight of source pixel (column, row) for the point (gx, gy): the tent
    // (1 - ex/foot)(1 - ey/foot), or 1e-9 outside the footprint.
    double TentWeight(double gx, double gy, int column, int row) const;

    double InvScaleX() const { return m_invScaleX; }
    double InvScaleY() const { return m_invScaleY; }
    double InvFootX() const { return m_invFootX; }
    double InvFootY() const { return m_invFootY; }
    double Sin() const { return m_sin; }
    double Cos() const { return m_cos; }
    double CenterX() const { return m_centerX; }
    double CenterY() const { return m_centerY; }
    double Angle() const { return m_angle; }
    double FootX() const { return m_footX; }
    double FootY() const { return m_footY; }

    // The window of the last sample taken with CPicture::GetFootprintColor.
    const SampleWindow& LastWindow() const { return m_lastWindow; }
    void RecordWindow(const SampleWindow& window) { m_lastWindow = window; }

private:
    double m_invScaleX = 1;
    double m_invScaleY = 1;
    double m_invFootX = 1;
    double m_invFootY = 1;
    double m_sin = 0;
    double m_cos = 1;
    double m_centerX = 0;
    double m_centerY = 0;
    double m_angle = 0;
    SampleWindow m_lastWindow{0, 0, 0, 0};
    double m_footX = 1;
    double m_footY = 1;
};

} // namespace lumacut
