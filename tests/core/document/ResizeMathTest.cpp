// The arithmetic of the resize dialog: percentage and sides rounded halves
// up, the footprint's change test, and the refusal of results below one
// pixel or beyond the picture store's limits.
#include "document/ResizeMath.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace lumacut;

namespace {

TEST(ResizeMath, PercentagesAndSidesRoundHalvesUp)
{
    EXPECT_EQ(PercentageOfScale(0.625), 63);
    EXPECT_EQ(PercentageOfScale(1.0), 100);
    EXPECT_EQ(PercentageOfScale(0.004), 0);
    EXPECT_EQ(ScaledSide(50, 101), 51);
    EXPECT_EQ(ScaledSide(50, 51), 26);
    EXPECT_EQ(ScaledSide(200, 7), 14);
    EXPECT_EQ(ScaledSide(2147483647, 1 << 20), 22517998126367LL) << "no overflow";
}

TEST(ResizeMath, FootprintsEqualToThreeDecimalsAreUnchanged)
{
    EXPECT_FALSE(FootprintChanged(1.0, 1.0004));
    EXPECT_FALSE(FootprintChanged(2.5, 2.5));
    EXPECT_TRUE(FootprintChanged(1.0, 1.0006));
    EXPECT_TRUE(FootprintChanged(1.0, 1.5));
}

struct RefusalCase {
    const char* name;
    int percentage, width, height;
    bool accepted;
    const char* message;
};

// Test names show the case's name only.
void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.name;
}

class ResizeRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ResizeRefusal, SidesBelowOneAndPicturesOverTheLimitAreRefused)
{
    const RefusalCase& c = GetParam();
    std::string message;
    EXPECT_EQ(CheckResizePercentage(c.percentage, c.width, c.height, message), c.accepted);
    EXPECT_EQ(message, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResizeRefusal,
    ::testing::Values(
        RefusalCase{"Half", 50, 101, 51, true, ""},
        RefusalCase{"OnePixelStays", 1, 50, 50, true, ""},
        RefusalCase{"Zero", 0, 100, 50,  false,
                    "A percentage of 0 gives a picture of 0 x 0 pixels: each side must be at least 1 pixel."},
        RefusalCase{"ThinSideRoundsToZero", 10, 100, 4, false,
                    "A percentage of 10 gives a picture of 10 x 0 pixels: each side must be at least 1 pixel."},
        RefusalCase{"Negative", -20, 100, 50, false,
                    "A percentage of -20 gives a picture of -20 x -10 pixels: each side must be at least 1 pixel."},
        RefusalCase{"OverThePixelLimit", 100000, 1000, 1000, false,
                    "A percentage of 100000 gives a picture of 1000000 x 1000000 pixels, larger than Lumacut can "
                    "hold."},
        RefusalCase{"OverTheSideLimit", 2000000, 100, 1, false,
                    "A percentage of 2000000 gives a picture of 2000000 x 20000 pixels, larger than Lumacut can "
                    "hold."}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
