#include "filter/ToneStatistics.h"

#include "filter/ToneDither.h"

namespace lumacut {

namespace {

// The bytes of a grey New Picture rendered with the request's geometry.
Histogram GreyHistogram(const FilterSettings& settings, const RenderRequest& request)
{
    Histogram h{};
    CPicture grey = CPicture::Empty(PictureKind::Grey, 0, 0);
    RenderRequest r = request;
    r.target = &grey;
    if (!RenderNewPicture(settings, r) || !grey.HasBlock())
        return h;
    for (int y = 0; y < grey.Height(); ++y) {
        const std::uint8_t* row = grey.Row(y);
        for (int x = 0; x < grey.Width(); ++x)
            ++h[row[x]];
    }
    return h;
}

} // namespace

Histogram BrightnessHistogram(const RenderRequest& request)
{
    // The grey "Normal Filter" with equal weights and a neutral curve is
    // (red + green + blue) / 3, rounded down.
    FilterSettings s;
    s.kind = kKindDefineBlack;
    s.activeRed = s.activeGreen = s.activeBlue = 1;
    s.color = MakeColor(1, 1, 1);
    return GreyHistogram(s, request);
}

Histogram ToneHistogram(const FilterSettings& settings, const RenderRequest& request)
{
    if (UsesTone(settings) || settings.kind == kKindDefineSharp)
        return GreyHistogram(ToneSettings(settings), request);
    return BrightnessHistogram(request);
}

int OtsuThreshold(const Histogram& histogram)
{
    double total = 0, weighted = 0;
    for (int v = 0; v < 256; ++v) {
        total += double(histogram[std::size_t(v)]);
        weighted += double(v) * double(histogram[std::size_t(v)]);
    }
    if (total == 0)
        return 0;
    // Split "below t" against "t and above" for t = 1..255.
    double below = 0, belowSum = 0, best = -1;
    int bestT = -1, first = -1, last = -1;
    for (int v = 0; v < 256; ++v)
        if (histogram[std::size_t(v)]) {
            last = v;
            if (first < 0)
                first = v;
        }
    if (first == last)
        return first;
    for (int t = 1; t < 256; ++t) {
        below += double(histogram[std::size_t(t - 1)]);
        belowSum += double(t - 1) * double(histogram[std::size_t(t - 1)]);
        const double above = total - below;
        if (below == 0 || above == 0)
            continue;
        const double m0 = belowSum / below, m1 = (weighted - belowSum) / above;
        const double between = below * above * (m0 - m1) * (m0 - m1);
        if (between > best) {
            best = between;
            bestT = t;
        }
    }
    return bestT;
}

void SetThreshold(FilterSettings& settings, int t)
{
    // Kind 2 makes black where t (r + g + b) < 3 t^2, which for t > 0 is
    // r + g + b < 3 t, i.e. floor((r + g + b) / 3) < t; at t = 0 nothing is.
    t = t < 0 ? 0 : t > 255 ? 255 : t;
    settings.kind = kKindDefineFilter;
    settings.activeRed = settings.activeGreen = settings.activeBlue = 1;
    settings.color = MakeColor(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(t));
    settings.lightDark = 0;
    settings.negative = 0;
    settings.dither = kDitherNone;
    settings.adaptiveRadius = 0;
}

} // namespace lumacut
