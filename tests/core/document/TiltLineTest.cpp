// The tilt line's angles and labels, and when a press becomes a drag.
#include "document/PointerGesture.h"
#include "document/TiltLine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace lumacut {
namespace {

TEST(TiltLine, DrawnLineOffersBothAnglesInEitherDirection)
{
    for (int sign : {1, -1}) {
        const TiltAngles angles = TiltAnglesOfLine(sign * 100, sign * 50);
        EXPECT_NEAR(angles.horizontal, 0.4636, 1e-4) << "direction " << sign;
        EXPECT_NEAR(angles.vertical, -1.1071, 1e-4) << "direction " << sign;
        EXPECT_EQ(TiltButtonLabel(angles.horizontal), "26.57°");
        EXPECT_EQ(TiltButtonLabel(angles.vertical), "-63.43°");
    }
}

TEST(TiltLine, AnglesStayWithinAQuarterTurn)
{
    const double half = std::numbers::pi / 2 + 1e-12;
    for (int dx = -3; dx <= 3; ++dx)
        for (int dy = -3; dy <= 3; ++dy) {
            const TiltAngles angles = TiltAnglesOfLine(dx * 37, dy * 11);
            EXPECT_LE(std::fabs(angles.horizontal), half) << dx << "," << dy;
            EXPECT_LE(std::fabs(angles.vertical), half) << dx << "," << dy;
            // The two choices are a quarter turn apart.
            EXPECT_NEAR(std::fabs(angles.horizontal - angles.vertical), std::numbers::pi / 2, 1e-9)
                << dx << "," << dy;
        }
}

TEST(TiltLine, LevelLineNeedsNoTurnToBeHorizontal)
{
    const TiltAngles angles = TiltAnglesOfLine(-80, 0);
    EXPECT_NEAR(angles.horizontal, 0.0, 1e-12);
    EXPECT_EQ(TiltButtonLabel(angles.vertical), "90.00°");
}

TEST(PointerGesture, ThresholdsAreTwoPixels)
{
    EXPECT_FALSE(MovedBeyondThreshold(1, 1));
    EXPECT_FALSE(MovedBeyondThreshold(-2, 0));
    EXPECT_TRUE(MovedBeyondThreshold(2, -1));
    EXPECT_TRUE(MovedBeyondThreshold(0, 3));

    EXPECT_FALSE(ReleaseIsDrag(2));
    EXPECT_FALSE(ReleaseIsDrag(-2));
    EXPECT_TRUE(ReleaseIsDrag(3));
    EXPECT_TRUE(ReleaseIsDrag(-3));
    // Only the sideways distance counts for a release: 1 across, 50 down is a click.
    EXPECT_FALSE(ReleaseIsDrag(1));
    EXPECT_TRUE(MovedBeyondThreshold(1, 50));
}

} // namespace
} // namespace lumacut
