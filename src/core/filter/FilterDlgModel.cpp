#include "filter/FilterDlgModel.h"

namespace lumacut {

int OfferedKind(int outputColors, int kind)
{
    if (outputColors == kOutputColorsGrey && (kind == kKindDefineWhite || kind == kKindDefineFilter))
        return kKindDefineSharp;
    return kind;
}

void LoadSettings(FilterDlgValues& v, const FilterSettings& s, int outputColors)
{
    v.red = RedOf(s.color);
    v.green = GreenOf(s.color);
    v.blue = BlueOf(s.color);
    v.activeRed = s.activeRed;
    v.activeGreen = s.activeGreen;
    v.activeBlue = s.activeBlue;
    v.negative = s.negative;
    v.kind = OfferedKind(outputColors, s.kind);
    v.sharpness = s.sharpness;
    v.lightDark = s.lightDark;
    v.contrast = s.contrast;
    v.gamma = s.gamma;
}

void StoreSettings(const FilterDlgValues& v, FilterSettings& s)
{
    s.color = MakeColor(static_cast<std::uint8_t>(v.red & 0xFF), static_cast<std::uint8_t>(v.green & 0xFF),
                        static_cast<std::uint8_t>(v.blue & 0xFF));
    s.activeRed = v.activeRed != 0 ? 1 : 0;
    s.activeGreen = v.activeGreen != 0 ? 1 : 0;
    s.activeBlue = v.activeBlue != 0 ? 1 : 0;
    s.negative = v.negative != 0 ? 1 : 0;
    s.kind = v.kind;
    s.sharpness = v.sharpness;
    s.lightDark = v.lightDark;
    s.contrast = v.contrast;
    s.gamma = v.gamma;
}

FilterDlgLayout LayoutFor(int outputColors, const FilterDlgValues& v)
{
    FilterDlgLayout l;
    l.valueEnabled = {v.activeRed != 0, v.activeGreen != 0, v.activeBlue != 0};
    l.kindEnabled = {true, true, true, true};
    if (outputColors == kOutputColorsTwo) {
        l.kindLabels = {"Define Black", "Define White", "Define Filter", "Define Sharp"};
        l.sharpnessEnabled = v.kind == 3;
        l.contrastEnabled = false;
        l.gammaEnabled = false;
    } else if (outputColors == kOutputColorsGrey) {
        l.kindLabels = {"Normal Filter", "  ", "  ", "Sharp Filter"};
        l.kindEnabled = {true, false, false, true};
        l.sharpnessEnabled = v.kind == 3;
    } else {
        l.kindLabels = {"No Filter", "Emphasize Color", "De-emphasize Color", "Define Sharp"};
        l.sharpnessEnabled = v.kind != 0;
    }
    return l;
}

} // namespace lumacut
