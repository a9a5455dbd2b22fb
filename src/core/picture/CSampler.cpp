#include "picture/CSampler.h"

#include "picture/CPicture.h"
#include "picture/Helpers.h"
#include "picture/SamplerWindow.h"
#include "picture/ScaleRange.h"

#include <cmath>

namespace lumacut {

CSampler::CSampler(int width, int height, double scale, double footprint, double tilt)
{
    double s = scale;
    if (s > kMaxScale)
        s = kMaxScale;
    if (!(s >= kMinScale)) // also a scale that is not a number
        s = kMinScale;
    m_invScaleX = 1 / s;
    m_invScaleY = 1 / s;
    m_invFootX = 1 / footprint;
    m_invFootY = 1 / footprint;
    m_sin = std::sin(tilt);
    m_cos = std::cos(tilt);
    m_centerX = width * 0.5;
    m_centerY = height * 0.5;
    m_angle = tilt;
    m_footX = footprint;
    m_footY = footprint;
}

double CSampler::TentWeight(double gx, double gy, int column, int row) const
{
    double ex = std::fabs(gx - column);
    double ey = std::fabs(gy - row);
    if (ex > m_footX)
        return 1e-9;
    if (ey > m_footY)
        return 1e-9;
    return (1 - ex * m_invFootX) * (1 - ey * m_invFootY);
}

void CPicture::GetFootprintColor(int x, int y, CSampler& sampler, double dx, double dy, std::uint8_t& red,
                                 std::uint8_t& green, std::uint8_t& blue) const
{
    double gx, gy;
    MapToSource(sampler, x, y, dx, dy, gx, gy);
    SampleWindow w = WindowAround(sampler, gx, gy, m_width, m_height);
    sampler.RecordWindow(w);

    double sR = 0, sG = 0, sB = 0, sW = 0;
    bool visited = false;
    std::uint8_t r = 0, g = 0, b = 0;
    // The reader is chosen once per sample; a two-colour picture is not read.
    int reader = m_colors;
    for (int row = w.y0; row <= w.y1; ++row) {
        for (int column = w.x0; column <= w.x1; ++column) {
            double weight = sampler.TentWeight(gx, gy, column, row);
            switch (reader) {
            case 0: GetRGB(column, row, 0, 0, r, g, b); break;
            case 16: GetNibble(column, row, 0, 0, r, g, b); break;
            case 256: GetIndex(column, row, 0, 0, r, g, b); break;
            default: break;
            }
            sR += weight * r;
            sG += weight * g;
            sB += weight * b;
            sW += weight;
            visited = true;
        }
    }
    // An empty window, or one whose every pixel lies exactly a footprint
    // away, gives black; no division by zero is ever made.
    if (!visited || sW == 0) {
        red = green = blue = 0;
        return;
    }
    double f = 1 / sW;
    red = ClampRound(sR * f);
    green = ClampRound(sG * f);
    blue = ClampRound(sB * f);
}

} // namespace lumacut
