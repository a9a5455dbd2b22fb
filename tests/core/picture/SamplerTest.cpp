#include "picture/CPicture.h"
#include "picture/CSampler.h"

#include "support/PictureBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace lumacut;
using namespace lumacut::test;

namespace {

// A picture whose every pixel is distinct: red = 10 x + 1, green = 10 y + 1.
CPicture Ramp(int width, int height)
{
    return MakeTrueColor(width, height, [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(10 * x + 1), static_cast<std::uint8_t>(10 * y + 1), 7};
    });
}

Rgb Sample(CPicture& p, CSampler& s, int x, int y, double dx = 0, double dy = 0)
{
    Rgb c{1, 2, 3};
    p.GetFootprintColor(x, y, s, dx, dy, c.red, c.green, c.blue);
    return c;
}

} // namespace

TEST(SamplerSetUp, ScaleIsClampedForTheMappingOnly)
{
    EXPECT_EQ(CSampler(10, 10, 10, 1, 0).InvScaleX(), 0.25);
    EXPECT_EQ(CSampler(10, 10, 0.01, 1, 0).InvScaleY(), 20.0);
    EXPECT_EQ(CSampler(10, 10, NAN, 1, 0).InvScaleX(), 20.0);
    CSampler s(7, 4, 2, 0.5, 0.25);
    EXPECT_EQ(s.InvScaleX(), 0.5);
    EXPECT_EQ(s.InvFootX(), 2.0);
    EXPECT_EQ(s.FootY(), 0.5);
    EXPECT_EQ(s.CenterX(), 3.5);
    EXPECT_EQ(s.CenterY(), 2.0);
    EXPECT_EQ(s.Sin(), std::sin(0.25));
    EXPECT_EQ(s.Cos(), std::cos(0.25));
}

struct WeightCase {
    const char* name;
    double foot;
    double gx, gy;
    int column, row;
    double expected;
};

class TentWeights : public ::testing::TestWithParam<WeightCase> {};

TEST_P(TentWeights, Match)
{
    const WeightCase& c = GetParam();
    CSampler s(10, 10, 1, c.foot, 0);
    EXPECT_DOUBLE_EQ(s.TentWeight(c.gx, c.gy, c.column, c.row), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TentWeights,
    ::testing::Values(WeightCase{"Centre", 1, 3, 4, 3, 4, 1.0}, WeightCase{"HalfHalf", 1, 1.5, 1.5, 2, 1, 0.25},
                      WeightCase{"OneFootprintAwayIsZero", 1, 3, 4, 4, 4, 0.0},
                      WeightCase{"DiagonalNeighbourIsZero", 1, 3, 4, 2, 5, 0.0},
                      WeightCase{"BeyondColumnsIsTheFloor", 1, 3, 4, 5, 4, 1e-9},
                      WeightCase{"BeyondRowsIsTheFloor", 1, 3, 4, 3, 2, 1e-9},
                      WeightCase{"WiderTent", 2, 3, 4, 4, 5, 0.25}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Sampler, UnitScaleAndFootprintGiveEachPixel)
{
    CPicture p = Ramp(6, 5);
    CSampler s(6, 5, 1, 1, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(Sample(p, s, x, y), PixelAt(p, x, y)) << x << "," << y;
}

TEST(Sampler, DoubleScaleAveragesTheFourPixelsAroundTheMappedPoint)
{
    CPicture p = Ramp(8, 8);
    CSampler s(8, 8, 2, 1, 0);
    // (3, 3) maps to (1.5, 1.5): window 0..3 both ways, the four pixels at
    // distance 0.5 weigh 0.25 each, the rest 1e-9.
    Rgb c = Sample(p, s, 3, 3);
    EXPECT_EQ(s.LastWindow().x0, 0);
    EXPECT_EQ(s.LastWindow().x1, 3);
    EXPECT_EQ(s.LastWindow().y0, 0);
    EXPECT_EQ(s.LastWindow().y1, 3);
    EXPECT_EQ(c, (Rgb{16, 16, 7})); // mean of 11 and 21 is 16
}

TEST(Sampler, FootprintSmallerThanHalfAPixelAveragesTheWindowPlainly)
{
    // Point (10.5, 7) with footprint 0.3: columns 10 and 11, rows 6..8, all
    // weigh 1e-9.
    CPicture p = MakeTrueColor(20, 20, [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x == 10 ? 0 : 90), static_cast<std::uint8_t>(y * 10), 0};
    });
    CSampler s(20, 20, 1, 0.3, 0);
    Rgb c = Sample(p, s, 10, 7, 0.5, 0);
    EXPECT_EQ(s.LastWindow().x0, 10);
    EXPECT_EQ(s.LastWindow().x1, 11);
    EXPECT_EQ(s.LastWindow().y0, 6);
    EXPECT_EQ(s.LastWindow().y1, 8);
    EXPECT_EQ(c, (Rgb{45, 70, 0})); // (0 + 90) / 2; (60 + 70 + 80) / 3
}

TEST(Sampler, WindowIsCutAtTheBorders)
{
    CPicture p = Ramp(4, 4);
    CSampler s(4, 4, 1, 1.5, 0);
    Sample(p, s, 0, 3);
    EXPECT_EQ(s.LastWindow().x0, 0);
    EXPECT_EQ(s.LastWindow().x1, 2);
    EXPECT_EQ(s.LastWindow().y0, 1);
    EXPECT_EQ(s.LastWindow().y1, 3);
}

TEST(Sampler, PointsOffThePictureFadeToBlack)
{
    CPicture p = MakeTrueColor(10, 10, [](int, int) { return Rgb{200, 200, 200}; });
    CSampler s(10, 10, 1, 1, 0);
    // More than a footprint left of column 0: an empty window.
    EXPECT_EQ(Sample(p, s, 0, 0, -2.5, 0), (Rgb{0, 0, 0}));
    EXPECT_GT(s.LastWindow().x0, s.LastWindow().x1);
    // Exactly one footprint away: the window is column 0 whose weights are all 0.
    EXPECT_EQ(Sample(p, s, 0, 0, -1, 0), (Rgb{0, 0, 0}));
    // Just inside: columns below 0 are cut, the border column carries the
    // weight and column 1 the floor.
    EXPECT_EQ(Sample(p, s, 0, 0, -0.5, 0), (Rgb{200, 200, 200}));
    EXPECT_EQ(s.LastWindow().x0, 0);
    EXPECT_EQ(s.LastWindow().x1, 1);
    // Past the far corner too.
    EXPECT_EQ(Sample(p, s, 9, 9, 3, 3), (Rgb{0, 0, 0}));
}

TEST(Sampler, NonNumericOrHugeSettingsStayDefined)
{
    CPicture p = Ramp(4, 4);
    CSampler notANumber(4, 4, 1, 1, NAN);
    EXPECT_EQ(Sample(p, notANumber, 1, 1), (Rgb{0, 0, 0}));
    CSampler huge(4, 4, 1, 1e300, 0);
    Sample(p, huge, 1, 1);
    EXPECT_EQ(huge.LastWindow().x0, 0);
    EXPECT_EQ(huge.LastWindow().x1, 3);
}

TEST(Sampler, QuarterTurnOnASquareTurnsAboutTheCentre)
{
    CPicture p = Ramp(6, 6);
    CSampler s(6, 6, 1, 1, M_PI / 2);
    // (x, y) maps to (cx + (y - cy), cy - (x - cx)), cx = cy = 3; sin and
    // cos of the rounded quarter turn are not exactly 1 and 0, so a source
    // row 6 (one footprint beyond the top) only just stays black.
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            int sx = 3 + (y - 3), sy = 3 - (x - 3);
            Rgb expected = (sx < 6 && sy < 6) ? PixelAt(p, sx, sy) : Rgb{0, 0, 0};
            EXPECT_EQ(Sample(p, s, x, y), expected) << x << "," << y;
        }
}

TEST(Sampler, ReadsPalettePicturesThroughTheirTable)
{
    auto palette = [](int i) { return Rgb{static_cast<std::uint8_t>(i * 16), 0, static_cast<std::uint8_t>(255 - i)}; };
    auto index = [](int x, int y) { return (x + 5 * y) % 16; };
    CPicture nibbles = MakePaletted(5, 3, 4, palette, index);
    CPicture bytes = MakePaletted(5, 3, 8, palette, index);
    CSampler s(5, 3, 1, 1, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(Sample(nibbles, s, x, y), palette(index(x, y)));
            EXPECT_EQ(Sample(bytes, s, x, y), palette(index(x, y)));
        }
}

TEST(Sampler, ThirtyTwoBitPicturesStepFourBytes)
{
    CPicture p = MakeTrueColor(
        3, 2, [](int x, int y) { return Rgb{static_cast<std::uint8_t>(x * 50), static_cast<std::uint8_t>(y * 9), 1}; },
        32);
    CSampler s(3, 2, 1, 1, 0);
    EXPECT_EQ(Sample(p, s, 2, 1), (Rgb{100, 9, 1}));
}

TEST(Sampler, EqualWeightsOfBlackAndWhiteRoundUp)
{
    CPicture p = MakeTrueColor(2, 1, [](int x, int) { return x ? Rgb{255, 255, 255} : Rgb{0, 0, 0}; });
    CSampler s(2, 1, 1, 1, 0);
    EXPECT_EQ(Sample(p, s, 0, 0, 0.5, 0), (Rgb{128, 128, 128}));
}

TEST(Sampler, TwoColourPicturesAreNotRead)
{
    CPicture p = MakePaletted(4, 4, 1, [](int i) { return i ? Rgb{255, 255, 255} : Rgb{}; }, [](int, int) { return 1; });
    CSampler s(4, 4, 1, 1, 0);
    EXPECT_EQ(Sample(p, s, 1, 1), (Rgb{0, 0, 0}));
}
