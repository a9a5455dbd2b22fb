// Fitting the clip region into a tilted picture, and the keys that move it.
#include "document/ClipFitting.h"
#include "document/ClipKeys.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace lumacut {

static void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

struct FitCase {
    std::string name;
    bool left;      // FixLeftLimit, else FixRightLimit
    double tilt;
    bool opposite;
    Rect expected;
};

class ClipFitting : public ::testing::TestWithParam<FitCase> {};

// W = 200, H = 100, region (20, 10, 150, 90) in every case.
TEST_P(ClipFitting, FitsTheRegionIntoTheTurnedPicture)
{
    const FitCase& c = GetParam();
    Rect r{20, 10, 150, 90};
    const bool result = c.left ? FixLeftLimit(c.tilt, 200, 100, r, c.opposite)
                               : FixRightLimit(c.tilt, 200, 100, r, c.opposite);
    EXPECT_TRUE(result);
    EXPECT_EQ(r, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ClipFitting,
    ::testing::Values(
        // The worked example: top and bottom on the edges met by column 20,
        // then the right edge where the new top and bottom leave the picture.
        FitCase{"LeftPositiveOpposite", true, 0.1, true, {20, 8, 102, 99}},
        FitCase{"LeftPositiveKeepsRight", true, 0.1, false, {20, 8, 150, 99}},
        // Turning the other way mirrors top and bottom (8 <-> 91, 99 <-> 0).
        FitCase{"LeftNegativeOpposite", true, -0.1, true, {20, 0, 103, 91}},
        FitCase{"RightPositiveOpposite", false, 0.1, true, {97, 0, 150, 94}},
        FitCase{"RightNegativeOpposite", false, -0.1, true, {98, 5, 150, 99}},
        FitCase{"RightNegativeKeepsLeft", false, -0.1, false, {20, 5, 150, 99}}),
    [](const auto& info) { return info.param.name; });

TEST(ClipFittingLimits, TinyTiltStaysDefinedAndInsideThePicture)
{
    // Just above the threshold the crossings lie far outside; they are
    // clamped to the picture, never wrapped around.
    Rect r{5, 10, 190000, 90};
    FixLeftLimit(0.0011, 200000, 100000, r, true);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.bottom, 100000 - 1);
    EXPECT_GT(r.right, r.left);
}

// ---- keys -------------------------------------------------------------------

struct KeyCase {
    std::string name;
    ClipKey key;
    bool shift;
    bool ctrl;
    Rect start;
    bool changed;
    Rect expected;
};

class ClipKeys : public ::testing::TestWithParam<KeyCase> {};

// The shown picture is 200 x 100 and untilted.
TEST_P(ClipKeys, MovesAndResizesTheRegion)
{
    const KeyCase& c = GetParam();
    const ClipKeyResult result = ApplyClipKey(c.key, c.shift, c.ctrl, c.start, 200, 100, 0.0, {});
    EXPECT_EQ(result.changed, c.changed);
    EXPECT_EQ(result.rect, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ClipKeys,
    ::testing::Values(
        KeyCase{"HomeMovesToTheCorner", ClipKey::Home, false, false, {10, 20, 110, 70}, true, {0, 0, 100, 50}},
        KeyCase{"EndMovesToTheLastPixel", ClipKey::End, false, false, {0, 0, 100, 50}, true, {99, 49, 199, 99}},
        KeyCase{"RightGrows", ClipKey::Right, false, false, {10, 20, 110, 70}, true, {10, 20, 111, 70}},
        KeyCase{"ShiftRightMoves", ClipKey::Right, true, false, {10, 20, 110, 70}, true, {11, 20, 111, 70}},
        KeyCase{"CtrlDownGrowsBy10", ClipKey::Down, false, true, {10, 20, 110, 70}, true, {10, 20, 110, 80}},
        KeyCase{"ShiftCtrlDownMovesBy10", ClipKey::Down, true, true, {10, 20, 110, 70}, true, {10, 30, 110, 80}},
        KeyCase{"ShiftLeftAtTheEdgeStops", ClipKey::Left, true, false, {0, 20, 110, 70}, false, {0, 20, 110, 70}},
        KeyCase{"LeftAtTheEdgeStillShrinks", ClipKey::Left, false, false, {0, 20, 110, 70}, true, {0, 20, 109, 70}},
        KeyCase{"ShiftUpAtTheTopStops", ClipKey::Up, true, false, {10, 0, 110, 70}, false, {10, 0, 110, 70}},
        KeyCase{"UpAtTheTopStillShrinks", ClipKey::Up, false, false, {10, 0, 110, 70}, true, {10, 0, 110, 69}},
        KeyCase{"ShiftCtrlUpClampsAtZero", ClipKey::Up, true, true, {10, 5, 110, 70}, true, {10, 0, 110, 60}},
        KeyCase{"RightClampsAtW", ClipKey::Right, false, false, {10, 20, 200, 70}, true, {10, 20, 200, 70}},
        KeyCase{"CtrlDownClampsAtH", ClipKey::Down, false, true, {10, 20, 110, 95}, true, {10, 20, 110, 100}},
        KeyCase{"ShrinkingPastTheLeftEdgeNormalises", ClipKey::Left, false, false, {10, 20, 10, 70}, true,
                {9, 20, 10, 70}}),
    [](const auto& info) { return info.param.name; });

TEST(ClipKeysFitting, TiltedPictureIsFittedByTheChosenLimit)
{
    ClipFitOptions options;
    options.fixLeft = true;
    options.fixOpposite = true;
    // Right grows the region to (20, 10, 150, 90), which is then fitted.
    ClipKeyResult r = ApplyClipKey(ClipKey::Right, false, false, {20, 10, 149, 90}, 200, 100, 0.1, options);
    EXPECT_TRUE(r.changed);
    EXPECT_EQ(r.rect, (Rect{20, 8, 102, 99}));

    options.fixLeft = false;
    options.fixRight = true;
    r = ApplyClipKey(ClipKey::Right, false, false, {20, 10, 149, 90}, 200, 100, 0.1, options);
    EXPECT_EQ(r.rect, (Rect{97, 0, 150, 94}));
}

TEST(ClipKeysFitting, NoFittingAtOrBelowTheTiltThreshold)
{
    ClipFitOptions options;
    options.fixLeft = true;
    options.fixOpposite = true;
    for (double tilt : {0.0, 0.001, -0.001}) {
        const ClipKeyResult r = ApplyClipKey(ClipKey::Right, false, false, {20, 10, 149, 90}, 200, 100, tilt, options);
        EXPECT_EQ(r.rect, (Rect{20, 10, 150, 90})) << "tilt " << tilt;
    }
}

TEST(ClipKeysFitting, UnchangedRegionIsNotFitted)
{
    ClipFitOptions options;
    options.fixLeft = true;
    const ClipKeyResult r = ApplyClipKey(ClipKey::Left, true, false, {0, 10, 150, 90}, 200, 100, 0.1, options);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(r.rect, (Rect{0, 10, 150, 90}));
}

} // namespace
} // namespace lumacut
