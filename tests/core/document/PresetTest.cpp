// Preset texts: what is refused (with the file and line, nothing applied),
// which names can be saved, and that written texts and clip fractions read
// back to what was written.
#include "document/Preset.h"

#include <gtest/gtest.h>

#include <string>

using namespace lumacut;

namespace {

struct Refusal {
    const char* name;
    std::string text;
    std::string error; // after the source's name
};

std::ostream& operator<<(std::ostream& out, const Refusal& r)
{
    return out << r.name;
}

class PresetRefusal : public ::testing::TestWithParam<Refusal> {};

} // namespace

TEST_P(PresetRefusal, NamesFileAndLineAndChangesNothing)
{
    Preset preset;
    preset.filter.lightDark = 33;
    std::string error;
    EXPECT_FALSE(ParsePresetText(GetParam().text, "my.preset", preset, error));
    EXPECT_EQ(error, "my.preset" + GetParam().error);
    EXPECT_EQ(preset.filter.lightDark, 33);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PresetRefusal,
    ::testing::Values(
        Refusal{"nul_byte", std::string("light=5\nga\0mma=3\n", 17), " line 2: not text (a NUL byte): not a preset"},
        Refusal{"bad_utf8", "# caf\xc3\n", " line 1: not text (not UTF-8): not a preset"},
        Refusal{"overlong_utf8", "light=1\n\n# \xc0\xaf\n", " line 3: not text (not UTF-8): not a preset"},
        Refusal{"surrogate", "# \xed\xa0\x80\n", " line 1: not text (not UTF-8): not a preset"},
        Refusal{"too_large", std::string(kMaxPresetBytes + 1, '#'), ": is larger than 64 KB: not a preset"},
        Refusal{"unknown_name", "light=5\n\nbrightness=3\n",
                " line 3: \"brightness\" is not a setting (use the long option names without dashes)"},
        Refusal{"renderer_only_option", "jobs=3\n",
                " line 1: \"jobs\" is not a setting (use the long option names without dashes)"},
        Refusal{"out_of_range", "light=5\ncontrast=201\n", " line 2: contrast takes a whole number from 0 to 200, not \"201\""},
        Refusal{"missing_value", "# x\nquality\n", " line 2: quality needs a value: quality=VALUE"},
        Refusal{"clip_backwards", "clip-fractions=0.5,0,0.4,1\n",
                " line 1: clip-fractions takes L,T,R,B: four fractions of the result from 0 to 1 with L < R and T < B, "
                "not \"0.5,0,0.4,1\""}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST(PresetText, AcceptsTextUpToTheLimitAndUtf8Comments)
{
    Preset preset;
    std::string error;
    std::string text = "# Café, grün\nlight=7\n";
    text += std::string(kMaxPresetBytes - text.size(), '\n');
    ASSERT_TRUE(ParsePresetText(text, "ok.preset", preset, error)) << error;
    EXPECT_EQ(preset.filter.lightDark, 7);
}

TEST(PresetText, WrittenTextReadsBackToTheSameText)
{
    Preset p;
    p.outputType = kOutputTwoColor;
    p.filter.kind = 2;
    p.filter.color = 0x102030;
    p.filter.activeRed = 0;
    p.filter.negative = 1;
    p.filter.dither = kDitherBlueNoise;
    p.filter.adaptiveRadius = 9;
    p.filter.adaptiveK = 0.123456789;
    p.colorList = {0x0000FF, 0xABCDEF};
    p.scale = 0.1 + 0.2; // no short decimal form
    p.footprint = 3.3;
    p.tilt = -2.9;
    p.clipFractionsActive = true;
    p.clipFractions = {1.0 / 3, 0.25, 2.0 / 3, 1.0};
    p.quality = 12;
    const std::string text = WritePresetText(p);
    Preset back;
    std::string error;
    ASSERT_TRUE(ParsePresetText(text, "p", back, error)) << error;
    EXPECT_EQ(back.filter, p.filter);
    EXPECT_EQ(back.colorList, p.colorList);
    EXPECT_EQ(back.scale, p.scale);
    EXPECT_EQ(back.tilt, p.tilt);
    EXPECT_EQ(back.clipFractions, p.clipFractions);
    EXPECT_EQ(WritePresetText(back), text);
}

TEST(PresetClip, FractionsOfAPixelRegionGiveItBack)
{
    for (int width : {1, 7, 333})
        for (int height : {1, 5, 1000})
            for (int left = 0; left < width; left += 1 + width / 5)
                for (int right = left + 1; right <= width; right += 1 + width / 4) {
                    const int top = height / 3, bottom = height;
                    const std::array<double, 4> f{double(left) / width, double(top) / height, double(right) / width,
                                                  double(bottom) / height};
                    EXPECT_EQ(ClipFromFractions(f, width, height), (Rect{left, top, right, bottom}))
                        << width << "x" << height;
                }
    // However small, a region keeps a pixel inside the result.
    EXPECT_EQ(ClipFromFractions({0.999, 0.0, 1.0, 0.0001}, 10, 10), (Rect{9, 0, 10, 1}));
}

TEST(PresetName, RefusesEmptyNamesAndPathSeparators)
{
    for (const char* bad : {"", " ", ".", "..", "a/b", "/abs", "back\\slash", "tab\there"})
        EXPECT_FALSE(IsValidPresetName(bad)) << bad;
    for (const char* good : {"Scanned page", "v2.1", "Grün & rot"})
        EXPECT_TRUE(IsValidPresetName(good)) << good;
}
